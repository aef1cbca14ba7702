#pragma once
// TfmCommon: the device link. One TCP client for the control protocol and one
// HTTP client for the oldest controllers. Every operation blocks the calling
// thread within its time-outs and reports failure by its result (never by an
// exception).
//
// The module is not re-entrant: the page transfers let the interface process
// events between pages, and a call made meanwhile is refused (False, nothing
// touched).
//
// The operation groups are declared in their own headers (CircuitIo.h,
// Identification.h, ConfigTransfer.h, DataFlashProgramming.h; PageTransfer.h
// for the page loop) and implemented in files of the same names; this class is
// the facade that owns the link and the time-outs.

#include "core/link/CircuitIo.h"
#include "core/link/ConfigTransfer.h"
#include "core/link/DataFlashProgramming.h"
#include "core/link/Identification.h"
#include "core/link/TcpLink.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

namespace quelnet {

class ILog;
class IProgress;
class IEventPump;

class TfmCommon : public QObject,
                  public ICircuitIo,
                  public IIdentification,
                  public IConfigTransfer,
                  public IDataFlashProgramming {
    Q_OBJECT
public:
    explicit TfmCommon(QObject* parent = nullptr);
    ~TfmCommon() override;

    // --- Circuit I/O (persistent link, reopened when host text or port change)
    // Mode of SetOutDigi: 0 switch off, 1 switch on, 2 toggle. Mode of the reads:
    // 0 the circuit's input, 1 its output. After False, GetLastError tells why.
    bool SetOutDigi(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ,
                    quint8 Mode) override;
    bool SetOutAnal(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ,
                    float Value) override;
    bool GetInpDigi(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ, quint8 Mode,
                    bool& State) override;
    bool GetInpAnal(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ, quint8 Mode,
                    float& State) override;

    // --- Identification (own connection each, identification time-out)
    bool CheckNewQuelnet(const QString& Host, const QString& PortTcp, const QString& Pass, QString& Ver,
                         QChar& Boa, bool& Con, QString& Rea, QString& Ser, QString& Lng) override;
    bool CheckMidQuelnet(const QString& Host, const QString& PortTcp, QString& Ver, QChar& Boa, bool& Con,
                         QString& Rea, QString& Ser, QString& Lng) override;
    bool CheckOldQuelnet(const QString& Host, const QString& PortHttp, const QString& Pass, QString& Ver,
                         QString& Ser, QString& Lng) override;

    // --- Configuration transfer (own connection each, link time-out)
    // Config is the 8,192-byte configuration area (pages 0x06-0x25), Texts the
    // 32,768-byte text area (pages 0x29-0xA8). GetConfig sizes them. Pump may be
    // null; it is called between pages so that the caller's window repaints.
    bool GetConfig(const QString& Host, const QString& PortTcp, const QString& Pass, ILog& Memo,
                   IProgress& ProgressBar, QByteArray& Config, QByteArray& Texts,
                   IEventPump* Pump = nullptr) override;
    // True exactly when every requested step succeeded. The controller is told
    // to take the configuration over only after all its pages were written.
    bool SetConfig(const QString& Host, const QString& PortTcp, const QString& Pass, ILog& Memo,
                   IProgress& ProgressBar, bool WrConfig, bool WrNet, bool WrTexts, const QByteArray& Config,
                   const QByteArray& Texts, IEventPump* Pump = nullptr) override;

    // --- DataFlash programming (own connection each, link time-out; the
    // update's reconnection after the controller's restart uses the factory
    // target when UpdConfig). Image: the whole 524,288-byte DataFlash image.
    bool SendDataFlash(const QString& Host, const QString& PortTcp, const QByteArray& Image, ILog& Memo,
                       IProgress& ProgressBar, IEventPump* Pump = nullptr) override;
    bool UpdateDataFlash(const QString& Host, const QString& PortTcp, const QString& Version,
                         const QByteArray& Image, ILog& Memo, IProgress& ProgressBar, bool UpdConfig,
                         IEventPump* Pump = nullptr) override;
    UpdateEnd LastUpdateEnd() const override { return m_updateEnd; }

    QString GetLastError() const override { return LastError; }
    void EndComm();

    // True while an operation runs.
    bool Busy() const { return m_busy; }

    // Time-outs in milliseconds. Tests shorten them; the defaults are the
    // controllers' figures.
    struct Timeouts {
        int Link = 5000;      // connect and read: circuit I/O and page transfers
        int Identify = 1000;  // connect and read (and the HTTP post): identification
        int RetryPause = 100; // pause after a refused page
        // Firmware V401f: wait between the update start and the reconnection,
        // while the controller installs the program and restarts. The window
        // keeps processing events meanwhile.
        int RestartWait = 10000;
    };
    void SetTimeouts(const Timeouts& t) { m_timeouts = t; }

    // How the link waits for the controller (LinkWait.h); null, the default,
    // blocks the calling thread. Set by the windows.
    void SetLinkWait(ILinkWait* wait) { m_link.SetWait(wait); }
    const Timeouts& GetTimeouts() const { return m_timeouts; }

    // Where a controller answers right after a firmware update has reset its
    // configuration: the factory address and port. Tests point it at the
    // simulator on 127.0.0.1.
    struct FactoryTarget {
        QString Host = QStringLiteral("192.168.0.177");
        QString PortTcp = QStringLiteral("7080");
    };
    void SetFactoryTarget(const FactoryTarget& t) { m_factory = t; }
    const FactoryTarget& GetFactoryTarget() const { return m_factory; }

    // --- Building blocks of the page transfers (also for the DataFlash
    // programming procedures). Not guarded: callers hold a BusyGuard.

    // Builds one long frame and writes it when connected. A failed write closes
    // the link, so that the following ReadReply reports -2. Returns the frame
    // length 16 + Prefix + Data, whether or not it was written.
    int SendRequest(quint8 Command, const QString& Pass, quint8 Param, const QByteArray& Prefix = {},
                    const QByteArray& Data = {});
    // Reads one reply to a long frame into Reply: its total length 16 + N;
    // -1 when the read time-out expired or the link closed before the whole
    // reply arrived (an incomplete header is always one of these, so the 0 of
    // "incomplete header" does not occur); -2 when not connected.
    int ReadReply(QByteArray& Reply);
    // Connection set-up: target from Host and PortTcp (low 16 bits of the
    // number), both time-outs timeoutMs, connect. An open link is closed first.
    bool OpenConnection(const QString& Host, const QString& PortTcp, int timeoutMs);
    // Closes the link if it is open.
    void CloseConnection();
    // Disconnect, then connect again to the same target with the same time-outs.
    void Reconnect();
    TcpLink& Link() { return m_link; }

    // Marks the module busy for its lifetime, unless it already was: then it
    // owns nothing and tests false, and the caller must return at once.
    class BusyGuard {
    public:
        explicit BusyGuard(TfmCommon& common) : m_common(common), m_owned(!common.m_busy) {
            if (m_owned)
                m_common.m_busy = true;
        }
        ~BusyGuard() {
            if (m_owned)
                m_common.m_busy = false;
        }
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;
        explicit operator bool() const { return m_owned; }

    private:
        TfmCommon& m_common;
        bool m_owned;
    };

private:
    enum class CircuitKind { Digital, Analog };
    // Steps shared by the circuit operations: parameter test, link set-up,
    // exchange. Returns true with the reply read; false with LastError set.
    bool CircuitExchange(const QString& Host, quint16 Port, const QString& Circ, const QByteArray& request,
                         QByteArray& reply);
    // Link set-up: reuse the link while host text and port are equal.
    bool LinkSetUp(const QString& Host, quint16 Port);
    // LastError for a reply that is not a success.
    void SetReplyError(CircuitKind kind, bool noCircuit, const QString& Host, quint16 Port,
                       const QString& Circ);

    enum class PageDirection { Read, Write };
    // Reads or writes pages first .. end-1, ten attempts per page; data is the
    // area buffer whose offset 0 is page first.
    bool PageLoop(PageDirection direction, const QString& Pass, int first, int end, QByteArray& data,
                  ILog& Memo, IProgress& ProgressBar, IEventPump* Pump);
    // Sends a command without payload; true when the reply is 16 bytes with
    // the expected code.
    bool BareCommand(quint8 command, const QString& Pass, quint8 expectedCode);

    QString LastError;
    TcpLink m_link;
    Timeouts m_timeouts;
    FactoryTarget m_factory;
    bool m_busy = false;
    UpdateEnd m_updateEnd = UpdateEnd::NotStarted;
};

} // namespace quelnet

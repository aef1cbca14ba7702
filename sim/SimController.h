#pragma once
// The protocol engine of the simulated controller: maps one request frame to its
// reply bytes and to what happens to the connection afterwards, without sockets.
// Thread-safe: the server thread handles frames while tests read and set circuits.
//
// Framing of the byte stream: a frame starts with 0xD5. When byte 1 is 0x80 it is a
// long frame (16-byte header, payload length in bytes 14-15); otherwise D5 <cmd> is
// a short frame of fixed length: 262 bytes for the page write 0xA1, 6 for the rest.
//
// Long frames carry the digest of the control password in bytes 3-6. A frame with
// a wrong digest gets no reply at all: the controller closes the connection. Page
// writes (0xA1) are also accepted with the digest of the fixed DataFlash password
// "3958", which the resources upload sends whatever the control password is.
// Those page writes and the short frames that change the DataFlash or start an
// update (0xA1, 0xAE, 0xAD) carry no control password: like the controller, the
// simulator takes them only while the programming jumper is fitted, and gives
// them no reply otherwise.
//
// The update start (short 0xAD) installs the program copy at 0x2900 when its check
// word holds: the controller then reports the version text found in the program
// and speaks the protocol of that version's generation (4.x: new, earlier: mid).
// Coming from below version 4 after the short 0xAE (configuration prepared), it
// resets its configuration to the factory settings: the configuration area
// (pages 6-37) gets the factory configuration and the control password becomes
// "3958". A program copy whose check word fails is not installed.

#include "sim/SimCircuits.h"
#include "sim/SimConfig.h"
#include "sim/SimFlash.h"

#include <QByteArray>
#include <QMutex>
#include <QSet>
#include <QString>

namespace quelnet::sim {

enum class AfterReply {
    Stay,    // keep the connection open
    Close,   // close this connection (wrong password digest)
    Restart, // close every connection, stop listening, listen again after the restart delay
};

struct Outcome {
    QByteArray reply; // empty: nothing is sent
    AfterReply after = AfterReply::Stay;
    QString note; // one-line description of the request for the verbose log
    bool flashWritten = false;
    bool notable = false; // the note is logged even without --verbose
    int writtenPage = -1; // the page a page write stored
};

class SimController {
public:
    explicit SimController(const SimConfig& config = {});

    // Length of the complete frame at the start of `buffer`; 0 when more bytes are
    // needed; -1 when the first byte cannot start a frame (the caller skips it).
    static int FrameLength(const QByteArray& buffer);

    // A page read or write (long 0xA0/0xA1, short 0xA1): the requests that the
    // random faults of Faults act on.
    static bool IsPageRequest(const QByteArray& frame);

    // One complete frame (as delimited by FrameLength; anything else, the empty
    // frame too, gets no reply and changes nothing), with the reply faults in
    // force: pages in `faults.wrongEchoOnPage` have their page read/write replies
    // echo the address of the next page; `faults.prepareReply` answers 0xAE.
    Outcome Handle(const QByteArray& frame, const Faults& faults = {});

    // The identify replies (long: whole 48-byte frame; short: the 58 bytes).
    QByteArray LongIdentifyReply() const;
    QByteArray ShortIdentifyReply() const;

    bool Digital(const QString& name) const;
    void SetDigital(const QString& name, bool on);
    float Analog(const QString& name) const;
    void SetAnalog(const QString& name, float value);
    QList<CircuitSpec> Circuits() const;

    // The settings as they are now: version, generation and password change with
    // an installed update.
    SimConfig Settings() const;

    QByteArray Flash() const;
    QByteArray ReadFlash(quint32 address, int length) const; // bytes past the end read as 0xFF
    void SetFlash(const QByteArray& image);
    // Inverts the first byte of a DataFlash page (the corrupt-write fault).
    void CorruptPage(int page);
    bool LoadFlash(const QString& path, QString* error, QString* warning);
    bool SaveFlash(const QString& path, QString* error) const;

private:
    Outcome HandleLong(const QByteArray& frame, const QSet<int>& wrongEchoPages);
    Outcome HandleShort(const QByteArray& frame, const Faults& faults);
    Outcome StartUpdateFrame();
    void ResetToFactorySettings();
    Outcome SetDigitalFrame(const QByteArray& frame);
    Outcome GetDigitalFrame(const QByteArray& frame);
    Outcome SetAnalogFrame(const QByteArray& frame);
    Outcome GetAnalogFrame(const QByteArray& frame);
    Outcome ReadPageFrame(const QByteArray& frame, const QSet<int>& wrongEchoPages);
    Outcome WritePageFrame(const QByteArray& frame, const QSet<int>& wrongEchoPages);
    bool DigestAccepted(const QByteArray& frame) const;
    bool ControlDigest(const QByteArray& frame) const;

    SimConfig m_config;
    mutable QMutex m_mutex;
    SimCircuits m_circuits;
    SimFlash m_flash;
    bool m_configPrepared = false; // short 0xAE since the last start
};

// The 3 address bytes echoed for `address`: its own, or the next page's when the
// page is listed as a wrong-echo fault.
QByteArray EchoAddress(quint32 address, const QSet<int>& wrongEchoPages);

// The first zero-terminated version text in a program: "V", digit, ".", digit,
// ".", digit, optionally one lower-case letter, then a zero byte. Empty when
// there is none.
QString FindVersionText(const QByteArray& program);

// The 8,192-byte configuration area of a controller at its factory settings:
// address 192.168.0.177, mask 255.255.255.0, gateway and servers 192.168.0.1,
// name "QUELNET_1", control password "3958", configuration password "kpnv".
QByteArray FactoryConfiguration();

} // namespace quelnet::sim

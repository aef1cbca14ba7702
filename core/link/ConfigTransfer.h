#pragma once
// Transfer of a 4.x controller's configuration area (8,192 bytes, pages
// 0x06-0x25) and text area (32,768 bytes, pages 0x29-0xA8), each call on its
// own connection with the link time-out. Progress lines go to Memo; Pump may
// be null and is called between pages so that the caller's window repaints.

#include <QByteArray>
#include <QString>

namespace quelnet {

class ILog;
class IProgress;
class IEventPump;

class IConfigTransfer {
public:
    virtual ~IConfigTransfer() = default;
    // Reads both areas; sizes Config and Texts.
    virtual bool GetConfig(const QString& Host, const QString& PortTcp, const QString& Pass, ILog& Memo,
                           IProgress& ProgressBar, QByteArray& Config, QByteArray& Texts,
                           IEventPump* Pump = nullptr) = 0;
    // True exactly when every requested step succeeded. The controller is told
    // to take the configuration over (with its network settings and passwords
    // when WrNet) only after all its pages were written.
    virtual bool SetConfig(const QString& Host, const QString& PortTcp, const QString& Pass, ILog& Memo,
                           IProgress& ProgressBar, bool WrConfig, bool WrNet, bool WrTexts,
                           const QByteArray& Config, const QByteArray& Texts, IEventPump* Pump = nullptr) = 0;
};

} // namespace quelnet

#pragma once
// Programming of a controller's whole 512 KiB DataFlash (2,048 pages of 256
// bytes) from an image the caller has built, each call on its own connection
// with the link time-out. Progress lines go to Memo (appended; the log is not
// cleared), the progress position follows the page number of the last
// acknowledged page (maximum 2,048). Pump may be null; it is called after
// every page reply and every refused page so that the caller's window repaints.
//
// Image must be exactly 524,288 bytes (page n is bytes n*256 .. n*256+255);
// any other size is refused before anything is sent.

#include <QByteArray>
#include <QString>

namespace quelnet {

class ILog;
class IProgress;
class IEventPump;

// How the last firmware update ended.
enum class UpdateEnd {
    NotStarted,      // not programmed, or the controller was not seen taking the update start
    Started,         // the controller took the start; the user restarts it at the end ("V214")
    Finished,        // "V401f": reconnected after the restart and the text area cleared
    TextsNotCleared, // "V401f": the program is installed, but the reconnection or the
                     // clearing failed: the text area still holds the start of the program copy
};

class IDataFlashProgramming {
public:
    virtual ~IDataFlashProgramming() = default;

    // Writes the image over authenticated long frames (0xA1) that carry the
    // digest of the fixed DataFlash password, whatever control password the
    // controller has. True when all 2,048 pages were acknowledged. Used by the
    // user resources tool; adds no success line of its own.
    virtual bool SendDataFlash(const QString& Host, const QString& PortTcp, const QByteArray& Image,
                               ILog& Memo, IProgress& ProgressBar, IEventPump* Pump = nullptr) = 0;

    // Firmware update: writes the image over short frames (no password), then,
    // when UpdConfig, has the controller prepare its configuration (0xAE), and
    // starts the update (0xAD). True once the controller was seen taking the
    // update start (see UpdateStartWatch.h, within the link time-out); a start
    // that was written but never taken is a failure with a log line of its own.
    // Version is the package version tag: "V401f" waits for the controller's
    // restart, reconnects (to the factory address when UpdConfig, because the
    // configuration has been reset) and clears the text area (pages
    // 0x29-0xA8); any other tag ("V214") ends by asking the user to restart
    // the controller.
    virtual bool UpdateDataFlash(const QString& Host, const QString& PortTcp, const QString& Version,
                                 const QByteArray& Image, ILog& Memo, IProgress& ProgressBar, bool UpdConfig,
                                 IEventPump* Pump = nullptr) = 0;
    // How the last UpdateDataFlash ended (NotStarted before any).
    virtual UpdateEnd LastUpdateEnd() const = 0;
};

} // namespace quelnet

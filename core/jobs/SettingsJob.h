#pragma once
// Back-up and restore of a 4.x controller's configuration and texts through
// the two backup files. Only controllers that answer the long identify frame
// and have the programming jumper fitted are served.
//
// Back-up: identify, read both areas, then offer the configuration file and
// the text file in two save dialogs. Restore: identify, offer the two files in
// two open dialogs, ask whether the network settings and passwords in the
// configuration file are to be taken over, and write the parts that loaded.
// Cancelling or failing one file never skips the other.

#include "core/jobs/JobInterfaces.h"

namespace quelnet {

class TfmCommon;

class SettingsJob {
public:
    SettingsJob(TfmCommon& link, const JobFrontEnd& frontEnd);

    // True when both areas were read and every file the user confirmed was
    // written (a cancelled dialog or a file not replaced is no failure).
    bool BackUp(const ControllerTarget& target);
    // True when something was loaded, every chosen file loaded and the
    // transfer succeeded.
    bool Restore(const ControllerTarget& target);

private:
    enum class Direction { Read, Write };
    bool Identify(const ControllerTarget& target, Direction direction);
    bool SaveArea(const FileChoice& choice, const QByteArray& bytes);
    // Loads the file chosen in an open dialog into `bytes`; `loaded` tells
    // whether it did. False after a file error.
    bool LoadArea(const FileChoice& choice, int size, QByteArray& bytes, bool& loaded);
    bool AskOverwriteNetwork(const QByteArray& config, const QString& passwordInUse);

    TfmCommon& m_link;
    JobFrontEnd m_ui;
};

} // namespace quelnet

#pragma once
// The copy of a controller's configuration and texts taken before a firmware
// update: a new folder "quelnet-backup-HOST-YYYYmmdd-HHMMSS" (with "-PORT"
// after the host when it is not the default) holding Conf.QNC and Text.QNT,
// the files the settings backup writes.

#include "cli/Arguments.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace quelnet::cli {

// The folder's name for a controller at a time.
QString BackupFolderName(const HostPort& target, const QDateTime& when);

// Creates a new folder in `parent` (a suffix "-2", "-3" ... when the name is
// taken) and writes both files whole. The folder's path, or empty when it
// could not be written (nothing is left behind then).
QString WriteUpdateBackup(const QString& parent, const HostPort& target, const QByteArray& config,
                          const QByteArray& texts);

} // namespace quelnet::cli

#pragma once
// The copy of a controller's configuration and texts taken before the whole
// DataFlash is rewritten (update, resources): a new folder
// "quelnet-backup-HOST-YYYYmmdd-HHMMSS" (with "-PORT" after the host when it
// is not the default) holding Conf.QNC and Text.QNT, the files the settings
// backup writes. --backup-dir names the folder it goes into (created when
// missing), --no-backup skips it.

#include "cli/HostCommand.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace quelnet::cli {

inline const QString BackupDirOption = QStringLiteral("backup-dir");
inline const QString NoBackupOption = QStringLiteral("no-backup");

QList<OptionSpec> BackupSpecs(); // --backup-dir, --no-backup
// A usage error when --backup-dir names something that is not a folder.
QString CheckBackupDir(const Invocation& call);

// The folder's name for a controller at a time.
QString BackupFolderName(const HostPort& target, const QDateTime& when);
// Where the copy of `target` goes when taken now (shown before it is taken).
QString PlannedBackupFolder(const Invocation& call, const HostPort& target);

// Creates `parent` when missing, then the new folder `name` in it (a suffix
// "-2", "-3" ... when the name is taken) and writes both files whole. The
// folder's path, or empty when it could not be written (nothing is left
// behind then).
QString WriteUpdateBackup(const QString& parent, const QString& name, const QByteArray& config,
                          const QByteArray& texts);

// Reads the configuration and texts of a 4.x controller and writes them into
// `folder` (as planned); true to go on with the rewrite. `r` gets the line
// that names the folder, or the failure.
bool BackUpSettings(HostJob& job, const QString& folder, HostResult& r);

} // namespace quelnet::cli

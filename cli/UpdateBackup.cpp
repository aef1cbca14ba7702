#include "cli/UpdateBackup.h"

#include "cli/CliTexts.h"

#include "core/base/FileReplace.h"
#include "core/link/DeviceLink.h"

#include <QDir>
#include <QFileInfo>

namespace quelnet::cli {

namespace {

// Host names and addresses keep letters, digits, "." and "-"; anything else
// (the colons of an IPv6 address) becomes "_".
QString SafeName(const QString& host) {
    QString safe = host;
    for (QChar& c : safe)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'.' && c != u'-')
            c = u'_';
    return safe;
}

bool WriteWhole(const QString& path, const QByteArray& bytes) {
    return ReplaceFileContent(path, bytes) == FileReplaceResult::Written;
}

QString ParentOf(const Invocation& call) {
    return QDir(call.Value(BackupDirOption, QDir::currentPath())).absolutePath();
}

} // namespace

QList<OptionSpec> BackupSpecs() {
    return {{BackupDirOption, QStringLiteral("DIR"), Tx(txt::OptBackupDir)},
            {NoBackupOption, {}, Tx(txt::OptNoBackup)}};
}

QString CheckBackupDir(const Invocation& call) {
    if (!call.Has(BackupDirOption))
        return {};
    const QFileInfo dir(call.Value(BackupDirOption));
    return dir.exists() && !dir.isDir() ? Tx(txt::BackupDirNotFolder).arg(call.Value(BackupDirOption))
                                        : QString();
}

QString BackupFolderName(const HostPort& target, const QDateTime& when) {
    QString name = QStringLiteral("quelnet-backup-") + SafeName(target.host);
    if (target.port != DefaultControlPort)
        name += u'-' + target.PortText();
    return name + u'-' + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

QString PlannedBackupFolder(const Invocation& call, const HostPort& target) {
    return QDir(ParentOf(call)).filePath(BackupFolderName(target, QDateTime::currentDateTime()));
}

QString WriteUpdateBackup(const QString& parent, const QString& base, const QByteArray& config,
                          const QByteArray& texts) {
    if (!QDir().mkpath(parent))
        return {};
    QDir dir(parent);
    QString name = base;
    for (int n = 2; !dir.mkdir(name); ++n) {
        if (dir.exists(name) && n < 100) {
            name = base + u'-' + QString::number(n);
            continue;
        }
        return {};
    }
    const QString folder = dir.absoluteFilePath(name);
    if (WriteWhole(folder + QStringLiteral("/Conf.QNC"), config) &&
        WriteWhole(folder + QStringLiteral("/Text.QNT"), texts))
        return folder;
    QDir(folder).removeRecursively();
    return {};
}

bool BackUpSettings(HostJob& job, const QString& planned, HostResult& r) {
    QByteArray config, texts;
    if (!job.link.GetConfig(job.target.host, job.target.PortText(), job.call.settings.password, job.log,
                            job.progress, config, texts)) {
        r.outcome = Outcome::Failed;
        r.error = Tx(txt::BackupFailed);
        return false;
    }
    const QFileInfo where(planned);
    const QString folder = WriteUpdateBackup(where.absolutePath(), where.fileName(), config, texts);
    if (folder.isEmpty()) {
        r.outcome = Outcome::Failed;
        r.error = Tx(txt::BackupNotWritten).arg(where.absolutePath());
        return false;
    }
    r.lines << Tx(txt::BackupSaved).arg(folder);
    r.json.insert(QStringLiteral("backup"), folder);
    if (!job.batch)
        job.call.console.ErrLine(r.lines.last()); // said at once, before the long programming
    return true;
}

} // namespace quelnet::cli

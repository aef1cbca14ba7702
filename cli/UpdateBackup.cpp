#include "cli/UpdateBackup.h"

#include <QDir>
#include <QSaveFile>

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
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

QString BackupFolderName(const HostPort& target, const QDateTime& when) {
    QString name = QStringLiteral("quelnet-backup-") + SafeName(target.host);
    if (target.port != DefaultControlPort)
        name += u'-' + target.PortText();
    return name + u'-' + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

QString WriteUpdateBackup(const QString& parent, const HostPort& target, const QByteArray& config,
                          const QByteArray& texts) {
    QDir dir(parent.isEmpty() ? QDir::currentPath() : parent);
    const QString base = BackupFolderName(target, QDateTime::currentDateTime());
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

} // namespace quelnet::cli

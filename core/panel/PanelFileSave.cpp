// Saving the panel file: atomically where possible, else in place.
#include "core/panel/PanelFile.h"
#include "core/panel/PanelLimits.h"

#include "core/base/FileReplace.h"

#include <QFile>
#include <QSaveFile>

namespace quelnet {

namespace {

bool Fail(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

} // namespace

bool SavePanelFile(const QString& path, const QByteArray& bytes, QString* why) {
    return ReplaceFileContent(path, bytes, why) == FileReplaceResult::Written;
}

bool BackUpPanelFile(const QString& path, QString* backup, QString* why) {
    backup->clear();
    QFile source(path);
    if (!source.exists())
        return true;
    if (!source.open(QIODevice::ReadOnly))
        return Fail(why, source.errorString());
    const QString target = path + QLatin1String(PanelBackupSuffix);
    QSaveFile copy(target);
    copy.setDirectWriteFallback(false);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail(why, copy.errorString());
    // In pieces: a refused file may be of any size.
    for (QByteArray piece; !(piece = source.read(1 << 20)).isEmpty();)
        if (copy.write(piece) != piece.size()) {
            const QString reason = copy.errorString();
            copy.cancelWriting();
            return Fail(why, reason);
        }
    if (source.error() != QFileDevice::NoError) {
        copy.cancelWriting();
        return Fail(why, source.errorString());
    }
    if (!copy.commit())
        return Fail(why, copy.errorString());
    *backup = target;
    return true;
}

} // namespace quelnet

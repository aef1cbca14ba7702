// Saving the panel file: atomically where possible, else in place.
#include "core/panel/PanelFile.h"
#include "core/panel/PanelLimits.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quelnet {

namespace {

bool Fail(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

// The whole of `bytes` from the start of the file, and nothing after it.
bool WriteWhole(QFile& file, const QByteArray& bytes) {
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size()) && file.flush();
}

// The folder takes no new file (a temporary file cannot be made beside the
// panel file) but the file itself may be written: it is rewritten where it
// is. Its old content is read first and put back if the new one cannot be
// written whole, as on a full disk.
bool SaveInPlace(const QString& path, const QByteArray& bytes, QString* why) {
    QFile file(path);
    // Unbuffered, so that a short write shows in the count at once.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return Fail(why, file.errorString());
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Fail(why, file.errorString());
    if (WriteWhole(file, bytes))
        return true;
    const QString reason = file.errorString();
    WriteWhole(file, old);
    return Fail(why, reason);
}

// Why a write-protected file cannot be written, in the system's words.
QString WriteProtectedReason(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) // never for a protected file
        return QString();
    return file.errorString();
}

} // namespace

bool SavePanelFile(const QString& path, const QByteArray& bytes, QString* why) {
    const QFileInfo existing(path);
    // A write-protected panel stays as it is, as it would when opened for writing.
    if (existing.exists() && !existing.isWritable())
        return Fail(why, WriteProtectedReason(path));
    QSaveFile file(path);
    file.setDirectWriteFallback(false); // a truncating direct write could lose the old file
    // Unbuffered, so that a short write (disk full, size limit) shows in the
    // count here; a buffered flush would let it pass unnoticed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (existing.isFile())
            return SaveInPlace(path, bytes, why);
        return Fail(why, file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Fail(why, reason);
    }
    if (!file.commit())
        return Fail(why, file.errorString());
    return true;
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

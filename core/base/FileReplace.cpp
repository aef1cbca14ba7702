#include "core/base/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quelnet {

namespace {

FileReplaceResult Fail(FileReplaceResult result, QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return result;
}

// The whole of `bytes` from the start of the file, and nothing after it.
bool WriteWhole(QFile& file, const QByteArray& bytes) {
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size()) && file.flush();
}

// The folder takes no new file (a temporary file cannot be made beside the
// target) but the file itself may be written: it is rewritten where it is.
// Its old content is read first and put back if the new one cannot be
// written whole.
FileReplaceResult ReplaceInPlace(const QString& path, const QByteArray& bytes, QString* why) {
    QFile file(path);
    // Unbuffered, so that a short write shows in the count at once.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return Fail(FileReplaceResult::CannotCreate, why, file.errorString());
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Fail(FileReplaceResult::CannotCreate, why, file.errorString());
    if (WriteWhole(file, bytes))
        return FileReplaceResult::Written;
    const QString reason = file.errorString();
    WriteWhole(file, old);
    return Fail(FileReplaceResult::CannotWrite, why, reason);
}

// Why a write-protected file cannot be written, in the system's words.
QString WriteProtectedReason(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) // never for a protected file
        return QString();
    return file.errorString();
}

} // namespace

FileReplaceResult ReplaceFileContent(const QString& path, const QByteArray& bytes, QString* why) {
    const QFileInfo existing(path);
    // A write-protected file stays as it is, as it would when opened for writing.
    if (existing.exists() && !existing.isWritable())
        return Fail(FileReplaceResult::CannotCreate, why, WriteProtectedReason(path));
    QSaveFile file(path);
    file.setDirectWriteFallback(false); // a truncating direct write could lose the old file
    // Unbuffered, so that a short write (disk full, size limit) shows in the
    // count here; a buffered flush would let it pass unnoticed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (existing.isFile())
            return ReplaceInPlace(path, bytes, why);
        return Fail(FileReplaceResult::CannotCreate, why, file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Fail(FileReplaceResult::CannotWrite, why, reason);
    }
    if (!file.commit())
        return Fail(FileReplaceResult::CannotWrite, why, file.errorString());
    return FileReplaceResult::Written;
}

} // namespace quelnet

#pragma once
// Replacing a file's whole content without losing the old one on the way.
//
// Where the folder lets the user create files, the bytes go to a temporary
// file beside the target, which is renamed over it only once every byte is
// written: a failed or interrupted write leaves the old file whole. Where the
// folder takes no new file (a read-only folder) but the file itself may be
// written, it is rewritten in place: its old content is read first and put
// back when the new one cannot be written whole (a full disk, a size limit).
// A file that exists but is write-protected is left alone.

#include <QByteArray>
#include <QString>

namespace quelnet {

enum class FileReplaceResult {
    Written,
    CannotCreate, // the file could not be created or opened for writing
    CannotWrite,  // it opened, but the bytes could not be written whole
};

// `why` (when given) gets the system's reason after a failure.
FileReplaceResult ReplaceFileContent(const QString& path, const QByteArray& bytes, QString* why = nullptr);

} // namespace quelnet

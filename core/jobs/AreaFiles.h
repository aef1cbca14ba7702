#pragma once
// The backup files of the configuration area ("Conf.QNC", 8,192 bytes) and the
// text area ("Text.QNT", 32,768 bytes): raw area images, no header, no checksum.

#include <QByteArray>
#include <QString>

namespace quelnet {

inline constexpr int ConfigAreaSize = 8192;
inline constexpr int TextAreaSize = 32768;

enum class AreaFileError { None, Missing, CannotOpen, CannotRead, CannotCreate, CannotWrite };

// Reads the first `size` bytes of the file. A shorter file is refused
// (CannotRead); of a longer one the rest is ignored.
AreaFileError ReadAreaFile(const QString& path, int size, QByteArray& bytes);

// Writes the bytes as the whole file (core/base/FileReplace.h): through a
// temporary file beside it, or, in a folder that takes no new file, in place
// over a file the user may write; a failed write leaves an existing file as
// it was.
AreaFileError WriteAreaFile(const QString& path, const QByteArray& bytes);

// The message of an error ("Plik nie istnieje." ...); empty for None.
QString AreaFileErrorText(AreaFileError error);

} // namespace quelnet

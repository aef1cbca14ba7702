#pragma once
// The user's own pages and graphics that replace package defaults in the
// DataFlash image, and the reading of such a file.

#include <QByteArray>
#include <QString>
#include <array>

namespace quelnet {

struct TUser_Resource {
    std::array<QString, 8> Html_U; // paths for pages u1.html ... u8.html; empty keeps the default
    std::array<QString, 8> Gif_S;  // paths for graphics s1.gif ... s8.gif; empty keeps the default
};

// Reads a whole file. Returns its size with the bytes in buffer; 0 with an empty
// buffer when the file is missing, cannot be opened or is empty; -1 with an
// empty buffer when it is larger than package::MaxFileSize (it could never fit
// the image and is not read).
qint64 LoadFileToBuffer(const QString& path, QByteArray& buffer);

// The user's path for a package file name: entry k of Html_U for a name that
// contains "u<k>.html", of Gif_S for one that contains "s<k>.gif"; empty when the
// name has no substitute or its entry is empty.
QString SubstitutePath(const TUser_Resource& resource, const QString& fileName);

} // namespace quelnet

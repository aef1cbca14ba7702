#pragma once
// Small packages built with the package writer, placed behind some stand-in
// executable bytes, and ways to damage them.

#include "PackageWriter.h"
#include "core/base/CodePage.h"
#include "core/firmware/PackageFormat.h"
#include "core/firmware/PackageReader.h"

#include <QByteArray>
#include <algorithm>
#include <vector>

namespace quelnet::test {

// An HTML page whose compaction is known: 5 lines, one comment over two lines.
inline QByteArray CommentedPage() {
    return "<!DOCTYPE html>\r\n"
           "    <p>Stan</p>\r\n"
           "  <!-- komentarz\r\n"
           "  koniec -->  \r\n"
           "<b>x</b>\r\n";
}

// Groups in the shipped order with a few files each.
inline std::vector<package::PackageFile> SmallPackageFiles() {
    return {
        {"PL", "V214", "IP_QueL_A_PL.hex", QByteArray(4096, 'A')},
        {"PL", "V214", "cnfdef.bin", QByteArray(0x2000, 'c')},
        {"PL", "V214", "00.html", CommentedPage()},
        {"LT", "V214", "IP_QueL_A_LT.hex", QByteArray(4096, 'L')},
        {"LT", "V214", "cnfdef.bin", QByteArray(0x2000, 'l')},
        {"  ", "V401f", "IP_QueL.hex", QByteArray(4096, 'Q')},
        {"PL", "V401f", "cnfdef.bin", QByteArray(8192, 'c')},
        {"PL", "V401f", "prog.bin", QByteArray(0x1D800, '\0')},
        {"PL", "V401f", "n00.html", CommentedPage()},
        {"PL", "V401f", "u1.html", "default u1"},
        {"PL", "V401f", "s1.gif", "GIF89a default s1"},
    };
}

// Stand-in program bytes in front of the package; they hold the reversed magic,
// as the real program does.
inline QByteArray ProgramBytes() {
    QByteArray key = package::Magic();
    std::reverse(key.begin(), key.end());
    return QByteArray(1000, '\x7F') + key + QByteArray(333, 'P');
}

inline QByteArray Executable(const std::vector<package::PackageFile>& files = SmallPackageFiles()) {
    return ProgramBytes() + package::WritePackage(files);
}

// The package's records, to change and put back with Reassemble.
inline std::vector<TPackageEntry> Entries(const QByteArray& executable) {
    PackageReader reader = PackageReader::OfBytes(executable);
    std::vector<TPackageEntry> entries;
    TPackageEntry e;
    for (int i = 0; reader.ReadEntry(i, e); ++i)
        entries.push_back(e);
    return entries;
}

// The same executable with its directory rewritten from entries (data area kept).
inline QByteArray Reassemble(const QByteArray& executable, const std::vector<TPackageEntry>& entries) {
    PackageReader reader = PackageReader::OfBytes(executable);
    reader.Open();
    const qint64 dataStart = reader.MarkerPos() + package::HeaderSize + reader.DirectoryLength();
    QByteArray directory;
    for (const TPackageEntry& e : entries)
        directory += ToAnsi(package::DirectoryLine(e)) + '\r';
    QByteArray out = executable.left(reader.MarkerPos()) + package::Magic();
    for (quint32 v : {quint32(directory.size()), reader.DataLength()})
        for (int i = 0; i < 4; ++i)
            out.append(char(v >> (8 * i)));
    return out + directory + executable.mid(dataStart);
}

} // namespace quelnet::test

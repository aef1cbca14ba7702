// Package reader on byte buffers: locating the package, the size check, the
// directory, extraction with both checksums.
#include "PackageFixtures.h"

#include "core/base/CodePage.h"
#include "core/firmware/DataFlashImage.h"
#include "core/firmware/ImageBuilder.h"
#include "core/firmware/PackageReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quelnet;
using namespace quelnet::test;

namespace {

TEST(PackageReader, OpensOnlyAPackageThatEndsTheFileExactly) {
    const QByteArray exe = Executable();
    struct Case {
        const char* name;
        QByteArray bytes;
        bool opens;
    } cases[] = {
        {"intact", exe, true},
        {"one byte short", exe.chopped(1), false},
        {"one byte long", exe + 'x', false},
        {"package alone", package::WritePackage(SmallPackageFiles()), true},
        {"no package", ProgramBytes(), false},
        {"empty file", {}, false},
    };
    for (const Case& c : cases) {
        PackageReader reader = PackageReader::OfBytes(c.bytes);
        EXPECT_EQ(reader.Open(), c.opens) << c.name;
        EXPECT_EQ(reader.EntryCount(), c.opens ? 11 : 0) << c.name;
        EXPECT_EQ(reader.Languages("V214").isEmpty(), !c.opens) << c.name;
    }
    PackageReader reader = PackageReader::OfBytes(exe);
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(reader.MarkerPos(), ProgramBytes().size()) << "the program's reversed key is passed over";
}

TEST(PackageReader, SizeCheckIsDoneIn64Bits) {
    // D + N chosen so that the sum wraps to the file size in 32 bits.
    QByteArray bytes = package::Magic();
    const quint32 d = 0xFFFFFFFFu, n = 8 + 1; // 24 + d + n = 2^32 + 8 + 24 = file size + 2^32
    for (quint32 v : {d, n})
        for (int i = 0; i < 4; ++i)
            bytes.append(char(v >> (8 * i)));
    bytes += QByteArray(8, '|');
    PackageReader reader = PackageReader::OfBytes(bytes);
    EXPECT_FALSE(reader.Open());
}

TEST(PackageReader, TheProgramsOwnKeyIsNeverFound) {
    // The test program links the reader: it holds the reversed key but no
    // package, and reading it must find nothing.
    QFile self(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    QByteArray reversed = package::Magic();
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_TRUE(self.readAll().contains(reversed));
    PackageReader reader = PackageReader::OfRunningProgram();
    EXPECT_FALSE(reader.Open());
    EXPECT_GT(reader.FileSize(), 0);
}

TEST(PackageReader, FilesAbove32MiBAreRefused) {
    const QByteArray package = package::WritePackage(SmallPackageFiles());
    const QString path = QDir::temp().filePath("quelnet_fw_size_test.bin");
    for (qint64 size : {package::MaxFileSize, package::MaxFileSize + 1}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(file.resize(size - package.size())); // sparse program part
        ASSERT_TRUE(file.seek(size - package.size()));
        file.write(package);
        file.close();
        PackageReader reader = PackageReader::OfFile(path);
        EXPECT_EQ(reader.Open(), size == package::MaxFileSize) << size;
        QFile::remove(path);
    }
}

TEST(PackageReader, ReadsTheFileOnceAndRetriesAFailedRead) {
    int reads = 0;
    const QByteArray exe = Executable();
    PackageReader reader([&] { return ++reads == 1 ? QByteArray() : exe; });
    EXPECT_FALSE(reader.Open()) << "first read fails";
    EXPECT_TRUE(reader.Open());
    EXPECT_EQ(reader.Files("PL", "V401f").size(), 5);
    EXPECT_EQ(reads, 2);
}

TEST(PackageReader, DirectoryQueriesFollowDirectoryOrder) {
    PackageReader reader = PackageReader::OfBytes(Executable());
    EXPECT_EQ(reader.Languages("V214"), QStringList({"PL", "LT"}));
    EXPECT_EQ(reader.Languages("V401f"), QStringList({"PL"})) << "the common language is no language";
    EXPECT_TRUE(reader.Languages("V999").isEmpty());
    EXPECT_EQ(reader.Files("PL", "V401f"),
              QStringList({"cnfdef.bin", "prog.bin", "n00.html", "u1.html", "s1.gif"}));
    EXPECT_EQ(reader.Files("pl", "V401f"), QStringList()) << "exact comparison";
    TPackageEntry e;
    ASSERT_TRUE(reader.ReadEntry(4, e));
    EXPECT_EQ(e.Idx, 1) << "Idx restarts in every group";
    EXPECT_EQ(e.Lang, "LT");
    EXPECT_EQ(e.FileName, "cnfdef.bin");
    EXPECT_FALSE(reader.ReadEntry(11, e));
    EXPECT_FALSE(reader.ReadEntry(-1, e));
}

TEST(PackageReader, ExtractsAndVerifiesEntries) {
    PackageReader reader = PackageReader::OfBytes(Executable());
    QByteArray buffer;
    EXPECT_EQ(reader.Extract("cnfdef.bin", -1, "PL", "V401f", buffer), 8192);
    EXPECT_EQ(buffer, QByteArray(8192, 'c'));
    EXPECT_EQ(reader.Extract("prog.bin", -1, "PL", "V401f", buffer), 0x1D800);
    EXPECT_EQ(buffer.count('\0'), 0x1D800);
    TPackageEntry e;
    ASSERT_TRUE(reader.FindEntry("prog.bin", -1, "PL", "V401f", e));
    EXPECT_EQ(e.DataCrc, 0u) << "all-zero data";
    EXPECT_EQ(reader.Extract("IP_QueL.hex", -1, "  ", "V401f", buffer), 4096);
    EXPECT_EQ(reader.Extract("IP_QueL.hex", -1, "PL", "V401f", buffer), 0);
    EXPECT_TRUE(buffer.isEmpty());
    EXPECT_EQ(reader.Extract("", 2, "PL", "V214", buffer), CommentedPage().size()) << "by Idx";
}

TEST(PackageReader, DamagedEntriesGiveNothing) {
    const QByteArray exe = Executable();
    const std::vector<TPackageEntry> entries = Entries(exe);
    const int cnf = 6; // cnfdef.bin of (PL, V401f)
    PackageReader intact = PackageReader::OfBytes(exe);
    intact.Open();
    const qint64 stream =
        intact.MarkerPos() + package::HeaderSize + intact.DirectoryLength() + entries[cnf].Offset;

    auto withEntry = [&](auto change) {
        std::vector<TPackageEntry> e = entries;
        change(e[cnf]);
        return Reassemble(exe, e);
    };
    QByteArray flipped = exe;
    flipped[stream + 5] = char(flipped[stream + 5] ^ 0x10);
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"one flipped bit in the stream", flipped},
        {"size one larger", withEntry([](TPackageEntry& e) { ++e.Size; })},
        {"size one smaller", withEntry([](TPackageEntry& e) { --e.Size; })},
        {"wrong data checksum", withEntry([](TPackageEntry& e) { e.DataCrc ^= 1; })},
    };
    for (const Case& c : cases) {
        PackageReader reader = PackageReader::OfBytes(c.bytes);
        ASSERT_TRUE(reader.Open()) << c.name;
        QByteArray buffer("stale");
        EXPECT_EQ(reader.Extract("cnfdef.bin", -1, "PL", "V401f", buffer), 0) << c.name;
        EXPECT_TRUE(buffer.isEmpty()) << c.name;
        EXPECT_EQ(reader.Extract("n00.html", -1, "PL", "V401f", buffer), CommentedPage().size()) << c.name;
    }
}

// A stream that does not start where the one before it ends is a damaged
// directory: the package does not open at all.
TEST(PackageReader, StreamsMustFollowEachOther) {
    const QByteArray exe = Executable();
    std::vector<TPackageEntry> entries = Entries(exe);
    for (const qint32 offset : {0x7FFFFFF0, -8, entries[6].Offset + 1}) {
        std::vector<TPackageEntry> e = entries;
        e[6].Offset = offset;
        EXPECT_FALSE(PackageReader::OfBytes(Reassemble(exe, e)).Open()) << offset;
    }
    EXPECT_TRUE(PackageReader::OfBytes(Reassemble(exe, entries)).Open());
}

// An empty file is skipped by the image builder only when its record says so
// whole: a Size damaged to 0 fails the build instead of dropping the file.
TEST(PackageReader, OnlyAWholeEmptyRecordIsSkipped) {
    std::vector<package::PackageFile> files = SmallPackageFiles();
    files.insert(files.begin() + 7, {"PL", "V401f", "empty.bin", QByteArray()});
    const QByteArray exe = Executable(files);
    std::vector<TPackageEntry> entries = Entries(exe);
    DataFlashImage image;
    int free = 0;
    PackageReader whole = PackageReader::OfBytes(exe);
    EXPECT_TRUE(BuildDataFlashImage(whole, image, "PL", "V401f", free, nullptr));
    entries[6].Size = 0; // cnfdef.bin
    PackageReader damaged = PackageReader::OfBytes(Reassemble(exe, entries));
    ASSERT_TRUE(damaged.Open());
    EXPECT_FALSE(BuildDataFlashImage(damaged, image, "PL", "V401f", free, nullptr));
}

// The same executable with another directory text (the header's directory
// length follows; the data area is kept).
QByteArray WithDirectory(const QByteArray& exe, const QByteArray& text) {
    PackageReader plain = PackageReader::OfBytes(exe);
    plain.Open();
    const qint64 dir = plain.MarkerPos() + package::HeaderSize;
    QByteArray edited = exe.left(dir - 8);
    for (quint32 v : {quint32(text.size()), plain.DataLength()})
        for (int i = 0; i < 4; ++i)
            edited.append(char(v >> (8 * i)));
    return edited + text + exe.mid(dir + plain.DirectoryLength());
}

QByteArray DirectoryText(const QByteArray& exe) {
    PackageReader plain = PackageReader::OfBytes(exe);
    plain.Open();
    return exe.mid(plain.MarkerPos() + package::HeaderSize, plain.DirectoryLength());
}

TEST(PackageReader, DirectoryLinesAreInTheAnsiCodePage) {
    const QByteArray exe = Executable({{"PL", "V401f", QString::fromUtf8("żółw.gif"), "a"},
                                       {"PL", "V401f", "b.gif", "b"},
                                       {"PL", "V401f", "c.gif", "c"}});
    EXPECT_TRUE(DirectoryText(exe).contains(ToAnsi(QString::fromUtf8("żółw.gif")) + '\r'));
    PackageReader reader = PackageReader::OfBytes(exe);
    EXPECT_EQ(reader.EntryCount(), 3);
    EXPECT_EQ(reader.Files("PL", "V401f"), QStringList({QString::fromUtf8("żółw.gif"), "b.gif", "c.gif"}));
    QByteArray buffer;
    EXPECT_EQ(reader.Extract("c.gif", -1, "PL", "V401f", buffer), 1);
}

// A directory that does not read whole, in the form the package writer gives
// it, is refused as a whole: no group, no file, and the DataFlash image is
// not built. A damaged line must never just drop out of its group (every
// later file would move one slot down).
TEST(PackageReader, DirectoryThatDoesNotReadWholeIsRefused) {
    const QByteArray exe = Executable();
    const QByteArray text = DirectoryText(exe);
    const QList<QByteArray> lines = text.split('\r'); // the last one is empty: the final CR
    ASSERT_EQ(lines.size(), 12);
    const qsizetype line8 = text.indexOf(lines[8]); // (PL, V401f) $002 n00.html
    ASSERT_TRUE(lines[8].startsWith("$002|PL|V401f|$"));
    auto changed = [&](qsizetype at, const QByteArray& bytes) {
        QByteArray t = text;
        t.replace(at, bytes.size(), bytes);
        return t;
    };
    auto flipped = [&](qsizetype at, int bit) {
        QByteArray t = text;
        t[at] = char(t[at] ^ (1 << bit));
        return t;
    };
    const qsizetype firstCr = text.indexOf('\r');
    struct Case {
        const char* what;
        QByteArray text;
    } cases[] = {
        {"an Idx digit changed to G", changed(line8 + 3, "G")},
        {"an Idx digit changed to another digit", changed(line8 + 3, "3")},
        {"an Offset digit changed to G", changed(line8 + 14 + 7, "G")},
        {"a lower-case hex digit", changed(line8 + 14, "$0000000a")},
        {"a number one digit short", changed(line8 + 14, "$0000001|")},
        {"a CR turned into LF", changed(firstCr, "\n")},
        {"a line ending in CR LF", changed(firstCr, "\r\n")},
        {"no CR after the last line", text.chopped(1)},
        {"an empty line", changed(firstCr, "\r\r")},
        {"a separator changed", changed(line8 + 4, "!")},
        {"the language one bit off (PL to PM)", flipped(line8 + 6, 0)},
        {"the version one bit off", flipped(line8 + 9, 1)},
        {"a control character in a name", changed(text.indexOf("n00.html"), QByteArray(1, '\x01'))},
        {"an empty name", changed(text.indexOf("n00.html") - 1, "|\r")},
        {"half a line", text.left(line8 + 20)},
        {"junk appended", text + "junk\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.text, text);
        PackageReader reader = PackageReader::OfBytes(WithDirectory(exe, c.text));
        EXPECT_FALSE(reader.Open());
        EXPECT_EQ(reader.EntryCount(), 0);
        EXPECT_TRUE(reader.Files("PL", "V401f").isEmpty());
        DataFlashImage image;
        int free = -1;
        EXPECT_FALSE(BuildDataFlashImage(reader, image, "PL", "V401f", free, nullptr));
        EXPECT_EQ(image.Bytes(), QByteArray(0x80000, '\0')); // nothing placed
    }
    PackageReader intact = PackageReader::OfBytes(WithDirectory(exe, text));
    EXPECT_TRUE(intact.Open());
    EXPECT_EQ(intact.EntryCount(), 11);
}

// Random bit flips in the directory, outside the file names: each one is
// refused, or the damage shows when the files are extracted; no group's image
// is ever built other than from the intact directory.
TEST(PackageReader, BitFlipsInTheDirectoryNeverBuildAnotherImage) {
    const QByteArray exe = Executable();
    const QByteArray text = DirectoryText(exe);
    const struct {
        const char* lang;
        const char* version;
    } groups[] = {{"PL", "V214"}, {"LT", "V214"}, {"PL", "V401f"}};
    auto images = [&](PackageReader& reader) {
        QList<QByteArray> built;
        for (const auto& g : groups) {
            DataFlashImage image;
            int free = 0;
            built << (BuildDataFlashImage(reader, image, g.lang, g.version, free, nullptr) ? image.Bytes()
                                                                                           : QByteArray());
        }
        QByteArray program;
        reader.Extract("IP_QueL.hex", -1, "  ", "V401f", program);
        return built << program;
    };
    PackageReader intactReader = PackageReader::OfBytes(exe);
    const QList<QByteArray> intact = images(intactReader);
    // Positions in the numbered fields: from a line's start to its eighth "|".
    QList<qsizetype> positions;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype at = start;
        for (int bars = 0; bars < 8; ++at)
            bars += text[at] == '|';
        for (qsizetype i = start; i < at; ++i)
            positions << i;
        const qsizetype cr = text.indexOf('\r', at);
        positions << cr;
        start = cr + 1;
    }
    quint32 state = 18;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
    int refused = 0;
    for (int n = 0; n < 300; ++n) {
        QByteArray t = text;
        const qsizetype at = positions[qsizetype(next() % quint32(positions.size()))];
        t[at] = char(t[at] ^ (1 << (next() % 8)));
        PackageReader reader = PackageReader::OfBytes(WithDirectory(exe, t));
        if (!reader.Open()) {
            ++refused;
            continue;
        }
        const QList<QByteArray> built = images(reader);
        for (int i = 0; i < built.size(); ++i)
            EXPECT_TRUE(built[i].isEmpty() || built[i] == intact[i]) << "flip " << n << " at " << at;
    }
    EXPECT_GT(refused, 200);
}

TEST(PackageWriter, SameFilesGiveSameBytesAndAppendingReplacesAnEarlierPackage) {
    EXPECT_EQ(package::WritePackage(SmallPackageFiles()), package::WritePackage(SmallPackageFiles()));
    const QString path = QDir::temp().filePath("quelnet_fw_append_test.bin");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(ProgramBytes());
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    QString error;
    const QByteArray small = package::WritePackage({{"PL", "V401f", "a.txt", "first"}});
    ASSERT_TRUE(package::AppendPackage(path, package::WritePackage(SmallPackageFiles()), &error))
        << qPrintable(error);
    ASSERT_TRUE(package::AppendPackage(path, small, &error)) << qPrintable(error);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), ProgramBytes() + small);
    EXPECT_TRUE(file.permissions() & QFileDevice::ExeOwner);
    file.close();
    file.remove();
}

} // namespace

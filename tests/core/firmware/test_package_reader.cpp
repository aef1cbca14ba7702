// Package reader on byte buffers: locating the package, the size check, the
// directory, extraction with both checksums.
#include "PackageFixtures.h"

#include "core/base/CodePage.h"
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
        {"stream beyond the data area", withEntry([](TPackageEntry& e) { e.Offset = 0x7FFFFFF0; })},
        {"negative offset", withEntry([](TPackageEntry& e) { e.Offset = -8; })},
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

TEST(PackageReader, DirectoryLinesEndAtCrLfOrBothAndAreInTheAnsiCodePage) {
    const QByteArray exe = Executable({{"PL", "V401f", QString::fromUtf8("żółw.gif"), "a"},
                                       {"PL", "V401f", "b.gif", "b"},
                                       {"PL", "V401f", "c.gif", "c"}});
    PackageReader plain = PackageReader::OfBytes(exe);
    plain.Open();
    const qint64 dir = plain.MarkerPos() + package::HeaderSize;
    QByteArray text = exe.mid(dir, plain.DirectoryLength());
    EXPECT_TRUE(text.contains(ToAnsi(QString::fromUtf8("żółw.gif")) + '\r'));
    // The first line now ends in CR LF, the second in LF, the last in CR; the
    // header's directory length follows.
    const qsizetype first = text.indexOf('\r'), second = text.indexOf('\r', first + 1);
    text[second] = '\n';
    text.insert(first + 1, '\n');
    QByteArray edited = exe.left(dir - 8);
    for (quint32 v : {quint32(text.size()), plain.DataLength()})
        for (int i = 0; i < 4; ++i)
            edited.append(char(v >> (8 * i)));
    edited += text + exe.mid(dir + plain.DirectoryLength());
    PackageReader reader = PackageReader::OfBytes(edited);
    EXPECT_EQ(reader.EntryCount(), 3) << "no empty lines from CR LF or the final CR";
    EXPECT_EQ(reader.Files("PL", "V401f"), QStringList({QString::fromUtf8("żółw.gif"), "b.gif", "c.gif"}));
    QByteArray buffer;
    EXPECT_EQ(reader.Extract("c.gif", -1, "PL", "V401f", buffer), 1);
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

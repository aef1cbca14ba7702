// The package the build appends to the quelnet executable: its groups, names and
// sizes, its files, and the DataFlash images built from it.
#include "core/firmware/FirmwarePackage.h"
#include "core/firmware/HtmlCompaction.h"
#include "core/firmware/ImageBuilder.h"
#include "core/firmware/PackageFormat.h"
#include "core/firmware/ProgramImage.h"
#include "core/protocol/Checksums.h"

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>
#include <map>

using namespace quelnet;

namespace {

QStringList Numbered(const QString& prefix, int count, const QString& suffix) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(prefix + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) + suffix);
    return names;
}

QStringList Range(const QString& prefix, const QString& suffix, int last) {
    QStringList names;
    for (int k = 1; k <= last; ++k)
        names.append(prefix + QString::number(k) + suffix);
    return names;
}

QStringList V214Names(const QString& lang) {
    return QStringList{"IP_QueL_A_" + lang + ".hex",
                       "IP_QueL_C_" + lang + ".hex",
                       "cnfdef.bin",
                       "errsys.bin",
                       "errnet.bin",
                       "errlnk.bin",
                       "prog.bin"} +
           Numbered("", 30, ".html") + Numbered("", 2, ".jpg") + Numbered("", 83, ".gif") +
           Range("u", ".html", 2);
}

QStringList V401fNames() {
    return QStringList{"cnfdef.bin", "errsys.bin", "errnet.bin", "errlnk.bin", "prog.bin"} +
           Numbered("n", 13, ".html") + Numbered("", 2, ".css") + Numbered("", 73, ".gif") +
           Numbered("", 22, ".txt") + Range("u", ".html", 8) + Range("s", ".gif", 8);
}

class BuiltPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProcessPackage() = PackageReader::OfFile(QUELNET_EXE); }
    static QByteArray Extract(const QString& name, const QString& lang, const QString& version) {
        QByteArray buffer;
        ExtractPackageFile(name, -1, lang, version, buffer);
        return buffer;
    }
};

TEST_F(BuiltPackage, EndsTheExecutableWithTheDeliveredGroupsNamesAndSizes) {
    ASSERT_TRUE(OpenPackage());
    QFile exe(QUELNET_EXE);
    ASSERT_TRUE(exe.open(QIODevice::ReadOnly));
    const QByteArray bytes = exe.readAll();
    EXPECT_EQ(bytes.count(package::Magic()), 1) << "only the package holds the forward key";
    EXPECT_EQ(ProcessPackage().DirectoryLength(), 26929u);

    const struct {
        QString lang, version;
        QStringList names;
    } groups[] = {{"PL", "V214", V214Names("PL")},
                  {"LT", "V214", V214Names("LT")},
                  {"  ", "V401f", {"IP_QueL.hex"}},
                  {"PL", "V401f", V401fNames()}};
    int index = 0;
    for (const auto& g : groups) {
        int count = 0;
        EXPECT_EQ(GetPackageFiles(g.lang, g.version, count), g.names)
            << g.lang.toStdString() << g.version.toStdString();
        EXPECT_EQ(count, g.names.size());
        for (int i = 0; i < g.names.size(); ++i, ++index) {
            TPackageEntry e;
            ASSERT_TRUE(ReadPackageEntry(index, e));
            EXPECT_EQ(e.Idx, i);
            EXPECT_EQ(e.Lang, g.lang);
            const std::map<QString, int> sizes = {{"cnfdef.bin", 8192},
                                                  {"errsys.bin", 256},
                                                  {"errnet.bin", 256},
                                                  {"errlnk.bin", 256},
                                                  {"prog.bin", 0x1D800}};
            const auto size = sizes.find(e.FileName);
            const int expected = e.FileName.startsWith("IP_QueL") ? program::ImageSize
                                 : size != sizes.end()            ? size->second
                                                                  : e.Size;
            EXPECT_EQ(e.Size, expected) << e.FileName.toStdString();
            const bool zero =
                e.FileName.startsWith("err") || (e.FileName == "prog.bin" && e.Version == "V401f");
            EXPECT_EQ(e.DataCrc == 0, zero) << e.FileName.toStdString();
        }
    }
    TPackageEntry e;
    EXPECT_EQ(index, 380);
    EXPECT_FALSE(ReadPackageEntry(380, e));
    EXPECT_EQ(GetPackageLanguages("V214"), QStringList({"PL", "LT"}));
    EXPECT_EQ(GetPackageLanguages("V401f"), QStringList({"PL"}));
}

TEST_F(BuiltPackage, ImagesComeOutAsDelivered) {
    const struct {
        const char* lang;
        const char* version;
        int free;
        int lastEnd;
    } cases[] = {
        {"PL", "V401f", 154302, 0x5A542}, {"PL", "V214", 78172, 0x6CEA4}, {"LT", "V214", 77626, 0x6D0C6}};
    for (const auto& c : cases) {
        int free = 0;
        ASSERT_TRUE(BuildDataFlashImage(c.lang, c.version, free)) << c.lang << c.version;
        EXPECT_EQ(free, c.free) << c.lang << c.version;
        const DataFlashImage& image = ProcessDataFlashImage();
        int last = 0;
        while (last + 1 < DataFlashImage::SlotCount && image.SlotLength(last + 1) != 0)
            ++last;
        EXPECT_EQ(int(image.SlotOffset(last) + image.SlotLength(last)), c.lastEnd) << c.lang << c.version;
        EXPECT_EQ(image.SlotOffset(4), program::CopyAddress) << "prog.bin";
        EXPECT_EQ(image.SlotOffset(5), 0x20100u) << "first web file";
    }
    TUser_Resource defaults; // the resources window before any choice
    int free = 0;
    ASSERT_TRUE(BuildDataFlashImage("PL", "V401f", free, &defaults));
    EXPECT_EQ(free, 154302);
}

TEST_F(BuiltPackage, ProgramImagesCarryTheirTextsAndSealAndTheConfigurationItsDefaults) {
    const QByteArray v401f = Extract("IP_QueL.hex", "  ", "V401f");
    ASSERT_EQ(v401f.size(), program::ImageSize);
    EXPECT_EQ(program::VersionText(v401f), "V4.0.1f");
    EXPECT_EQ(v401f.mid(int(firmware::CheckWordOffset), 4), QByteArray(4, '\0'))
        << "sealed by the update tool";
    for (const char* lang : {"PL", "LT"})
        for (const char* board : {"A", "C"}) {
            const QByteArray image =
                Extract(QStringLiteral("IP_QueL_%1_%2.hex").arg(board, lang), lang, "V214");
            EXPECT_EQ(program::VersionText(image), "V2.1.4");
            EXPECT_EQ(program::VariantText(image), QStringLiteral("%1 %2").arg(board, lang));
            EXPECT_EQ(program::VersionText(image.left(program::CopySize)), "V2.1.4")
                << "inside the copied part";
        }
    QByteArray sealed = v401f;
    ASSERT_TRUE(firmware::SealProgram(sealed));
    EXPECT_FALSE(firmware::CheckProgramSeal(v401f));
    EXPECT_TRUE(firmware::CheckProgramSeal(sealed.left(program::CopySize))) << "the copy in the DataFlash";
    QByteArray zeroed = sealed.left(program::CopySize);
    zeroed.replace(int(firmware::CheckWordOffset), 4, QByteArray(4, '\0'));
    QByteArray word(4, '\0');
    qToLittleEndian(WordCrc(zeroed.constData(), program::CopySize), word.data());
    EXPECT_EQ(sealed.mid(int(firmware::CheckWordOffset), 4), word);
    EXPECT_EQ(sealed.mid(program::CopySize), v401f.mid(program::CopySize));
    sealed[0x1234] = char(sealed[0x1234] ^ 0x40);
    EXPECT_FALSE(firmware::CheckProgramSeal(sealed));
    QByteArray tooShort(program::CopySize - 1, 'x');
    EXPECT_FALSE(firmware::SealProgram(tooShort));

    const QByteArray config = Extract("cnfdef.bin", "PL", "V401f");
    ASSERT_EQ(config.size(), 8192);
    EXPECT_EQ(config.left(20), QByteArray("\xC0\xA8\x00\xB1\xFF\xFF\xFF\x00\xC0\xA8\x00\x01\xC0\xA8\x00\x01"
                                          "\xC0\xA8\x00\x01",
                                          20));
    EXPECT_EQ(config.mid(26, 16), QByteArray("QUELNET_1").leftJustified(16, '\0'));
    EXPECT_EQ(config.mid(42, 16), QByteArray("3958").leftJustified(16, '\0'));
    EXPECT_EQ(config.mid(58, 16), QByteArray("kpnv").leftJustified(16, '\0'));
}

TEST_F(BuiltPackage, WebFilesAreRealPicturesPagesAndTexts) {
    for (const auto& group : {std::pair<QString, QString>{"PL", "V214"}, {"LT", "V214"}, {"PL", "V401f"}}) {
        int count = 0;
        for (const QString& name : GetPackageFiles(group.first, group.second, count)) {
            const QByteArray data = Extract(name, group.first, group.second);
            ASSERT_FALSE(data.isEmpty()) << name.toStdString();
            const std::string where = (group.first + " " + group.second + " " + name).toStdString();
            if (name.endsWith(".gif") || name.endsWith(".jpg")) {
                QImage picture;
                EXPECT_TRUE(picture.loadFromData(data, name.endsWith(".gif") ? "GIF" : "JPG")) << where;
                EXPECT_GE(picture.width(), 8) << where;
            } else if (name.endsWith(".html")) {
                EXPECT_TRUE(IsHtmlPage(data)) << where;
                EXPECT_LT(CompactHtml(data).size(), data.size()) << where;
                EXPECT_TRUE(
                    data.contains(group.first == "LT" ? "charset=windows-1257" : "charset=windows-1250"))
                    << where;
            } else if (name.endsWith(".css") || name.endsWith(".txt")) {
                EXPECT_FALSE(IsHtmlPage(data)) << where;
            }
        }
    }
    EXPECT_TRUE(Extract("n01.html", "PL", "V401f")
                    .contains("Wyj\x9C"
                              "cia cyfrowe"))
        << "Windows-1250 text";
    EXPECT_TRUE(Extract("01.html", "LT", "V214").contains("Skaitmeniniai i&#353;&#279;jimai"));
}

} // namespace

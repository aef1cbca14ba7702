// Building the DataFlash image of a group, with and without the user's files.
#include "PackageFixtures.h"

#include "core/firmware/HtmlCompaction.h"
#include "core/firmware/ImageBuilder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelnet;
using namespace quelnet::test;

namespace {

class ImageBuilder : public ::testing::Test {
protected:
    QByteArray FileAt(int slot) const {
        return image.Bytes().mid(image.SlotOffset(slot), image.SlotLength(slot));
    }
    QString WriteFile(const QString& name, const QByteArray& data) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return f.fileName();
    }

    PackageReader package = PackageReader::OfBytes(Executable());
    DataFlashImage image;
    QTemporaryDir dir;
    int free = -1;
};

TEST_F(ImageBuilder, PlacesTheGroupWithoutProgramImages) {
    ASSERT_TRUE(BuildDataFlashImage(package, image, "PL", "V401f", free));
    const QByteArray page = CompactHtml(CommentedPage());
    const QList<QByteArray> files = {QByteArray(8192, 'c'), QByteArray(0x1D800, '\0'), page, "default u1",
                                     "GIF89a default s1"};
    for (int slot = 0; slot < files.size(); ++slot)
        EXPECT_EQ(FileAt(slot), files[slot]) << slot;
    EXPECT_EQ(image.SlotOffset(1), 0x2600u);
    EXPECT_EQ(image.SlotOffset(5), 0u);
    const int end = 0x600 + 8192 + 0x1D800 + int(page.size()) + 10 + 17;
    EXPECT_EQ(free, 0x80000 - end);

    ASSERT_TRUE(BuildDataFlashImage(package, image, "LT", "V214", free)) << "program image skipped, no slot";
    EXPECT_EQ(FileAt(0), QByteArray(0x2000, 'l'));
    EXPECT_EQ(image.SlotOffset(1), 0u) << "the previous build is cleared";
    EXPECT_EQ(free, 0x80000 - 0x2600);
}

TEST_F(ImageBuilder, UserFilesReplaceDefaultsAndMissingOnesFallBack) {
    TUser_Resource user;
    user.Html_U[0] = WriteFile("moja.html", "<!DOCTYPE html>\n  <p>moja</p>\n");
    user.Gif_S[0] = dir.filePath("brak.gif"); // does not exist
    user.Html_U[1] = WriteFile("u2.html", "no u2 in the package");
    ASSERT_TRUE(BuildDataFlashImage(package, image, "PL", "V401f", free, &user));
    EXPECT_EQ(FileAt(3), QByteArray("<!DOCTYPE html><p>moja</p>")) << "user page, compacted";
    EXPECT_EQ(FileAt(4), QByteArray("GIF89a default s1")) << "missing file: package default";
    EXPECT_EQ(image.SlotOffset(5), 0u);

    user.Gif_S[0] = WriteFile("pusty.gif", {});
    ASSERT_TRUE(BuildDataFlashImage(package, image, "PL", "V401f", free, &user));
    EXPECT_EQ(FileAt(4), QByteArray("GIF89a default s1")) << "empty file: package default";
}

TEST_F(ImageBuilder, FailsWhenAFileDoesNotFitOrCannotBeRead) {
    TUser_Resource user;
    user.Gif_S[0] = WriteFile("duzy.gif", QByteArray(0x80000, 'g'));
    EXPECT_FALSE(BuildDataFlashImage(package, image, "PL", "V401f", free, &user));
    EXPECT_LT(free, 0);
    EXPECT_EQ(image.SlotOffset(4), 0u);
    EXPECT_EQ(image.Bytes().size(), DataFlashImage::Size);

    // One flipped bit in the stream of n00.html: the image is not built with a
    // file missing and every later file moved down a slot.
    const std::vector<TPackageEntry> entries = Entries(Executable());
    QByteArray damaged = Executable();
    PackageReader intact = PackageReader::OfBytes(damaged);
    intact.Open();
    const qint64 stream =
        intact.MarkerPos() + package::HeaderSize + intact.DirectoryLength() + entries[8].Offset;
    damaged[stream + 3] = char(damaged[stream + 3] ^ 0x01);
    PackageReader broken = PackageReader::OfBytes(damaged);
    EXPECT_FALSE(BuildDataFlashImage(broken, image, "PL", "V401f", free));

    EXPECT_FALSE(BuildDataFlashImage(package, image, "LT", "V401f", free)) << "empty group";
    EXPECT_EQ(free, 0);
}

TEST(UserResource, LoadFileToBufferAndSubstitutes) {
    QTemporaryDir dir;
    QByteArray buffer("stale");
    EXPECT_EQ(LoadFileToBuffer(dir.filePath("none"), buffer), 0);
    EXPECT_TRUE(buffer.isEmpty());
    QFile big(dir.filePath("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(package::MaxFileSize + 1)); // sparse
    big.close();
    EXPECT_EQ(LoadFileToBuffer(big.fileName(), buffer), -1);
    EXPECT_TRUE(buffer.isEmpty());

    TUser_Resource user;
    user.Html_U[7] = "/p/u8";
    user.Gif_S[2] = "/p/s3";
    EXPECT_EQ(SubstitutePath(user, "u8.html"), "/p/u8");
    EXPECT_EQ(SubstitutePath(user, "s3.gif"), "/p/s3");
    EXPECT_EQ(SubstitutePath(user, "u3.html"), "") << "empty entry keeps the default";
    EXPECT_EQ(SubstitutePath(user, "n00.html"), "");
}

} // namespace

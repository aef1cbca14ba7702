// DataFlash image: HTML compaction and the placement of files into slots.
#include "PackageFixtures.h"

#include "core/firmware/DataFlashImage.h"
#include "core/firmware/HtmlCompaction.h"

#include <gtest/gtest.h>

using namespace quelnet;

namespace {

TEST(HtmlCompaction, JoinsMarkupAndKeepsCommentsOnTheirOwnLines) {
    EXPECT_EQ(CompactHtml(test::CommentedPage()), QByteArray("<!DOCTYPE html><p>Stan</p>\r\n"
                                                             "<!-- komentarz\r\n"
                                                             "koniec -->\r\n"
                                                             "<b>x</b>"));
    // A comment on one line stands between two breaks and leaves markup joining after it.
    EXPECT_EQ(CompactHtml("<!doctype HTML>\n<!-- a -->\n<p>\r<i>\n"),
              QByteArray("<!doctype HTML>\r\n<!-- a -->\r\n<p><i>"));
    // Blank lines inside a comment keep their break, outside they vanish.
    EXPECT_EQ(CompactHtml("<!DOCTYPE html>\n\n<!--\n\n-->\n\n<p>"),
              QByteArray("<!DOCTYPE html>\r\n<!--\r\n\r\n-->\r\n<p>"));
}

// A line that opens and closes a comment only ever opens one: inside a comment
// that is still open it leaves it open, and the lines after it keep their
// breaks (they must not run together). The placed page, and so the free
// space, follow.
TEST(HtmlCompaction, OneLineCommentInsideAnOpenCommentLeavesItOpen) {
    const QByteArray page = "<!DOCTYPE html>\n<!-- outer\n  <!-- inner -->\ntail1\ntail2\n-->\n<p>\n<i>\n";
    const QByteArray compacted = "<!DOCTYPE html>\r\n<!-- outer\r\n\r\n<!-- inner -->\r\ntail1\r\ntail2\r\n"
                                 "-->\r\n<p><i>";
    EXPECT_EQ(CompactHtml(page), compacted);
    DataFlashImage image;
    int free = 0;
    ASSERT_TRUE(image.PlaceFile(0, page, "V401f", free));
    EXPECT_EQ(image.Bytes().mid(0x600, compacted.size()), compacted);
    EXPECT_EQ(free, 0x80000 - 0x600 - compacted.size());
}

// The markers anywhere in a line, overlapping runs of dashes and near misses.
TEST(HtmlCompaction, FindsTheMarkersWhereverTheyStand) {
    const struct {
        const char* line;
        const char* compacted; // of "<!DOCTYPE html>\n" + line + "\nx"
    } cases[] = {
        {"a--->", "<!DOCTYPE html>a--->\r\nx"},                 // closes one dash late
        {"-->", "<!DOCTYPE html>-->\r\nx"},                     // at the very start
        {"<!---->", "<!DOCTYPE html>\r\n<!---->\r\nx"},         // opens and closes at once
        {"-->b<!--", "<!DOCTYPE html>\r\n-->b<!--\r\nx"},       // both, closing first
        {"a<!--", "<!DOCTYPE html>\r\na<!--\r\nx\r\n"},         // opens at the very end
        {"<!-- -", "<!DOCTYPE html>\r\n<!-- -\r\nx\r\n"},       // a lone dash closes nothing
        {"- -> <! -- <-!-- ->", "<!DOCTYPE html>- -> <! -- <-!-- ->x"}, // near misses only
        {"--", "<!DOCTYPE html>--x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompactHtml(QByteArray("<!DOCTYPE html>\n") + c.line + "\nx"), QByteArray(c.compacted))
            << c.line;
}

TEST(HtmlCompaction, OnlyPagesThatStartWithTheDoctype) {
    for (const QByteArray& page :
         {QByteArray("\n<!DOCTYPE html>\n  <p>\n"), QByteArray("\xEF\xBB\xBF<!DOCTYPE html>\n  <p>\n"),
          QByteArray(" <!DOCTYPE html>\n  <p>\n"), QByteArray("<!DOCTYPE htm"), QByteArray()}) {
        EXPECT_FALSE(IsHtmlPage(page)) << page.toStdString();
        EXPECT_EQ(CompactHtml(page), page);
    }
}

TEST(HtmlCompaction, BytesOutsideTheCodePagePassUnchanged) {
    // UTF-8 "Ł" is C5 81 and "Ń" C5 83; 0x81 and 0x83 have no character in
    // Windows-1250 and must not turn into '?'.
    const QByteArray page = "<!DOCTYPE html>\n  <p>\xC5\x81\xC3\xB3"
                            "d\xC5\x83</p>  \n";
    EXPECT_EQ(CompactHtml(page), QByteArray("<!DOCTYPE html><p>\xC5\x81\xC3\xB3"
                                            "d\xC5\x83</p>"));
}

struct Placement {
    const char* name;
    const char* version;
    int previousOffset, previousLength; // written into slot 0; slot 1 is placed
    int length;
    bool placed;
    int offset; // of slot 1, 0 = left empty
    int free;
};

void PrintTo(const Placement& p, std::ostream* os) {
    *os << p.name;
}

// 0, offset (24-bit big-endian), 0, length (24-bit big-endian).
QByteArray SlotRecord(int offset, int length) {
    QByteArray record(8, '\0');
    for (int i = 0; i < 3; ++i) {
        record[1 + i] = char(offset >> (16 - 8 * i));
        record[5 + i] = char(length >> (16 - 8 * i));
    }
    return record;
}

class PlaceFile : public ::testing::TestWithParam<Placement> {};

TEST_P(PlaceFile, StartsAfterThePreviousFile) {
    const Placement& p = GetParam();
    DataFlashImage image;
    int free = -7;
    ASSERT_TRUE(image.PlaceFile(0, QByteArray(p.previousLength, 'p'), "V401f", free) ||
                p.previousLength == 0);
    if (p.previousOffset != 0x600) // move the previous file's record by hand
        image.Overwrite(0, SlotRecord(p.previousOffset, p.previousLength));
    const QByteArray before = image.Bytes();
    EXPECT_EQ(image.PlaceFile(1, QByteArray(p.length, 'f'), p.version, free), p.placed) << p.name;
    EXPECT_EQ(free, p.free) << p.name;
    EXPECT_EQ(int(image.SlotOffset(1)), p.offset) << p.name;
    if (p.placed) {
        EXPECT_EQ(int(image.SlotLength(1)), p.length) << p.name;
        EXPECT_EQ(image.Bytes().mid(p.offset, p.length), QByteArray(p.length, 'f')) << p.name;
    } else if (p.length > 0) {
        EXPECT_EQ(image.Bytes(), before) << p.name << ": nothing written";
    }
    EXPECT_EQ(image.Bytes().size(), DataFlashImage::Size);
}

INSTANTIATE_TEST_SUITE_P(
    DataFlashImage, PlaceFile,
    ::testing::Values(
        Placement{"V214 after 0x2000 at 0x600", "V214", 0x600, 0x2000, 0x10, true, 0x2600, 0x80000 - 0x2610},
        Placement{"V214 after 0x101 at 0x2600", "V214", 0x2600, 0x101, 0x10, true, 0x2800, 0x80000 - 0x2810},
        Placement{"V401f not rounded", "V401f", 0x600, 0x101, 0x10, true, 0x701, 0x80000 - 0x711},
        Placement{"fills the image exactly", "V401f", 0x600, 0x100, 0x80000 - 0x700, true, 0x700, 0},
        Placement{"V401f one byte too long", "V401f", 0x600, 0x100, 0x80000 - 0x700 + 1, false, 0, -1},
        Placement{"V214 far too long", "V214", 0x600, 0x101, 0x90000, false, 0, 0x80000 - 0x800 - 0x90000},
        Placement{"V401f start above 0x7FFFF", "V401f", 0x7FF00, 0x100, 1, false, 0, 0},
        Placement{"V214 start at the end, empty file", "V214", 0x7FF00, 0x100, 0, false, 0x80000, 0},
        Placement{"empty file: slot written", "V401f", 0x600, 0x10, 0, false, 0x610, 0x80000 - 0x610},
        Placement{"unknown version", "V300", 0x600, 0x10, 0x10, false, 0, 0},
        Placement{"previous slot empty", "V401f", 0x600, 0, 0x10, false, 0, 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Whatever was written, placed or patched, a cleared image is all zero again.
TEST(DataFlashImage, ClearLeavesNothingWritten) {
    const QByteArray zero(DataFlashImage::Size, '\0');
    DataFlashImage image;
    image.Clear();
    EXPECT_EQ(image.Bytes(), zero);
    int free = 0;
    ASSERT_TRUE(image.PlaceFile(0, "abc", "V401f", free));
    image.Clear();
    EXPECT_EQ(image.Bytes(), zero);
    ASSERT_TRUE(image.Overwrite(0x2900, "program"));
    image.Clear();
    EXPECT_EQ(image.Bytes(), zero);
    EXPECT_TRUE(image.PlaceFile(0, "abc", "V401f", free)); // slot 0 free again
}

TEST(DataFlashImage, SlotRangeAndOccupiedSlots) {
    DataFlashImage image;
    int free = 0;
    EXPECT_TRUE(image.PlaceFile(0, QByteArray(0x2000, 'c'), "V401f", free));
    EXPECT_EQ(image.Bytes().mid(0, 8), SlotRecord(0x600, 0x2000));
    EXPECT_FALSE(image.PlaceFile(0, "again", "V401f", free)) << "occupied";
    EXPECT_EQ(image.SlotLength(0), 0x2000u);
    EXPECT_FALSE(image.PlaceFile(192, "x", "V401f", free));
    EXPECT_FALSE(image.PlaceFile(-1, "x", "V401f", free));
    EXPECT_EQ(free, 0);
    for (int slot = 1; slot < 192; ++slot)
        ASSERT_TRUE(image.PlaceFile(slot, "x", "V401f", free)) << slot;
    EXPECT_EQ(free, 0x80000 - 0x2600 - 191);
}

TEST(DataFlashImage, HtmlPagesArePlacedCompacted) {
    DataFlashImage image;
    int free = 0;
    ASSERT_TRUE(image.PlaceFile(0, test::CommentedPage(), "V214", free));
    const QByteArray compacted = CompactHtml(test::CommentedPage());
    EXPECT_EQ(image.SlotLength(0), quint32(compacted.size()));
    EXPECT_EQ(image.Bytes().mid(0x600, compacted.size()), compacted);
    EXPECT_EQ(free, 0x80000 - 0x600 - compacted.size());
}

} // namespace

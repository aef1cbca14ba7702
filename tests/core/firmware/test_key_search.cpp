// The package key search: the first whole occurrence wins, wherever it stands
// against the 64-byte steps of the wide search and the end of the data.
#include "core/firmware/KeySearch.h"

#include <QByteArray>
#include <gtest/gtest.h>

using namespace quelnet;

namespace {

const QByteArray Key = "PordexInsDataMgX";

// Filler that holds the key's first and last byte often, in the wrong places.
QByteArray Filler(qsizetype n) {
    QByteArray bytes(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = "PX.PordexInsDataMgY\x01"[i % 20];
    return bytes;
}

TEST(KeySearch, FirstWholeKeyWinsAtEveryPlace) {
    for (const bool widest : {true, false})
        for (const qsizetype size : {16, 63, 64, 79, 80, 127, 128, 200, 4096}) {
            for (qsizetype at = 0; at + Key.size() <= size; ++at) {
                QByteArray bytes = Filler(size);
                bytes.replace(at, Key.size(), Key);
                ASSERT_EQ(FindKey(bytes, 0, bytes.size(), Key, widest), at)
                    << "size " << size << " at " << at << " widest " << widest;
            }
            EXPECT_EQ(FindKey(Filler(size), 0, size, Key, widest), -1) << "size " << size;
        }
}

TEST(KeySearch, EarlierKeyBeatsLaterAndTheRangeIsKept) {
    QByteArray bytes = Filler(1000);
    bytes.replace(900, Key.size(), Key);
    bytes.replace(130, Key.size(), Key);
    bytes.replace(131, Key.size(), Key); // overlaps the one before: 130 is no longer whole
    EXPECT_EQ(FindKey(bytes, 0, bytes.size(), Key), 131);
    EXPECT_EQ(FindKey(bytes, 132, bytes.size(), Key), 900);
    EXPECT_EQ(FindKey(bytes, 0, 131, Key), -1);
    // A key cut short by the end of the data is no match.
    QByteArray cut = Filler(200);
    cut.replace(200 - 15, 15, Key.left(15));
    EXPECT_EQ(FindKey(cut, 0, cut.size(), Key), -1);
    EXPECT_EQ(FindKey(cut, 0, cut.size(), QByteArrayView()), -1);
}

} // namespace

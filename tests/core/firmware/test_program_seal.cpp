// The check word of a controller program: place, byte order, what it covers.
#include "core/firmware/ProgramSeal.h"
#include "core/protocol/Checksums.h"

#include <gtest/gtest.h>

using namespace quelnet;

namespace {

constexpr int ProgramSize = 0x20000; // a CPU program image
constexpr int Covered = 0x1D800;
constexpr int CheckAt = 0x1D7FC;

QByteArray Program(int seed) {
    QByteArray p(ProgramSize, '\0');
    for (int i = 0; i < ProgramSize; ++i)
        p[i] = char((i * 31 + i / 97 + seed) & 0xFF);
    return p;
}

quint32 StoredLittleEndian(const QByteArray& p) {
    return quint32(uchar(p[CheckAt])) | quint32(uchar(p[CheckAt + 1])) << 8 |
           quint32(uchar(p[CheckAt + 2])) << 16 | quint32(uchar(p[CheckAt + 3])) << 24;
}

TEST(ProgramSeal, CheckWordOfTheCoveredBytesStoredLittleEndian) {
    QByteArray program = Program(1);
    const QByteArray before = program;
    ASSERT_TRUE(firmware::SealProgram(program));

    QByteArray zeroed = before.left(Covered);
    zeroed.replace(CheckAt, 4, QByteArray(4, '\0'));
    EXPECT_EQ(StoredLittleEndian(program), WordCrc(zeroed.constData(), Covered));
    // Nothing else changes.
    EXPECT_EQ(program.left(CheckAt), before.left(CheckAt));
    EXPECT_EQ(program.mid(Covered), before.mid(Covered));
    EXPECT_TRUE(firmware::CheckProgramSeal(program));

    // Whatever the check bytes held before, the word is the same.
    QByteArray again = before;
    again.replace(CheckAt, 4, QByteArray::fromHex("deadbeef"));
    ASSERT_TRUE(firmware::SealProgram(again));
    EXPECT_EQ(again, program);
}

TEST(ProgramSeal, EveryCoveredByteCountsAndNothingBeyond) {
    QByteArray program = Program(2);
    ASSERT_TRUE(firmware::SealProgram(program));
    for (const int offset : {0, 1, 0x1234, CheckAt - 1, CheckAt, CheckAt + 3}) {
        QByteArray broken = program;
        broken[offset] = char(broken[offset] ^ 0x01);
        EXPECT_FALSE(firmware::CheckProgramSeal(broken)) << offset;
    }
    QByteArray tail = program;
    tail[Covered] = char(tail[Covered] ^ 0xFF);
    tail[ProgramSize - 1] = char(tail[ProgramSize - 1] ^ 0xFF);
    EXPECT_TRUE(firmware::CheckProgramSeal(tail));
    EXPECT_TRUE(firmware::CheckProgramSeal(program.left(Covered)));
}

TEST(ProgramSeal, ShortProgramsAreNeitherSealedNorAccepted) {
    QByteArray shortProgram = Program(3).left(Covered - 1);
    const QByteArray before = shortProgram;
    EXPECT_FALSE(firmware::SealProgram(shortProgram));
    EXPECT_EQ(shortProgram, before);
    EXPECT_FALSE(firmware::CheckProgramSeal(shortProgram));
    QByteArray empty;
    EXPECT_FALSE(firmware::SealProgram(empty));
    EXPECT_FALSE(firmware::CheckProgramSeal(empty));
    // An unsealed program of all zeros does not pass by chance.
    EXPECT_FALSE(firmware::CheckProgramSeal(QByteArray(Covered, '\0')));
}

} // namespace

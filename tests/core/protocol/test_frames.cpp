#include "core/protocol/Frames.h"
#include "core/protocol/Checksums.h"

#include <gtest/gtest.h>

using namespace quelnet;
using namespace quelnet::proto;

namespace {

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

TEST(Frames, DigitalReadOfOut1) {
    const QByteArray f = BuildLongFrame(CmdGetDigital, "", 0, CircuitNameBytes("OUT1"));
    ASSERT_EQ(f.size(), 24);
    EXPECT_EQ(f.left(3), hex("D5800D"));
    QByteArray zeros(16, '\0');
    const std::uint32_t digest = WordCrc(zeros.constData(), 16);
    EXPECT_EQ(GetU32(f, 3), digest);
    EXPECT_EQ(f.mid(7, 5), hex("F0FFFFFFFF"));
    EXPECT_EQ(f.mid(12, 4), hex("12000008"));
    EXPECT_EQ(f.mid(16), hex("4F55543100000000"));
}

TEST(Frames, PasswordDigestUsesFirstSixteenBytes) {
    EXPECT_EQ(PasswordDigest("0123456789abcdefXYZ"), PasswordDigest("0123456789abcdef"));
    EXPECT_NE(PasswordDigest("3958"), PasswordDigest(""));
    EXPECT_EQ(PasswordBlock("3958"), QByteArray("3958").append(12, '\0'));
}

TEST(Frames, PageWriteLengthAndAddress) {
    const QByteArray f = BuildLongFrame(CmdWritePage, "x", 0, PageAddress(0x123) + QByteArray(256, 'a'));
    EXPECT_EQ(f.size(), 275);
    EXPECT_EQ(f.mid(14, 2), hex("0103"));
    EXPECT_EQ(f.mid(16, 3), hex("012300"));
    EXPECT_EQ(BuildShortFrame(ShortIdentify), hex("D5AA00000000"));
    EXPECT_EQ(BuildShortFrame(ShortWritePage, 0x7FF00).left(6), hex("D5A100" "07FF00"));
}

TEST(Frames, AnalogValues) {
    EXPECT_EQ(EncodeAnalog(1.5f), hex("00003A98"));
    EXPECT_EQ(EncodeAnalog(-1.0f), hex("FFFFD8F0"));
    EXPECT_EQ(EncodeAnalog(0.03125f), hex("00000138"));
    EXPECT_FLOAT_EQ(DecodeAnalog(hex("00003A98")), 1.5f);
    EXPECT_FLOAT_EQ(DecodeAnalog(hex("FFFFD8F0")), 429495.72f);
}

TEST(Frames, CircuitNameIsEightBytesAtMost) {
    EXPECT_EQ(CircuitNameBytes("ABCDEFGH"), QByteArray("ABCDEFGH"));
    EXPECT_EQ(CircuitNameBytes(""), QByteArray(8, '\0'));
}

} // namespace

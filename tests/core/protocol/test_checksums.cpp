#include "core/protocol/Checksums.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace quelnet;

namespace {

struct CrcCase {
    const char* name;
    std::vector<unsigned char> bytes;
    std::uint32_t crcUpdate;
    std::uint32_t wordCrc;
};

void PrintTo(const CrcCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<unsigned char> ascii(const std::string& s) {
    return {s.begin(), s.end()};
}

class CheckValues : public ::testing::TestWithParam<CrcCase> {};

TEST_P(CheckValues, BothChecksumsMatchTheCatalogue) {
    const CrcCase& c = GetParam();
    EXPECT_EQ(CrcUpdate(c.bytes.data(), std::uint32_t(c.bytes.size())), c.crcUpdate) << c.name;
    EXPECT_EQ(WordCrc(c.bytes.data(), std::uint32_t(c.bytes.size())), c.wordCrc) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Crc, CheckValues,
                         ::testing::Values(CrcCase{"empty", {}, 0x00000000u, 0xFFFFFFFFu},
                                           CrcCase{"abc", ascii("abc"), 0xCA6598D0u, 0xFFFFFFFFu},
                                           CrcCase{"ABCDEFGH", ascii("ABCDEFGH"), 0x0DFE6975u, 0x8DCBFB33u},
                                           CrcCase{
                                               "00..07", {0, 1, 2, 3, 4, 5, 6, 7}, 0xED88B7F6u, 0x9C08808Du},
                                           CrcCase{"00..08 ignores the ninth byte for WordCrc",
                                                   {0, 1, 2, 3, 4, 5, 6, 7, 8},
                                                   CrcUpdate("\0\1\2\3\4\5\6\7\10", 9),
                                                   0x9C08808Du}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(WordCrc, WordsOfFourAndTrailingBytes) {
    const unsigned char zero[4] = {0, 0, 0, 0};
    const unsigned char ones[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    const unsigned char seq[7] = {0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(WordCrc(zero, 4), 0xC704DD7Bu);
    EXPECT_EQ(WordCrc(ones, 4), 0x00000000u);
    for (std::uint32_t n = 4; n <= 7; ++n)
        EXPECT_EQ(WordCrc(seq, n), 0x76DBF7C7u) << n << " bytes";
    for (std::uint32_t n = 0; n <= 3; ++n)
        EXPECT_EQ(WordCrc(nullptr, n), 0xFFFFFFFFu) << "never reads a short buffer";
}

TEST(CrcUpdate, LongBufferMatchesBytewiseDefinition) {
    // The sliced loop must agree with the one-byte-at-a-time definition at
    // every length around its sixteen-byte rounds, from any alignment.
    std::vector<unsigned char> data(1040);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 131 + 7);
    for (std::uint32_t offset : {0u, 1u, 3u})
        for (std::uint32_t len :
             {0u, 1u, 3u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u, 63u, 64u, 65u, 1024u, 1031u}) {
            const unsigned char* p = data.data() + offset;
            std::uint32_t crc = 0;
            for (std::uint32_t i = 0; i < len; ++i) {
                std::uint32_t c = (p[i] ^ crc) & 0xFF;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
                crc = c ^ (crc >> 8);
            }
            EXPECT_EQ(CrcUpdate(p, len), crc) << len << " from " << offset;
        }
}

} // namespace

// HTTP content codings of the status page: what the request advertises (gzip,
// deflate) is undone, and a body that does not decode whole gives no page. The
// compressed bodies were made by other tools (Python's gzip and zlib modules).
#include "core/protocol/ContentCoding.h"

#include <gtest/gtest.h>

using namespace quelnet::http;

namespace {

const QByteArray Text = "Numer V1.3 S0817092";
const QByteArray Gzip = QByteArray::fromHex("1F8B0800000000000203F32BCD4D2D520833D433560836B0303437B034020"
                                            "0AB40481413000000");
const QByteArray Zlib = QByteArray::fromHex("789CF32BCD4D2D520833D433560836B0303437B0340200381104EE");
const QByteArray RawDeflate = QByteArray::fromHex("F32BCD4D2D520833D433560836B0303437B0340200");
// Deflate (zlib stream) first, then gzip.
const QByteArray DeflateThenGzip =
    QByteArray::fromHex("1F8B0800000000000203AB98F359FBACAF6E1087F115E3300EB30D"
                        "0626E61B4C98182C0459DE0100C14203651B000000");

struct Row {
    const char* name;
    QByteArray coding;
    QByteArray body;
    std::optional<QByteArray> decoded;
};

TEST(ContentCoding, DecodesWhatTheRequestAdvertisesAndRefusesTheRest) {
    const Row rows[] = {
        {"no header", "", Text, Text},
        {"identity", "identity", Text, Text},
        {"gzip", "gzip", Gzip, Text},
        {"x-gzip, any case", "X-GZip", Gzip, Text},
        {"deflate as a zlib stream", "deflate", Zlib, Text},
        {"deflate as bare data", "deflate", RawDeflate, Text},
        {"two codings, last undone first", "deflate, gzip", DeflateThenGzip, Text},
        {"unknown coding", "br", Text, std::nullopt},
        {"gzip cut short", "gzip", Gzip.chopped(4), std::nullopt},
        {"gzip followed by other bytes", "gzip", Gzip + "xyz", std::nullopt},
        {"said gzip, sent plain", "gzip", Text, std::nullopt},
        {"said deflate, sent gzip", "deflate", Gzip, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::optional<QByteArray> got = DecodeContent(r.body, r.coding);
        ASSERT_EQ(got.has_value(), r.decoded.has_value());
        if (got) {
            EXPECT_EQ(got->toStdString(), r.decoded->toStdString());
        }
    }
}

TEST(ContentCoding, GzipOfTheSimulatorAndTheSizeLimit) {
    const QByteArray page = QByteArray("Napi\xEA"
                                       "cie zasilania 12.1 V\r\n")
                                .repeated(500);
    const QByteArray gz = GzipCompress(page);
    EXPECT_TRUE(gz.startsWith("\x1F\x8B\x08"));
    EXPECT_LT(gz.size(), page.size() / 10);
    EXPECT_EQ(DecodeContent(gz, "gzip"), page);
    // A small body that would inflate beyond the limit gives no page.
    EXPECT_FALSE(DecodeContent(GzipCompress(QByteArray(MaxDecodedSize + 1, ' ')), "gzip"));
    EXPECT_EQ(DecodeContent(GzipCompress(QByteArray(1000, ' ')), "gzip")->size(), 1000);
}

} // namespace

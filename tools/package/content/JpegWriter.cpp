#include "JpegWriter.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace quelnet::content {

namespace {

constexpr int JfifEnd = 20; // SOI (2) + APP0 (18)

// The luminance DC table of the JPEG standard: code counts per length, symbols 0-11.
constexpr std::array<std::uint8_t, 16> kDcCounts = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};

struct Code {
    int bits = 0;
    int length = 0;
};

// Canonical Huffman codes of the DC table, by symbol.
std::array<Code, 12> DcCodes() {
    std::array<Code, 12> codes{};
    int code = 0, symbol = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < kDcCounts[size_t(length - 1)]; ++i)
            codes[size_t(symbol++)] = {code++, length};
        code <<= 1;
    }
    return codes;
}

// MSB-first entropy-coded data with 0xFF stuffing, padded with 1 bits.
class BitWriter {
public:
    void Write(int bits, int length) {
        for (int i = length - 1; i >= 0; --i) {
            m_byte = (m_byte << 1) | ((bits >> i) & 1);
            if (++m_count == 8)
                Flush();
        }
    }
    QByteArray Finish() {
        while (m_count != 0)
            Write(1, 1);
        return m_out;
    }

private:
    void Flush() {
        m_out.append(char(m_byte));
        if (m_byte == 0xFF)
            m_out.append('\0');
        m_byte = 0;
        m_count = 0;
    }
    QByteArray m_out;
    int m_byte = 0;
    int m_count = 0;
};

void AppendBe16(QByteArray& out, int v) {
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

QByteArray Headers(const BlockPicture& p) {
    QByteArray out("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", JfifEnd);
    out.append("\xFF\xDB\x00\x43\x00", 5); // quantisation: 8 for DC, 16 elsewhere
    out.append(char(8)).append(QByteArray(63, char(16)));
    out.append("\xFF\xC0\x00\x0B\x08", 5);
    AppendBe16(out, p.blocksHigh * 8);
    AppendBe16(out, p.blocksWide * 8);
    out.append("\x01\x01\x11\x00", 4);
    out.append("\xFF\xC4\x00\x1F\x00", 5);
    for (std::uint8_t c : kDcCounts)
        out.append(char(c));
    for (int s = 0; s < 12; ++s)
        out.append(char(s));
    out.append("\xFF\xC4\x00\x14\x10\x01", 6); // AC: one code of length 1, end of block
    out.append(QByteArray(15, '\0')).append('\0');
    out.append("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
    return out;
}

} // namespace

QByteArray EncodeJpeg(const BlockPicture& picture) {
    const auto dc = DcCodes();
    BitWriter bits;
    int previous = 0;
    for (int level : picture.levels) {
        const int value = std::clamp(level, 0, 255) - 128; // DC / 8, quantised by 8
        const int diff = value - previous;
        previous = value;
        int category = 0;
        while ((std::abs(diff) >> category) != 0)
            ++category;
        bits.Write(dc[size_t(category)].bits, dc[size_t(category)].length);
        if (category > 0)
            bits.Write(diff >= 0 ? diff : diff + (1 << category) - 1, category);
        bits.Write(0, 1); // end of block
    }
    return Headers(picture) + bits.Finish() + QByteArray("\xFF\xD9", 2);
}

QByteArray PadJpeg(const QByteArray& jpeg, int size, const QByteArray& commentText) {
    int pad = size - int(jpeg.size());
    if (pad == 0)
        return jpeg;
    if (pad < 4 || commentText.isEmpty())
        return {};
    QByteArray segments;
    while (pad > 0) {
        // A segment is 4 bytes of marker and length plus up to 65,533 bytes of text;
        // never leave less than a whole empty segment for the next one.
        int n = std::min(pad - 4, 65533);
        if (pad - 4 - n > 0 && pad - 4 - n < 4)
            n -= 4;
        segments.append("\xFF\xFE", 2);
        AppendBe16(segments, n + 2);
        for (int i = 0; i < n; ++i)
            segments.append(commentText[i % commentText.size()]);
        pad -= n + 4;
    }
    return jpeg.left(JfifEnd) + segments + jpeg.mid(JfifEnd);
}

} // namespace quelnet::content

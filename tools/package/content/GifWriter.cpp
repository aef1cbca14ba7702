#include "GifWriter.h"

#include <algorithm>
#include <unordered_map>

namespace quelnet::content {

namespace {

constexpr int MaxCode = 4095;

void AppendLe16(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

// LSB-first bit packing into GIF data sub-blocks of up to 255 bytes.
class CodeWriter {
public:
    void Write(int code, int bits) {
        m_acc |= std::uint32_t(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.append(char(m_acc & 0xFF));
            m_acc >>= 8;
            m_count -= 8;
        }
    }
    QByteArray Blocks() {
        if (m_count > 0)
            m_bytes.append(char(m_acc & 0xFF));
        m_count = 0;
        QByteArray out;
        for (qsizetype i = 0; i < m_bytes.size(); i += 255) {
            const qsizetype n = std::min<qsizetype>(255, m_bytes.size() - i);
            out.append(char(n)).append(m_bytes.mid(i, n));
        }
        return out.append('\0');
    }

private:
    QByteArray m_bytes;
    std::uint32_t m_acc = 0;
    int m_count = 0;
};

QByteArray Lzw(const std::vector<std::uint8_t>& pixels, int minCodeSize) {
    const int clear = 1 << minCodeSize;
    const int endOfInfo = clear + 1;
    std::unordered_map<std::uint32_t, int> table;
    int codeSize = minCodeSize + 1;
    int lastCode = endOfInfo; // highest code in use
    CodeWriter out;
    out.Write(clear, codeSize);
    int prefix = pixels.empty() ? 0 : pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const std::uint32_t key = std::uint32_t(prefix) << 8 | pixels[i];
        if (const auto it = table.find(key); it != table.end()) {
            prefix = it->second;
            continue;
        }
        out.Write(prefix, codeSize);
        table.emplace(key, ++lastCode);
        if (lastCode >= (1 << codeSize))
            ++codeSize;
        if (lastCode == MaxCode) { // table full: start afresh
            out.Write(clear, codeSize);
            table.clear();
            codeSize = minCodeSize + 1;
            lastCode = endOfInfo;
        }
        prefix = pixels[i];
    }
    out.Write(prefix, codeSize);
    out.Write(endOfInfo, codeSize);
    return out.Blocks();
}

} // namespace

QByteArray EncodeGif(const IndexedPicture& picture) {
    int bits = 1;
    while ((1u << bits) < picture.palette.size())
        ++bits;
    QByteArray out("GIF89a");
    AppendLe16(out, picture.width);
    AppendLe16(out, picture.height);
    out.append(char(0x80 | 0x70 | (bits - 1))); // global table, 8-bit colour resolution
    out.append('\0').append('\0');
    for (int i = 0; i < (1 << bits); ++i) {
        const std::uint32_t rgb = i < int(picture.palette.size()) ? picture.palette[size_t(i)] : 0;
        out.append(char(rgb >> 16)).append(char(rgb >> 8)).append(char(rgb));
    }
    out.append(char(0x2C));
    AppendLe16(out, 0);
    AppendLe16(out, 0);
    AppendLe16(out, picture.width);
    AppendLe16(out, picture.height);
    out.append('\0');
    const int minCodeSize = std::max(2, bits);
    out.append(char(minCodeSize)).append(Lzw(picture.pixels, minCodeSize));
    return out.append(char(0x3B));
}

QByteArray PadGif(const QByteArray& gif, int size, const QByteArray& commentText) {
    const int pad = size - int(gif.size());
    if (pad == 0)
        return gif;
    if (pad < 5 || commentText.isEmpty() || !gif.endsWith(char(0x3B)))
        return {};
    // 0x21 0xFE, k sub-blocks of 1-255 bytes (each with its length byte), 0x00.
    const int blocks = (pad - 3 + 255) / 256;
    int data = pad - 3 - blocks;
    QByteArray ext("\x21\xFE", 2);
    for (int b = blocks; b > 0; --b) {
        const int n = std::min(255, data - (b - 1));
        ext.append(char(n));
        for (int i = 0; i < n; ++i)
            ext.append(commentText[i % commentText.size()]);
        data -= n;
    }
    ext.append('\0');
    return gif.left(gif.size() - 1) + ext + char(0x3B);
}

} // namespace quelnet::content

#include "core/protocol/Frames.h"

#include "core/base/CodePage.h"
#include "core/protocol/Checksums.h"

#include <cfenv>
#include <cmath>

namespace quelnet::proto {

QByteArray PasswordBlock(const QString& pass) {
    QByteArray block = ToAnsi(pass).left(PasswordBlockSize);
    block.append(PasswordBlockSize - block.size(), '\0');
    return block;
}

std::uint32_t PasswordDigest(const QString& pass) {
    const QByteArray block = PasswordBlock(pass);
    return WordCrc(block.constData(), std::uint32_t(block.size()));
}

QByteArray BuildLongFrame(std::uint8_t command, const QString& pass, std::uint8_t param,
                          const QByteArray& payload) {
    QByteArray f(LongHeaderSize, '\0');
    f[0] = char(0xD5);
    f[1] = char(0x80);
    f[2] = char(0x0D);
    PutU32(f, 3, PasswordDigest(pass));
    f[7] = char(0xF0);
    f[8] = f[9] = f[10] = f[11] = char(0xFF);
    f[12] = char(command);
    f[13] = char(param);
    PutU16(f, 14, std::uint16_t(payload.size()));
    f.append(payload);
    return f;
}

QByteArray BuildLongReply(std::uint8_t code, std::uint8_t status, const QByteArray& payload) {
    QByteArray r(LongHeaderSize, '\0');
    r[0] = char(0xD5);
    r[1] = char(0x80);
    r[2] = char(0x0D);
    r[12] = char(code);
    r[13] = char(status);
    PutU16(r, 14, std::uint16_t(payload.size()));
    r.append(payload);
    return r;
}

QByteArray CircuitNameBytes(const QString& name) {
    QByteArray b(CircuitNameSize, '\0');
    for (int i = 0; i < CircuitNameSize && i < name.size(); ++i)
        b[i] = char(name[i].unicode() & 0xFF);
    return b;
}

QByteArray PageAddress(int page) {
    QByteArray a(3, '\0');
    a[0] = char((page >> 8) & 0xFF);
    a[1] = char(page & 0xFF);
    a[2] = 0;
    return a;
}

QByteArray BuildShortFrame(std::uint8_t command, std::uint32_t address, const QByteArray& data) {
    QByteArray f(ShortHeaderSize, '\0');
    f[0] = char(0xD5);
    f[1] = char(command);
    f[2] = 0;
    f[3] = char((address >> 16) & 0xFF);
    f[4] = char((address >> 8) & 0xFF);
    f[5] = char(address & 0xFF);
    f.append(data);
    return f;
}

QByteArray EncodeAnalog(float value) {
    const long double scaled = static_cast<long double>(value) * 10000.0L;
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST); // ties to even
    const long double r = std::nearbyintl(scaled);
    std::fesetround(old);
    // Low 32 bits of the rounded product, two's complement, also beyond the
    // 64-bit range: r is an integer, so its remainder by 2^32 is one and fmodl
    // gives it exactly. No value fits a NaN or an infinity: 0 is sent.
    constexpr long double TwoTo32 = 4294967296.0L;
    std::uint32_t bits = 0;
    if (std::isfinite(r)) {
        long double low = std::fmod(r, TwoTo32); // (-2^32, 2^32), sign of r
        if (low < 0)
            low += TwoTo32;
        bits = std::uint32_t(low);
    }
    QByteArray out(4, '\0');
    PutU32(out, 0, bits);
    return out;
}

float DecodeAnalog(const QByteArray& four) {
    return float(static_cast<long double>(GetU32(four, 0)) / 10000.0L);
}

void PutU16(QByteArray& out, int offset, std::uint16_t v) {
    out[offset] = char(v >> 8);
    out[offset + 1] = char(v & 0xFF);
}

void PutU32(QByteArray& out, int offset, std::uint32_t v) {
    out[offset] = char(v >> 24);
    out[offset + 1] = char((v >> 16) & 0xFF);
    out[offset + 2] = char((v >> 8) & 0xFF);
    out[offset + 3] = char(v & 0xFF);
}

std::uint16_t GetU16(const QByteArray& in, int offset) {
    return std::uint16_t(uchar(in[offset]) << 8 | uchar(in[offset + 1]));
}

std::uint32_t GetU32(const QByteArray& in, int offset) {
    return std::uint32_t(uchar(in[offset])) << 24 | std::uint32_t(uchar(in[offset + 1])) << 16 |
           std::uint32_t(uchar(in[offset + 2])) << 8 | std::uint32_t(uchar(in[offset + 3]));
}

} // namespace quelnet::proto

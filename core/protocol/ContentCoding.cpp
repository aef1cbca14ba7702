#include "core/protocol/ContentCoding.h"

#include <QList>
#include <zlib.h>

namespace quelnet::http {

namespace {

// zlib window bits: 15 + 16 reads gzip only, 15 a zlib stream, -15 bare deflate data.
constexpr int GzipWindow = 15 + 16;
constexpr int ZlibWindow = 15;
constexpr int RawWindow = -15;

std::optional<QByteArray> Inflate(const QByteArray& in, int windowBits) {
    z_stream zs{};
    if (inflateInit2(&zs, windowBits) != Z_OK)
        return std::nullopt;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    zs.avail_in = uInt(in.size());
    QByteArray out;
    char chunk[16384];
    int rc = Z_OK;
    while (rc == Z_OK && out.size() <= MaxDecodedSize) {
        zs.next_out = reinterpret_cast<Bytef*>(chunk);
        zs.avail_out = sizeof chunk;
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc == Z_OK || rc == Z_STREAM_END)
            out.append(chunk, qsizetype(sizeof chunk - zs.avail_out));
        if (rc == Z_OK && zs.avail_in == 0 && zs.avail_out != 0)
            break; // the input ended before the stream did
    }
    inflateEnd(&zs);
    // Trailing bytes after the stream, a cut stream or an oversized one: no page.
    if (rc != Z_STREAM_END || zs.avail_in != 0 || out.size() > MaxDecodedSize)
        return std::nullopt;
    return out;
}

std::optional<QByteArray> Decode(const QByteArray& body, const QByteArray& coding) {
    if (coding.isEmpty() || coding == "identity")
        return body;
    if (coding == "gzip" || coding == "x-gzip")
        return Inflate(body, GzipWindow);
    if (coding == "deflate") {
        if (std::optional<QByteArray> zlib = Inflate(body, ZlibWindow))
            return zlib;
        return Inflate(body, RawWindow);
    }
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> DecodeContent(const QByteArray& body, const QByteArray& contentEncoding) {
    const QList<QByteArray> codings = contentEncoding.toLower().split(',');
    std::optional<QByteArray> result = body;
    for (auto it = codings.crbegin(); result && it != codings.crend(); ++it)
        result = Decode(*result, it->trimmed());
    return result;
}

QByteArray GzipCompress(const QByteArray& data) {
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, GzipWindow, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&zs, uLong(data.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return rc == Z_STREAM_END ? out : QByteArray();
}

} // namespace quelnet::http

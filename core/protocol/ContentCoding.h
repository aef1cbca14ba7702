#pragma once
// HTTP content codings of the status page. Its request advertises
// "gzip, deflate" (Accept-Encoding), so the controller, or anything between,
// may answer compressed; an HTTP client that is given that header by its
// caller leaves the body as it was sent.

#include <QByteArray>
#include <optional>

namespace quelnet::http {

// The body decoded as its Content-Encoding header says: "gzip" or "x-gzip"
// (RFC 1952), "deflate" (a zlib stream, RFC 1950, or the bare deflate data
// some servers send), "identity" or no header: as it is; several codings are
// undone last first. Nothing for another coding, a body that does not decode
// whole, or one that would inflate beyond MaxDecodedSize.
std::optional<QByteArray> DecodeContent(const QByteArray& body, const QByteArray& contentEncoding);

inline constexpr qsizetype MaxDecodedSize = 16 * 1024 * 1024;

// `data` as one gzip member (RFC 1952), as a server sends it with
// "Content-Encoding: gzip".
QByteArray GzipCompress(const QByteArray& data);

} // namespace quelnet::http

#pragma once
// The web pages of the simulated controller, as the oldest controllers serve them:
// a login form that posts "y1=<password>" to "/0", and the status page it answers
// with. The status page is single-byte text, ISO-8859-2 for Polish and ISO-8859-4
// for Lithuanian, with the supply voltage, the temperature and, after "Numer "
// ("Numeris "), the version, a blank and the serial number.

#include "sim/SimConfig.h"

#include <QByteArray>

namespace quelnet::sim {

QByteArray LoginPage(const SimConfig& config, bool wrongPassword);
QByteArray StatusPage(const SimConfig& config);

// The whole HTTP response to one request. The form post succeeds when its body is
// exactly "y1=" followed by the password in the ANSI code page, unencoded. With
// config.httpGzip the page is sent gzip-compressed ("Content-Encoding: gzip")
// when the request's Accept-Encoding names gzip (`acceptEncoding`).
QByteArray HttpResponse(const SimConfig& config, const QByteArray& method, const QByteArray& path,
                        const QByteArray& body, const QByteArray& acceptEncoding = {});

// One response: status line, content type, the body (gzip-compressed as above),
// and the connection closed.
QByteArray HttpReply(const SimConfig& config, const QByteArray& status, const QByteArray& contentType,
                     QByteArray body, const QByteArray& acceptEncoding);

} // namespace quelnet::sim

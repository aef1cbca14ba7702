#include "sim/SimStatusPage.h"

#include "core/base/CodePage.h"
#include "core/protocol/ContentCoding.h"

#include <QList>

namespace quelnet::sim {

namespace {

bool Lithuanian(const SimConfig& config) {
    return config.language.compare("LT", Qt::CaseInsensitive) == 0;
}

// Markers written with their single-byte codes: 0xEA is the Polish e-ogonek in
// ISO-8859-2, 0xE7 the Lithuanian i-ogonek and 0xFE the u-macron in ISO-8859-4.
struct Texts {
    QByteArray voltage, temperature, number, password, wrong, title;
};

Texts TextsFor(const SimConfig& config) {
    if (Lithuanian(config))
        return {"Maitinimo \xE7tampa ",       "Temperat\xFEra ", "Numeris ", "Slapta\xBEodis",
                "Neteisingas slapta\xBEodis", "B\xFEsena"};
    return {"Napi\xEA"
            "cie zasilania ",
            "Temperatura ",
            "Numer ",
            "Has\xB3o",
            "B\xB3\xEA"
            "dne has\xB3o",
            "Stan"};
}

// "gzip" among the codings of an Accept-Encoding value, not refused by ";q=0".
bool AcceptsGzip(const QByteArray& acceptEncoding) {
    for (const QByteArray& item : acceptEncoding.toLower().split(',')) {
        const QList<QByteArray> parts = item.split(';');
        if (parts.value(0).trimmed() != "gzip")
            continue;
        const QByteArray q = parts.value(1).trimmed();
        return !q.startsWith("q=") || q.mid(2).toDouble() > 0;
    }
    return false;
}

QByteArray Head(const QByteArray& title) {
    return "<html><head><title>QuelNet - " + title + "</title></head><body>\r\n";
}

} // namespace

QByteArray LoginPage(const SimConfig& config, bool wrongPassword) {
    const Texts t = TextsFor(config);
    QByteArray page = Head(t.password);
    if (wrongPassword)
        page += "<p>" + t.wrong + "</p>\r\n";
    page += "<form method=\"post\" action=\"/0\">" + t.password +
            ": <input type=\"password\" name=\"y1\"> <input type=\"submit\" value=\"OK\"></form>\r\n";
    page += "</body></html>\r\n";
    return page;
}

QByteArray StatusPage(const SimConfig& config) {
    const Texts t = TextsFor(config);
    QByteArray page = Head(t.title);
    page += "<table>\r\n";
    page += "<tr><td>" + t.voltage + "</td><td>12.1 V</td></tr>\r\n";
    page += "<tr><td>" + t.temperature + "</td><td>23.5 C</td></tr>\r\n";
    page += "<tr><td>" + t.number + config.EffectiveVersion().toLatin1() + " " + config.serial.toLatin1() +
            "</td></tr>\r\n";
    page += "</table>\r\n</body></html>\r\n";
    return page;
}

QByteArray HttpResponse(const SimConfig& config, const QByteArray& method, const QByteArray& path,
                        const QByteArray& body, const QByteArray& acceptEncoding) {
    QByteArray status = "200 OK";
    QByteArray page;
    if (method == "POST" && path == "/0") {
        const bool ok = body == "y1=" + ToAnsi(config.password);
        page = ok ? StatusPage(config) : LoginPage(config, true);
    } else if (method == "GET" && (path == "/" || path == "/0")) {
        page = LoginPage(config, false);
    } else {
        status = "404 Not Found";
        page = "<html><body>404</body></html>\r\n";
    }
    // No character set is named: the page is read byte for byte.
    return HttpReply(config, status, "text/html", page, acceptEncoding);
}

QByteArray HttpReply(const SimConfig& config, const QByteArray& status, const QByteArray& contentType,
                     QByteArray body, const QByteArray& acceptEncoding) {
    QByteArray coding;
    if (config.httpGzip && AcceptsGzip(acceptEncoding)) {
        body = http::GzipCompress(body);
        coding = "\r\nContent-Encoding: gzip";
    }
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType + coding +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace quelnet::sim

#include "core/protocol/StatusPage.h"

#include "core/base/CodePage.h"

namespace quelnet::statuspage {

namespace {

struct Markers {
    QString voltage, temperature, number, language;
};

const Markers& Polish() {
    static const Markers m{u"Napi\u00EAcie zasilania "_qs, u"Temperatura "_qs, u"Numer "_qs, u"PL"_qs};
    return m;
}

const Markers& Lithuanian() {
    static const Markers m{u"Maitinimo \u00E7tampa "_qs, u"Temperat\u00FEra "_qs, u"Numeris "_qs, u"LT"_qs};
    return m;
}

constexpr int MaxVersionLength = 10;
constexpr int SerialLength = 8;

bool ParseWith(const Markers& m, const QString& page, QString& ver, QString& ser, QString& lng) {
    if (!page.contains(m.voltage) || !page.contains(m.temperature) || !page.contains(m.number))
        return false;
    QString rest = page.mid(page.indexOf(m.number) + m.number.size());
    const int blank = rest.indexOf(QLatin1Char(' '));
    const int verLength = qMin(blank < 0 ? rest.size() : blank, MaxVersionLength);
    ver = rest.left(verLength);
    rest.remove(0, verLength + 1);
    ser = rest.left(SerialLength);
    lng = m.language;
    return true;
}

} // namespace

QString RequestUrl(const QString& host, const QString& portHttp) {
    return "http://" + host + ":" + portHttp + "/0";
}

QList<QPair<QByteArray, QByteArray>> RequestHeaders(const QString& host, const QString& portHttp) {
    const QString referer = portHttp == QLatin1String("80") ? "http://" + host + "/%5C"
                                                            : "http://" + host + ":" + portHttp + "/%5C";
    return {
        {"User-Agent", "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:11.0) Gecko/20100101 Firefox/11.0"},
        {"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
        {"Accept-Language", "pl,en-us;q=0.7,en;q=0.3"},
        {"Accept-Encoding", "gzip, deflate"},
        {"Connection", "keep-alive"},
        {"Referer", referer.toUtf8()},
        {"Content-Type", "application/x-www-form-urlencoded"},
    };
}

QByteArray RequestBody(const QString& pass) {
    return "y1=" + ToAnsi(pass);
}

bool Parse(const QString& page, QString& ver, QString& ser, QString& lng) {
    return ParseWith(Polish(), page, ver, ser, lng) || ParseWith(Lithuanian(), page, ver, ser, lng);
}

} // namespace quelnet::statuspage

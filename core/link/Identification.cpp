// Identification of the controller's generation: long identify frame (4.x),
// short identify frame (4.x and the short-frame firmware), status page over
// HTTP (the oldest firmware).
#include "core/link/DeviceLink.h"
#include "core/protocol/ContentCoding.h"
#include "core/protocol/Frames.h"
#include "core/protocol/StatusPage.h"

#include "core/base/InterfaceTexts.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <optional>

namespace quelnet {

namespace {

// Strings of the identify replies are taken one character per byte, zero
// bytes included.
QString Chars(const QByteArray& bytes, int offset, int count) {
    return QString::fromLatin1(bytes.mid(offset, count));
}

constexpr char JumperFitted = 0x65; // 'e'

// One character of the language code sent as two hexadecimal digit characters.
QChar HexPairChar(const QByteArray& reply, int offset) {
    return QChar(char16_t(TextToInt64("$" + Chars(reply, offset, 2)) & 0xFFFF));
}

// Every out-parameter empty, as after a failed identification.
void ClearIdentity(QString& Ver, QChar& Boa, bool& Con, QString& Rea, QString& Ser, QString& Lng) {
    Ver.clear(), Rea.clear(), Ser.clear(), Lng.clear();
    Boa = QChar(0);
    Con = false;
}

} // namespace

bool TfmCommon::CheckNewQuelnet(const QString& Host, const QString& PortTcp, const QString& Pass,
                                QString& Ver, QChar& Boa, bool& Con, QString& Rea, QString& Ser,
                                QString& Lng) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    ClearIdentity(Ver, Boa, Con, Rea, Ser, Lng);
    if (!OpenConnection(Host, PortTcp, m_timeouts.Identify))
        return false;
    bool result = false;
    QByteArray reply;
    SendRequest(proto::CmdIdentify, Pass, 0);
    if (ReadReply(reply) >= proto::NewIdentifyMinReply) {
        Ver = Chars(reply, 16, 6);
        Boa = QChar(uchar(reply[22]));
        Con = reply[23] == JumperFitted;
        Rea = Chars(reply, 24, 8);
        Ser = Chars(reply, 32, 8);
        Lng = Chars(reply, 40, 2);
        result = true;
    }
    CloseConnection();
    // Firmware 4.x is installed in its Polish edition only, whatever it reports.
    if (Lng != QLatin1String("PL"))
        Lng = QStringLiteral("PL");
    return result;
}

bool TfmCommon::CheckMidQuelnet(const QString& Host, const QString& PortTcp, QString& Ver, QChar& Boa,
                                bool& Con, QString& Rea, QString& Ser, QString& Lng) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    ClearIdentity(Ver, Boa, Con, Rea, Ser, Lng);
    if (!OpenConnection(Host, PortTcp, m_timeouts.Identify))
        return false;
    bool result = false;
    QByteArray reply;
    if (m_link.Write(proto::BuildShortFrame(proto::ShortIdentify)) &&
        m_link.ReadExact(proto::MidIdentifyReplySize, reply)) {
        Ver = Chars(reply, 0, 6);
        Boa = QChar(uchar(reply[7]));
        Con = reply[9] == JumperFitted;
        Rea = Chars(reply, 10, 8);
        Ser = Chars(reply, 18, 8);
        Lng = QString(HexPairChar(reply, 54)) + HexPairChar(reply, 56);
        result = true;
    }
    CloseConnection();
    return result;
}

bool TfmCommon::CheckOldQuelnet(const QString& Host, const QString& PortHttp, const QString& Pass,
                                QString& Ver, QString& Ser, QString& Lng) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    Ver.clear(), Ser.clear(), Lng.clear();

    QNetworkRequest request(QUrl(statuspage::RequestUrl(Host, PortHttp)));
    for (const auto& [name, value] : statuspage::RequestHeaders(Host, PortHttp))
        request.setRawHeader(name, value);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_timeouts.Identify);

    QNetworkReply* reply = m_http->post(request, statuspage::RequestBody(Pass));
    QEventLoop loop;
    QTimer limit; // connect plus read
    limit.setSingleShot(true);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&limit, &QTimer::timeout, reply, &QNetworkReply::abort);
    limit.start(2 * m_timeouts.Identify);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    limit.stop();

    // An error of any kind (no connection, time-out, HTTP error status) gives
    // an empty page, and so does a compressed page that does not decode (the
    // request advertises gzip and deflate, and the HTTP client leaves a body
    // compressed when its caller set that header). The page names no
    // character set: each byte is a character.
    std::optional<QByteArray> body;
    if (reply->error() == QNetworkReply::NoError)
        body = http::DecodeContent(reply->readAll(), reply->rawHeader("Content-Encoding"));
    const QString page = body ? QString::fromLatin1(*body) : QString();
    delete reply;
    m_http->clearConnectionCache(); // no connection is kept between requests

    return !page.isEmpty() && statuspage::Parse(page, Ver, Ser, Lng);
}

} // namespace quelnet

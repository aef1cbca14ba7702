// Identification of the controller's generation: long identify frame (4.x),
// short identify frame (4.x and the short-frame firmware), status page over
// HTTP (the oldest firmware).
#include "core/link/DeviceLink.h"
#include "core/protocol/ContentCoding.h"
#include "core/protocol/Frames.h"
#include "core/protocol/ReplyReader.h"
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
    proto::Identity id;
    if (ReadReply(reply) >= proto::NewIdentifyMinReply && proto::ParseLongIdentify(reply, id)) {
        Ver = id.Ver, Boa = id.Boa, Con = id.Con, Rea = id.Rea, Ser = id.Ser, Lng = id.Lng;
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
    proto::Identity id;
    if (m_link.Write(proto::BuildShortFrame(proto::ShortIdentify)) &&
        m_link.ReadExact(proto::MidIdentifyReplySize, reply) && proto::ParseShortIdentify(reply, id)) {
        Ver = id.Ver, Boa = id.Boa, Con = id.Con, Rea = id.Rea, Ser = id.Ser, Lng = id.Lng;
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

    QNetworkReply* reply = Http().post(request, statuspage::RequestBody(Pass));
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
    Http().clearConnectionCache(); // no connection is kept between requests

    return !page.isEmpty() && statuspage::Parse(page, Ver, Ser, Lng);
}

} // namespace quelnet

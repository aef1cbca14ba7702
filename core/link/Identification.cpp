// Identification of the controller's generation: long identify frame (4.x),
// short identify frame (4.x and the short-frame firmware), status page over
// HTTP (the oldest firmware).
#include "core/link/DeviceLink.h"
#include "core/link/HttpClient.h"
#include "core/protocol/ContentCoding.h"
#include "core/protocol/Frames.h"
#include "core/protocol/ReplyReader.h"
#include "core/protocol/StatusPage.h"

#include "core/base/InterfaceTexts.h"

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

    HttpPost request;
    request.url = QUrl(statuspage::RequestUrl(Host, PortHttp));
    for (const auto& [name, value] : statuspage::RequestHeaders(Host, PortHttp))
        request.headers.append({name, value});
    request.body = statuspage::RequestBody(Pass);
    request.transferTimeoutMs = m_timeouts.Identify;
    request.limitMs = 2 * m_timeouts.Identify; // connect plus read

    // An error of any kind (no connection, time-out, HTTP error status) gives
    // an empty page, and so does a compressed page that does not decode (the
    // request advertises gzip and deflate, and the HTTP client leaves a body
    // compressed when its caller set that header). The page names no
    // character set: each byte is a character.
    HttpResult answer;
    std::optional<QByteArray> body;
    if (PostHttp(request, answer))
        body = http::DecodeContent(answer.body, answer.contentEncoding);
    const QString page = body ? QString::fromLatin1(*body) : QString();

    return !page.isEmpty() && statuspage::Parse(page, Ver, Ser, Lng);
}

} // namespace quelnet

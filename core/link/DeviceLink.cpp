#include "core/link/DeviceLink.h"

#include "core/base/InterfaceTexts.h"
#include "core/protocol/Frames.h"
#include "core/protocol/ReplyReader.h"

namespace quelnet {

TfmCommon::TfmCommon(QObject* parent) : QObject(parent) {
    setObjectName("fmCommon");
}

TfmCommon::~TfmCommon() = default;

void TfmCommon::EndComm() {
    BusyGuard guard(*this);
    if (!guard)
        return;
    CloseConnection();
}

int TfmCommon::SendRequest(quint8 Command, const QString& Pass, quint8 Param, const QByteArray& Prefix,
                           const QByteArray& Data) {
    const QByteArray frame = proto::BuildLongFrame(Command, Pass, Param, Prefix + Data);
    if (m_link.Connected() && !m_link.Write(frame))
        m_link.Disconnect();
    return int(frame.size());
}

int TfmCommon::ReadReply(QByteArray& Reply) {
    Reply.clear();
    // A link closed by the other side ends the read below at once.
    if (!m_link.IsOpen())
        return -2;
    return proto::ReadLongReply([this](int n, QByteArray& out) { return m_link.ReadExact(n, out); }, Reply);
}

bool TfmCommon::OpenConnection(const QString& Host, const QString& PortTcp, int timeoutMs) {
    CloseConnection();
    m_link.SetTarget(Host, quint16(TextToInt64(PortTcp)));
    m_link.SetTimeouts(timeoutMs, timeoutMs);
    return m_link.Connect();
}

void TfmCommon::CloseConnection() {
    m_link.Disconnect();
}

void TfmCommon::Reconnect() {
    m_link.Disconnect();
    m_link.Connect();
}

} // namespace quelnet

// Circuit reads and sets on the persistent link of TfmCommon.
#include "core/link/DeviceLink.h"
#include "core/protocol/CircuitReplies.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet {

using circuit::Verdict;

namespace {

QString Suffix(const QString& host, quint16 port) {
    return " (" + host + ":" + QString::number(port) + " ).";
}

} // namespace

bool TfmCommon::LinkSetUp(const QString& Host, quint16 Port) {
    // The host is compared as text: two spellings of one address reopen the link.
    if (m_link.Host() != Host || m_link.Port() != Port) {
        m_link.Disconnect();
        m_link.SetTarget(Host, Port);
    }
    // Always the link time-outs, even on a link last opened for identification.
    m_link.SetTimeouts(m_timeouts.Link, m_timeouts.Link);
    return m_link.Connected() || m_link.Connect();
}

bool TfmCommon::CircuitExchange(const QString& Host, quint16 Port, const QString& Circ,
                                const QByteArray& request, QByteArray& reply) {
    LastError = Pl(lt::BadConnParam) + Suffix(Host, Port);
    // A name longer than the request's 8 bytes would address another circuit.
    if (Host.isEmpty() || Port == 0 || !circuit::NameFits(Circ))
        return false;
    if (!LinkSetUp(Host, Port)) {
        LastError = Pl(lt::CannotConnect) + Suffix(Host, Port);
        return false;
    }
    // No reply in time or a link broken mid-exchange is a failed exchange like
    // a wrong reply. The link is closed so that a late reply cannot be taken
    // for the answer to the next request; the next call reconnects.
    const bool written = m_link.Write(request);
    if (!written || ReadReply(reply) < 0) {
        m_link.Disconnect();
        reply.clear();
    }
    return true;
}

void TfmCommon::SetReplyError(CircuitKind kind, bool noCircuit, const QString& Host, quint16 Port,
                              const QString& Circ) {
    if (noCircuit)
        LastError = Pl(kind == CircuitKind::Digital ? lt::NoDigitalCircuit : lt::NoAnalogCircuit) + Circ +
                    Pl(lt::InQuelnet) + Suffix(Host, Port);
    else
        LastError = Pl(lt::NoAcknowledge) + Suffix(Host, Port);
}

bool TfmCommon::SetOutDigi(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ,
                           quint8 Mode) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    QByteArray reply;
    if (!CircuitExchange(Host, Port, Circ, circuit::SetDigitalRequest(Pass, Circ, Mode), reply))
        return false;
    const Verdict v = circuit::CheckSetReply(reply);
    if (v != Verdict::Done)
        SetReplyError(CircuitKind::Digital, v == Verdict::NoCircuit, Host, Port, Circ);
    return v == Verdict::Done;
}

bool TfmCommon::SetOutAnal(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ,
                           float Value) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    QByteArray reply;
    if (!CircuitExchange(Host, Port, Circ, circuit::SetAnalogRequest(Pass, Circ, Value), reply))
        return false;
    const Verdict v = circuit::CheckSetReply(reply);
    if (v != Verdict::Done)
        SetReplyError(CircuitKind::Analog, v == Verdict::NoCircuit, Host, Port, Circ);
    return v == Verdict::Done;
}

bool TfmCommon::GetInpDigi(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ,
                           quint8 Mode, bool& State) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    State = false;
    QByteArray reply;
    if (!CircuitExchange(Host, Port, Circ, circuit::GetDigitalRequest(Pass, Circ, Mode), reply))
        return false;
    const Verdict v = circuit::CheckDigitalReply(reply, Mode, State);
    if (v != Verdict::Done)
        SetReplyError(CircuitKind::Digital, v == Verdict::NoCircuit, Host, Port, Circ);
    return v == Verdict::Done;
}

bool TfmCommon::GetInpAnal(const QString& Host, quint16 Port, const QString& Pass, const QString& Circ,
                           quint8 Mode, float& State) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    State = 0;
    QByteArray reply;
    if (!CircuitExchange(Host, Port, Circ, circuit::GetAnalogRequest(Pass, Circ, Mode), reply))
        return false;
    const Verdict v = circuit::CheckAnalogReply(reply, Mode, State);
    if (v != Verdict::Done)
        SetReplyError(CircuitKind::Analog, v == Verdict::NoCircuit, Host, Port, Circ);
    return v == Verdict::Done;
}

} // namespace quelnet

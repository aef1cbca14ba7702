// Long (authenticated) frames of a 4.x controller.
#include "sim/SimController.h"

#include "core/protocol/Frames.h"

namespace quelnet::sim {

using namespace quelnet::proto;

namespace {

// The fixed password with which DataFlash pages are written by the resources upload.
const QString DataFlashPassword = "3958";

constexpr uchar StatusDone = 1;
constexpr uchar StatusNoCircuit = 0;
constexpr uchar StatusBadRequest = 2; // unknown switching mode or a payload too short

QString Hex(int v) {
    return "0x" + QString("%1").arg(v, 2, 16, QChar('0')).toUpper();
}

QByteArray NameBytes(const QByteArray& frame) {
    QByteArray name = frame.mid(LongHeaderSize, CircuitNameSize);
    name.append(CircuitNameSize - name.size(), '\0');
    return name;
}

QString NameText(const QByteArray& nameBytes) {
    const int end = nameBytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? nameBytes : nameBytes.left(end));
}

int PayloadSize(const QByteArray& frame) {
    return frame.size() - LongHeaderSize;
}

quint32 AddressOf(const QByteArray& frame) {
    return quint32(uchar(frame[16])) << 16 | quint32(uchar(frame[17])) << 8 | uchar(frame[18]);
}

Outcome Ack(uchar status, const QString& note) {
    return {BuildLongReply(ReplyAck, status), AfterReply::Stay, note};
}

} // namespace

bool SimController::ControlDigest(const QByteArray& frame) const {
    return GetU32(frame, 3) == PasswordDigest(m_config.password);
}

// The fixed DataFlash password opens page writes only, and only with the jumper.
bool SimController::DigestAccepted(const QByteArray& frame) const {
    if (ControlDigest(frame))
        return true;
    return m_config.jumper && uchar(frame[12]) == CmdWritePage &&
           GetU32(frame, 3) == PasswordDigest(DataFlashPassword);
}

Outcome SimController::HandleLong(const QByteArray& frame, const QSet<int>& wrongEchoPages) {
    const uchar cmd = uchar(frame[12]);
    if (m_config.generation != Generation::New)
        return {{},
                AfterReply::Stay,
                QString("long %1 ignored: this generation has no long frames").arg(Hex(cmd))};
    if (!DigestAccepted(frame))
        return {{},
                AfterReply::Close,
                QString("long %1 with a wrong password digest: connection closed").arg(Hex(cmd))};

    switch (cmd) {
    case CmdSetDigital:
        return SetDigitalFrame(frame);
    case CmdGetDigital:
    case CmdGetDigital + 1:
        return GetDigitalFrame(frame);
    case CmdSetAnalog:
        return SetAnalogFrame(frame);
    case CmdGetAnalog:
    case CmdGetAnalog + 1:
        return GetAnalogFrame(frame);
    case CmdReadPage:
        return ReadPageFrame(frame, wrongEchoPages);
    case CmdWritePage:
        return WritePageFrame(frame, wrongEchoPages);
    case CmdIdentify:
        return {LongIdentifyReply(), AfterReply::Stay, "long 0xAA identify"};
    case CmdRestart:
        m_configPrepared = false;
        return {{}, AfterReply::Restart, "long 0xAB restart"};
    case CmdTakeOverKeepNet:
        return {BuildLongReply(ReplyTakeOver, 1), AfterReply::Stay, "long 0xAC take over configuration"};
    case CmdTakeOverWithNet:
        return {BuildLongReply(ReplyTakeOver, 1), AfterReply::Stay,
                "long 0xAE take over configuration with network settings"};
    case CmdPrepareRead:
        return {BuildLongReply(ReplyPrepareRead, 1), AfterReply::Stay, "long 0xAF prepare configuration"};
    default:
        return {{}, AfterReply::Stay, QString("long %1 unknown: no reply").arg(Hex(cmd))};
    }
}

Outcome SimController::SetDigitalFrame(const QByteArray& frame) {
    const QByteArray name = NameBytes(frame);
    const uchar mode = uchar(frame[13]);
    const QString note = QString("long 0x10 set digital %1 mode %2").arg(NameText(name)).arg(mode);
    Circuit* c = m_circuits.Find(name);
    if (!c || c->def.analog || !c->def.output || PayloadSize(frame) < CircuitNameSize)
        return Ack(StatusNoCircuit, note + ": no such output");
    if (mode > 2)
        return Ack(StatusBadRequest, note + ": unknown mode");
    c->on = mode == 2 ? !c->on : mode == 1;
    return Ack(StatusDone, note);
}

Outcome SimController::GetDigitalFrame(const QByteArray& frame) {
    const uchar cmd = uchar(frame[12]);
    const QByteArray name = NameBytes(frame);
    const QString note = QString("long %1 read digital %2").arg(Hex(cmd), NameText(name));
    const Circuit* c = m_circuits.Find(name);
    if (!c || c->def.analog || PayloadSize(frame) < CircuitNameSize)
        return Ack(StatusNoCircuit, note + ": no such circuit");
    return {BuildLongReply(uchar(cmd + 0x30), c->on ? 1 : 0, name), AfterReply::Stay,
            note + (c->on ? ": on" : ": off")};
}

Outcome SimController::SetAnalogFrame(const QByteArray& frame) {
    const QByteArray name = NameBytes(frame);
    QString note = QString("long 0x18 set analog %1").arg(NameText(name));
    Circuit* c = m_circuits.Find(name);
    if (!c || !c->def.analog || !c->def.output || PayloadSize(frame) < CircuitNameSize)
        return Ack(StatusNoCircuit, note + ": no such output");
    if (PayloadSize(frame) < CircuitNameSize + 4)
        return Ack(StatusBadRequest, note + ": no value");
    // The value travels as value x 10000 in 32 bits; negative values in two's complement.
    c->raw = qint32(GetU32(frame, LongHeaderSize + CircuitNameSize));
    return Ack(StatusDone, note + QString(" = %1").arg(double(c->raw) / 10000.0));
}

Outcome SimController::GetAnalogFrame(const QByteArray& frame) {
    const uchar cmd = uchar(frame[12]);
    const QByteArray name = NameBytes(frame);
    const QString note = QString("long %1 read analog %2").arg(Hex(cmd), NameText(name));
    const Circuit* c = m_circuits.Find(name);
    if (!c || !c->def.analog || PayloadSize(frame) < CircuitNameSize)
        return Ack(StatusNoCircuit, note + ": no such circuit");
    QByteArray payload = name;
    payload.append(4, '\0');
    PutU32(payload, CircuitNameSize, quint32(c->raw));
    return {BuildLongReply(uchar(cmd + 0x30), 0, payload), AfterReply::Stay,
            note + QString(": %1").arg(double(c->raw) / 10000.0)};
}

Outcome SimController::ReadPageFrame(const QByteArray& frame, const QSet<int>& wrongEchoPages) {
    if (PayloadSize(frame) < 3)
        return Ack(StatusBadRequest, "long 0xA0 read page without an address");
    const quint32 address = AddressOf(frame);
    QByteArray payload = EchoAddress(address, wrongEchoPages);
    payload.append(m_flash.Read(address, PageSize));
    return {BuildLongReply(ReplyReadPage, 0, payload), AfterReply::Stay,
            QString("long 0xA0 read page 0x%1").arg(address >> 8, 3, 16, QChar('0'))};
}

Outcome SimController::WritePageFrame(const QByteArray& frame, const QSet<int>& wrongEchoPages) {
    if (PayloadSize(frame) != 3 + PageSize)
        return Ack(
            StatusBadRequest,
            QString("long 0xA1 write page with %1 payload bytes, not 259: refused").arg(PayloadSize(frame)));
    const quint32 address = AddressOf(frame);
    m_flash.Write(address, frame.mid(LongHeaderSize + 3, PageSize));
    return {BuildLongReply(ReplyWritePage, 0, EchoAddress(address, wrongEchoPages)),
            AfterReply::Stay,
            QString("long 0xA1 write page 0x%1").arg(address >> 8, 3, 16, QChar('0')),
            true,
            false,
            int(address >> 8)};
}

} // namespace quelnet::sim

#include "core/protocol/CircuitReplies.h"

#include "core/protocol/Frames.h"

namespace quelnet::circuit {

using namespace quelnet::proto;

namespace {

int Code(const QByteArray& reply) {
    return uchar(reply[12]);
}
int Status(const QByteArray& reply) {
    return uchar(reply[13]);
}

bool IsNoCircuit(const QByteArray& reply) {
    return reply.size() == LongHeaderSize && Code(reply) == ReplyAck && Status(reply) == 0;
}

} // namespace

bool NameFits(const QString& circ) {
    return !circ.isEmpty() && circ.size() <= CircuitNameSize;
}

QByteArray SetDigitalRequest(const QString& pass, const QString& circ, std::uint8_t mode) {
    return BuildLongFrame(CmdSetDigital, pass, mode, CircuitNameBytes(circ));
}

QByteArray SetAnalogRequest(const QString& pass, const QString& circ, float value) {
    return BuildLongFrame(CmdSetAnalog, pass, 0, CircuitNameBytes(circ) + EncodeAnalog(value));
}

QByteArray GetDigitalRequest(const QString& pass, const QString& circ, std::uint8_t mode) {
    return BuildLongFrame(std::uint8_t(CmdGetDigital + mode), pass, 0, CircuitNameBytes(circ));
}

QByteArray GetAnalogRequest(const QString& pass, const QString& circ, std::uint8_t mode) {
    return BuildLongFrame(std::uint8_t(CmdGetAnalog + mode), pass, 0, CircuitNameBytes(circ));
}

Verdict CheckSetReply(const QByteArray& reply) {
    if (reply.size() == LongHeaderSize && Code(reply) == ReplyAck && Status(reply) == 1)
        return Verdict::Done;
    return IsNoCircuit(reply) ? Verdict::NoCircuit : Verdict::NoAck;
}

// The expected code is compared as a number: with a mode above 0xBD it can
// never match a byte, and the reply is not acknowledged.
Verdict CheckDigitalReply(const QByteArray& reply, std::uint8_t mode, bool& state) {
    if (IsNoCircuit(reply))
        return Verdict::NoCircuit;
    if (reply.size() == DigitalReplySize && Code(reply) == ReplyDigital + mode) {
        state = Status(reply) == 1;
        return Verdict::Done;
    }
    return Verdict::NoAck;
}

Verdict CheckAnalogReply(const QByteArray& reply, std::uint8_t mode, float& state) {
    if (IsNoCircuit(reply))
        return Verdict::NoCircuit;
    if (reply.size() == AnalogReplySize && Code(reply) == ReplyAnalog + mode) {
        state = DecodeAnalog(reply.mid(24, 4));
        return Verdict::Done;
    }
    return Verdict::NoAck;
}

} // namespace quelnet::circuit

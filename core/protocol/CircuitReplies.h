#pragma once
// Requests and reply checks of the four circuit commands. A reply is judged by
// its total length (16 + announced payload), its code (byte 12) and its status
// byte (13); bytes 0-11 and, for reads, bytes 16-23 are not examined.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace quelnet::circuit {

enum class Verdict {
    Done,      // the command was carried out (or the value was read)
    NoCircuit, // 16 bytes, code 0x08, byte 13 = 0: the controller has no such circuit
    NoAck,     // anything else, the empty reply included
};

// The name fits the request: not empty and at most 8 characters.
bool NameFits(const QString& circ);

QByteArray SetDigitalRequest(const QString& pass, const QString& circ, std::uint8_t mode);
QByteArray SetAnalogRequest(const QString& pass, const QString& circ, float value);
QByteArray GetDigitalRequest(const QString& pass, const QString& circ, std::uint8_t mode);
QByteArray GetAnalogRequest(const QString& pass, const QString& circ, std::uint8_t mode);

Verdict CheckSetReply(const QByteArray& reply);
// state is written only when the verdict is Done.
Verdict CheckDigitalReply(const QByteArray& reply, std::uint8_t mode, bool& state);
Verdict CheckAnalogReply(const QByteArray& reply, std::uint8_t mode, float& state);

} // namespace quelnet::circuit

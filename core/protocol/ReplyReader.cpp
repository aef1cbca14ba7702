#include "core/protocol/ReplyReader.h"

#include "core/base/InterfaceTexts.h"
#include "core/protocol/Frames.h"

namespace quelnet::proto {

namespace {

constexpr char JumperFitted = 0x65; // 'e'

QString Chars(const QByteArray& bytes, int offset, int count) {
    return QString::fromLatin1(bytes.mid(offset, count));
}

bool Printable(char c) {
    return c >= 0x20 && c <= 0x7E;
}

// count bytes of printable text, then zero bytes to the end of the field.
bool TextField(const QByteArray& bytes, int offset, int count) {
    int i = offset;
    while (i < offset + count && Printable(bytes[i]))
        ++i;
    while (i < offset + count && bytes[i] == '\0')
        ++i;
    return i == offset + count;
}

bool VersionField(const QByteArray& bytes, int offset) {
    return bytes[offset] == 'V' && TextField(bytes, offset, 6);
}

bool HexDigitChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// One character of the language code sent as two hexadecimal digit characters.
QChar HexPairChar(const QByteArray& reply, int offset) {
    return QChar(char16_t(TextToInt64("$" + Chars(reply, offset, 2)) & 0xFFFF));
}

} // namespace

int ReadLongReply(const ReadExactFn& readExact, QByteArray& reply) {
    reply.clear();
    if (!readExact(LongHeaderSize, reply))
        return -1;
    const int n = GetU16(reply, 14);
    if (n > 0 && !readExact(n, reply))
        return -1;
    return LongHeaderSize + n;
}

bool ParseLongIdentify(const QByteArray& reply, Identity& identity) {
    if (reply.size() < NewIdentifyMinReply || GetU16(reply, 14) != reply.size() - LongHeaderSize ||
        !VersionField(reply, 16) || !Printable(reply[22]) || !TextField(reply, 24, 8) ||
        !TextField(reply, 32, 8) || !TextField(reply, 40, 2))
        return false;
    identity.Ver = Chars(reply, 16, 6);
    identity.Boa = QChar(uchar(reply[22]));
    identity.Con = reply[23] == JumperFitted;
    identity.Rea = Chars(reply, 24, 8);
    identity.Ser = Chars(reply, 32, 8);
    identity.Lng = Chars(reply, 40, 2);
    return true;
}

bool ParseShortIdentify(const QByteArray& reply, Identity& identity) {
    if (reply.size() != MidIdentifyReplySize || !VersionField(reply, 0) || !Printable(reply[7]) ||
        !TextField(reply, 10, 8) || !TextField(reply, 18, 8))
        return false;
    for (int i = 54; i < 58; ++i)
        if (!HexDigitChar(reply[i]))
            return false;
    identity.Ver = Chars(reply, 0, 6);
    identity.Boa = QChar(uchar(reply[7]));
    identity.Con = reply[9] == JumperFitted;
    identity.Rea = Chars(reply, 10, 8);
    identity.Ser = Chars(reply, 18, 8);
    identity.Lng = QString(HexPairChar(reply, 54)) + HexPairChar(reply, 56);
    return true;
}

} // namespace quelnet::proto

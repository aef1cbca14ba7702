#include "core/protocol/ReplyReader.h"

#include "core/base/InterfaceTexts.h"
#include "core/protocol/Frames.h"

namespace quelnet::proto {

namespace {

constexpr char JumperFitted = 0x65; // 'e'

QString Chars(const QByteArray& bytes, int offset, int count) {
    return QString::fromLatin1(bytes.mid(offset, count));
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
    if (reply.size() < NewIdentifyMinReply)
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
    if (reply.size() != MidIdentifyReplySize)
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

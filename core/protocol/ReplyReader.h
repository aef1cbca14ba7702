#pragma once
// Reading replies off a byte stream, apart from the socket: a long reply (its
// 16-byte header, then the payload length the header announces in bytes 14-15)
// and the fields of the two identify replies. The device link reads through its
// TCP link; tests and fuzz targets read from memory.
#include <QByteArray>
#include <QChar>
#include <QString>
#include <functional>

namespace quelnet::proto {

// Appends exactly n bytes to out; false when they cannot all be had (out then
// holds what did arrive).
using ReadExactFn = std::function<bool(int n, QByteArray& out)>;

// One long reply into reply (cleared first): its total length 16 + N, or -1
// when the header or the announced payload does not arrive whole.
int ReadLongReply(const ReadExactFn& readExact, QByteArray& reply);

// What a controller reports about itself. Strings are taken one character per
// byte, zero bytes included.
struct Identity {
    QString Ver;
    QChar Boa;
    bool Con = false; // programming jumper fitted (byte 0x65)
    QString Rea, Ser, Lng;
};

// A reply is believed only when it has the form of the frame tables: any TCP
// service answers something, and a web server's "HTTP/1.0 400 Bad Request"
// must never read as a controller. The text fields are printable ASCII
// (0x20-0x7E), padded with zero bytes at their end; the version starts with
// "V". False for anything else, which leaves identity untouched.

// The long identify reply: at least 48 bytes, the header of a long reply
// (D5 80 0D) announcing at least the 32 bytes of the fields, fields from
// byte 16. The reply code is not examined.
bool ParseLongIdentify(const QByteArray& reply, Identity& identity);
// The 58-byte short identify reply; the language travels as two pairs of
// hexadecimal digit characters in bytes 54-57.
bool ParseShortIdentify(const QByteArray& reply, Identity& identity);

// Bytes 0-2 of a long reply are those of every long frame, D5 80 0D.
bool HasLongReplyHeader(const QByteArray& reply);

} // namespace quelnet::proto

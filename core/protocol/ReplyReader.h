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

// The long identify reply: at least 48 bytes, all of them announced by the
// header (bytes 14-15), fields from byte 16. Bytes 0-11 and the reply code
// are not examined: controllers differ there.
bool ParseLongIdentify(const QByteArray& reply, Identity& identity);
// The 58-byte short identify reply; the language travels as two pairs of
// hexadecimal digit characters in bytes 54-57.
bool ParseShortIdentify(const QByteArray& reply, Identity& identity);

} // namespace quelnet::proto

#pragma once
// Frames of the controllers' binary control protocol. Numbers on the wire are
// big-endian.
//
// Long (authenticated) request:
//   0     1     2     3..6        7     8..11        12    13     14..15  16..
//   D5    80    0D    digest(BE)  F0    FF FF FF FF  cmd   param  L (BE)  payload[L]
// Reply to a long request: 16-byte header (bytes 0-11 not examined, 12 reply
// code, 13 status/value, 14-15 payload length N) followed by N payload bytes.
//
// Short request (older controllers, no password, no length):
//   0     1     2     3..5              6..
//   D5    cmd   00    A2 A1 A0 (24-bit)  data (page writes only, 256 bytes)
// A short reply has no header; each command's reply has a fixed length.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace quelnet::proto {

// Long frames: request codes
inline constexpr std::uint8_t CmdSetDigital = 0x10;     // byte 13: 0 off, 1 on, 2 toggle
inline constexpr std::uint8_t CmdGetDigital = 0x12;     // + 0 input, + 1 output
inline constexpr std::uint8_t CmdSetAnalog = 0x18;      // name (8) + value (4)
inline constexpr std::uint8_t CmdGetAnalog = 0x1A;      // + 0 input, + 1 output
inline constexpr std::uint8_t CmdReadPage = 0xA0;       // payload A2 A1 A0
inline constexpr std::uint8_t CmdWritePage = 0xA1;      // payload A2 A1 A0 + 256 bytes
inline constexpr std::uint8_t CmdIdentify = 0xAA;       // no payload
inline constexpr std::uint8_t CmdRestart = 0xAB;        // no reply is read
inline constexpr std::uint8_t CmdTakeOverKeepNet = 0xAC; // reply 0xBE
inline constexpr std::uint8_t CmdTakeOverWithNet = 0xAE; // reply 0xBE
inline constexpr std::uint8_t CmdPrepareRead = 0xAF;    // reply 0xBF

// Long frames: reply codes
inline constexpr std::uint8_t ReplyAck = 0x08;          // byte 13: 1 done, 0 no such circuit
inline constexpr std::uint8_t ReplyDigital = 0x42;      // + connection point
inline constexpr std::uint8_t ReplyAnalog = 0x4A;       // + connection point
inline constexpr std::uint8_t ReplyReadPage = 0xB0;
inline constexpr std::uint8_t ReplyWritePage = 0xB1;
inline constexpr std::uint8_t ReplyTakeOver = 0xBE;     // for both 0xAC and 0xAE
inline constexpr std::uint8_t ReplyPrepareRead = 0xBF;

// Short frames
inline constexpr std::uint8_t ShortIdentify = 0xAA;      // reply exactly 58 bytes
inline constexpr std::uint8_t ShortWritePage = 0xA1;     // reply: echo of the 6 header bytes
inline constexpr std::uint8_t ShortPrepareConfig = 0xAE; // reply "OK"
inline constexpr std::uint8_t ShortStartUpdate = 0xAD;   // no reply is read

// Sizes
inline constexpr int LongHeaderSize = 16;
inline constexpr int ShortHeaderSize = 6;
inline constexpr int PageSize = 256;
inline constexpr int FlashPages = 2048;                 // 512 KiB DataFlash
inline constexpr int CircuitNameSize = 8;
inline constexpr int PasswordBlockSize = 16;
inline constexpr int DigitalReplySize = 24;
inline constexpr int AnalogReplySize = 28;
inline constexpr int ReadPageReplySize = 275;           // 16 + A2 A1 A0 + 256
inline constexpr int WritePageReplySize = 19;           // 16 + A2 A1 A0
inline constexpr int NewIdentifyMinReply = 48;
inline constexpr int MidIdentifyReplySize = 58;

// The password converted to the ANSI code page, cut or zero-padded to 16 bytes.
QByteArray PasswordBlock(const QString& pass);
// WordCrc of the password block: what travels in request bytes 3-6.
std::uint32_t PasswordDigest(const QString& pass);

// A whole long request: header with digest, command, param, length, payload.
QByteArray BuildLongFrame(std::uint8_t command, const QString& pass, std::uint8_t param,
                          const QByteArray& payload = {});

// A whole long reply as a controller sends it (bytes 0-2 D5 80 0D, 3-11 zero).
QByteArray BuildLongReply(std::uint8_t code, std::uint8_t status, const QByteArray& payload = {});

// Circuit name in 8 bytes: zero-filled, then the low 8 bits of each UTF-16 unit.
// Only the first 8 characters fit; callers refuse longer names beforehand.
QByteArray CircuitNameBytes(const QString& name);

// A2 A1 A0 of DataFlash page p (address p * 256).
QByteArray PageAddress(int page);

// A short request: D5 cmd 00 A2 A1 A0 [data].
QByteArray BuildShortFrame(std::uint8_t command, std::uint32_t address = 0, const QByteArray& data = {});

// Analog values travel as value * 10000 in 32 bits, big-endian.
QByteArray EncodeAnalog(float value);     // rounded half to even, low 32 bits (two's complement)
float DecodeAnalog(const QByteArray& four); // read unsigned, / 10000

// Big-endian helpers.
void PutU16(QByteArray& out, int offset, std::uint16_t v);
void PutU32(QByteArray& out, int offset, std::uint32_t v);
std::uint16_t GetU16(const QByteArray& in, int offset);
std::uint32_t GetU32(const QByteArray& in, int offset);

} // namespace quelnet::proto

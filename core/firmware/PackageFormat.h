#pragma once
// Layout of the firmware package that the program carries at the end of its own
// executable file:
//
//   offset 0   16 bytes  magic
//          16   4 bytes  directory length D, little-endian
//          20   4 bytes  data length N, little-endian
//          24   D bytes  directory text (ANSI code page, one record per line, CR ends a line)
//     24 + D    N bytes  data area: the zlib streams of the files, back to back
//
// The package ends exactly at the end of the file. A directory record has nine
// fields separated by "|": Idx, Lang, Version, Offset, Size, PackedSize,
// DataCrc, PackedCrc ("$" + upper-case hex, eight digits for the numbers, three
// for Idx) and the file name.

#include <QByteArray>
#include <QtGlobal>

namespace quelnet::package {

inline constexpr int MagicSize = 16;
inline constexpr int HeaderSize = 24;

// Files above this size are refused rather than read: the executable holding the
// package, a user file for the DataFlash, an inflated package entry.
inline constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

// Package version tags and the language of files common to every language.
inline constexpr char Version214[] = "V214";
inline constexpr char Version401f[] = "V401f";
inline constexpr char CommonLang[] = "  ";

// The 16 magic bytes. The program keeps them reversed in its data and turns them
// round at run time, so that the forward form exists in an executable only at
// its package and a scan for it never stops at the program's own copy.
QByteArray Magic();

// One-call inflation of an entry's zlib stream into a buffer of the expected
// size; empty on any error or when the stream does not fill the buffer exactly.
QByteArray Inflate(const char* stream, qint32 packedSize, qint32 size);
// The stream inflates, whole, to no bytes at all.
bool InflatesToNothing(const char* stream, qint32 packedSize);

} // namespace quelnet::package

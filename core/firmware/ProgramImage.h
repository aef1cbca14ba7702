#pragma once
// The CPU program image of the controller and its copy in the DataFlash.
//
// A program image in the package is 131,072 bytes of raw binary. Bytes
// 0-0x1D7FF of it (the size of the "prog.bin" slot) are carried into the
// DataFlash at 0x2900; bytes 0x1D7FC-0x1D7FF hold the check word, WordCrc over
// bytes 0-0x1D7FF with the check bytes zero, stored little-endian.
//
// The update tool seals an image before it copies it; a controller (or the
// simulator) checks the copy (ProgramSeal.h).
//
// The program images of this program's package carry their version text
// ("V4.0.1f", "V2.1.4") as zero-padded ASCII at VersionTextOffset, and
// the hardware variant and language ("A PL", "C LT"; empty for the image common
// to all languages) at VariantTextOffset, both inside the copied part, so
// that a simulated controller can tell which program it was given.

#include "core/firmware/ProgramSeal.h"

#include <QByteArray>
#include <QString>

namespace quelnet::program {

inline constexpr int ImageSize = 131072;
inline constexpr quint32 CopyAddress = 0x2900;               // in the DataFlash, page 41
inline constexpr int CopySize = int(firmware::SealedLength); // bytes of the image that are copied
inline constexpr int VersionTextOffset = 0x200;
inline constexpr int VariantTextOffset = 0x210;
inline constexpr int TextFieldSize = 16;

// The zero-terminated ASCII text of a 16-byte field at offset of a program image
// or copy; empty when the bytes do not reach it.
inline QString FieldText(const QByteArray& program, int offset) {
    if (offset < 0 || program.size() < offset + TextFieldSize)
        return {};
    const QByteArray field = program.mid(offset, TextFieldSize);
    const qsizetype end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end));
}

inline QString VersionText(const QByteArray& program) {
    return FieldText(program, VersionTextOffset);
}
inline QString VariantText(const QByteArray& program) {
    return FieldText(program, VariantTextOffset);
}

} // namespace quelnet::program

#pragma once
// The check word of a controller program. The update tool stores it in the
// program before the program is copied into the DataFlash image (at 0x2900);
// the controller checks it when the update starts and installs only a program
// whose word matches.
//
// The word covers the first 0x1D800 bytes of the program (the size of the
// program copy in the DataFlash) and sits in their last four bytes:
//   0x00000 .. 0x1D7FB   program bytes
//   0x1D7FC .. 0x1D7FF   WordCrc of bytes 0 .. 0x1D7FF taken with these four
//                        bytes zero, stored little-endian (bits 7-0 first)

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace quelnet::firmware {

inline constexpr std::size_t SealedLength = 0x1D800;    // bytes covered and carried into the DataFlash
inline constexpr std::size_t CheckWordOffset = 0x1D7FC; // the four check bytes

// The check word of the first SealedLength bytes, with the check bytes taken
// as zero. The program must hold at least SealedLength bytes.
std::uint32_t ProgramCheckWord(const std::uint8_t* program);

// Stores the check word. False (nothing written) when the program is shorter
// than SealedLength.
bool SealProgram(std::uint8_t* program, std::size_t length);
bool SealProgram(QByteArray& program);

// True when the program holds at least SealedLength bytes and its stored check
// word matches.
bool CheckProgramSeal(const std::uint8_t* program, std::size_t length);
bool CheckProgramSeal(const QByteArray& program);

} // namespace quelnet::firmware

#pragma once
// The reflected CRC-32 of CrcUpdate by carry-less multiplication (PCLMULQDQ):
// 64 bytes per round folded into four 128-bit lanes, then reduced to 32 bits
// (Barrett). Used where the processor has the instruction.

#include <cstdint>

namespace quelnet::crcfold {

// True when this build has the folding code and the processor runs it.
bool Available();
// Continues `crc` (no complement before or after) over `length` bytes;
// `length` is a multiple of 16 and at least 64. Only when Available().
std::uint32_t Fold(std::uint32_t crc, const unsigned char* data, std::uint32_t length);

} // namespace quelnet::crcfold

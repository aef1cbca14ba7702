#pragma once
// The two 32-bit checksums of the system.
//
// CrcUpdate: reflected CRC-32 (polynomial 0x04C11DB7, reflected 0xEDB88320) with
// initial value 0 and no final complement; verifies firmware package entries.
// WordCrc: bit-serial CRC over little-endian 32-bit words (0x04C11DB7, initial
// 0xFFFFFFFF, no final complement); password digests and the sealed program image.
// Neither can be chained: every call starts from its fixed initial value.

#include <cstdint>

namespace quelnet {

std::uint32_t CrcUpdate(const void* data, std::uint32_t length);
std::uint32_t WordCrc(const void* data, std::uint32_t length);

} // namespace quelnet

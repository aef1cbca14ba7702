#pragma once
// A picture of palette indices, as the GIF and JPEG writers take it.

#include <cstdint>
#include <vector>

namespace quelnet::content {

struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB; GIF: up to 256 entries
    std::vector<std::uint8_t> pixels;   // width * height indices, row by row
};

} // namespace quelnet::content

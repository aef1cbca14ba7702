#include "Pictures.h"

#include "GifWriter.h"
#include "JpegWriter.h"

#include <cmath>
#include <functional>

namespace quelnet::content {

namespace {

constexpr int Shades = 14; // palette: 0 background, 1 outline, 2-15 a ramp
constexpr int BayerDither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
const QByteArray kComment = "QuelNet - grafika sterownika. ";

// Hues of the ramps; variant picks one.
constexpr std::uint32_t kHues[] = {0x20C040, 0xE03020, 0xF0B000, 0x2060E0, 0x808080, 0x00A0A0};

std::vector<std::uint32_t> RampPalette(std::uint32_t hue) {
    std::vector<std::uint32_t> palette{0xFFFFFF, 0x202020};
    for (int i = 0; i < Shades; ++i) {
        std::uint32_t rgb = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const double c = double((hue >> shift) & 0xFF);
            const double t = double(i) / (Shades - 1); // dark to light
            rgb |= std::uint32_t(std::lround(c * (0.35 + 0.65 * t) + (255 - c) * 0.45 * t * t)) << shift;
        }
        palette.push_back(rgb);
    }
    return palette;
}

// Shape value at a point of the unit square: < 0 background, 0...1 shade, > 1 outline.
using Shape = std::function<double(double x, double y)>;

bool InSegment(int digit, double x, double y) {
    static const int segments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const int on = segments[digit % 10];
    const bool h = x > 0.3 && x<0.7, vl = x> 0.22 && x<0.32, vr = x> 0.68 && x < 0.78;
    const bool top = y<0.5, bottom = y> 0.5;
    return ((on & 1) && h && y > 0.12 && y < 0.2) || ((on & 2) && vr && top && y > 0.15) ||
           ((on & 4) && vr && bottom && y < 0.85) || ((on & 8) && h && y > 0.8 && y < 0.88) ||
           ((on & 16) && vl && bottom && y < 0.85) || ((on & 32) && vl && top && y > 0.15) ||
           ((on & 64) && h && y > 0.46 && y < 0.54);
}

Shape ShapeOf(Icon icon, int variant) {
    switch (icon) {
    case Icon::Lamp:
        return [](double x, double y) {
            const double r = std::hypot(x - 0.5, y - 0.5);
            if (r > 0.46)
                return -1.0;
            if (r > 0.42)
                return 2.0;
            return 1.0 - std::hypot(x - 0.38, y - 0.36) * 1.4;
        };
    case Icon::Button:
        return [](double x, double y) {
            const double dx = std::max(0.0, std::abs(x - 0.5) - 0.32),
                         dy = std::max(0.0, std::abs(y - 0.5) - 0.22);
            const double d = std::hypot(dx, dy);
            if (d > 0.12)
                return -1.0;
            if (d > 0.1)
                return 2.0;
            return 1.0 - y * 0.9;
        };
    case Icon::Arrow:
        return [variant](double x, double y) {
            const double u = variant % 2 ? 1.0 - x : x;
            if (std::abs(y - 0.5) > 0.45 * (1.0 - u) + 0.02)
                return -1.0;
            return 0.2 + 0.8 * u;
        };
    case Icon::Bar:
        return [variant](double x, double y) {
            const double level = 0.15 + 0.1 * (variant % 8);
            if (x < 0.08 || x > 0.92 || y < 0.05 || y > 0.95)
                return -1.0;
            if (x < 0.12 || x > 0.88 || y < 0.09 || y > 0.91)
                return 2.0;
            return 1.0 - y > level ? 0.1 : 0.4 + 0.6 * (1.0 - y);
        };
    case Icon::Digit:
        return [variant](double x, double y) {
            if (x < 0.05 || x > 0.95 || y < 0.03 || y > 0.97)
                return -1.0;
            return InSegment(variant, x, y) ? 1.0 : 0.05 + 0.1 * x;
        };
    }
    return {};
}

IndexedPicture Draw(const Shape& shape, std::uint32_t hue, int width, int height) {
    IndexedPicture p{width, height, RampPalette(hue), {}};
    p.pixels.reserve(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double v = shape((x + 0.5) / width, (y + 0.5) / height);
            if (v < 0 || v > 1.5) {
                p.pixels.push_back(v < 0 ? 0 : 1);
                continue;
            }
            const double level = std::clamp(v, 0.0, 1.0) * (Shades - 1) + BayerDither[y % 4][x % 4] / 16.0;
            p.pixels.push_back(std::uint8_t(2 + std::min(Shades - 1, int(level))));
        }
    return p;
}

// The largest scale (1...max) whose encoding fits in limit bytes; 0 when none.
int LargestFitting(int max, int limit, const std::function<int(int)>& encodedSize) {
    int lo = 0, hi = max;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (encodedSize(mid) <= limit)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

BlockPicture Photo(int variant, int blocksWide) {
    const int blocksHigh = blocksWide * 3 / 4 + 1;
    BlockPicture p{blocksWide, blocksHigh, {}};
    std::uint32_t noise = 2463534242u + std::uint32_t(variant);
    for (int by = 0; by < blocksHigh; ++by)
        for (int bx = 0; bx < blocksWide; ++bx) {
            const double x = (bx + 0.5) / blocksWide, y = (by + 0.5) / blocksHigh;
            const double hill = 0.65 + 0.12 * std::sin(x * 6.0 + variant) + 0.05 * std::sin(x * 17.0);
            const double sun = std::hypot(x - 0.75, y - 0.25) < 0.1 ? 90.0 : 0.0;
            double level = y > hill ? 60.0 + 40.0 * (y - hill) : 200.0 - 80.0 * y + sun;
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            level += double(noise % 17) - 8.0;
            p.levels.push_back(int(std::lround(std::clamp(level, 0.0, 255.0))));
        }
    return p;
}

} // namespace

QByteArray IconGif(Icon icon, int variant, int size) {
    const Shape shape = ShapeOf(icon, variant);
    const std::uint32_t hue = kHues[variant % 6];
    const auto encode = [&](int side) { return EncodeGif(Draw(shape, hue, side + 3, side)); };
    const int side = LargestFitting(160, size - 5, [&](int s) { return int(encode(s).size()); });
    if (side < 4)
        return {};
    return PadGif(encode(side), size, kComment);
}

QByteArray PhotoJpeg(int variant, int size) {
    const auto encode = [&](int blocks) { return EncodeJpeg(Photo(variant, blocks)); };
    const int blocks = LargestFitting(40, size - 4, [&](int b) { return int(encode(b).size()); });
    if (blocks < 2)
        return {};
    return PadJpeg(encode(blocks), size, kComment);
}

} // namespace quelnet::content

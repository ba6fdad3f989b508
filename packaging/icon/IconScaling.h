// Fits a picture whole into a square icon: area-weighted downscaling with premultiplied alpha.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tolva::icon {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // row by row, 4 bytes a pixel
};

// How much of the source interval [lo, hi) falls into source cell k.
inline double overlap(double lo, double hi, int k)
{
    const double a = std::max(lo, static_cast<double>(k));
    const double b = std::min(hi, static_cast<double>(k + 1));
    return b > a ? b - a : 0.0;
}

inline std::uint8_t toByte(double v)
{
    const double r = std::floor(v + 0.5);
    return static_cast<std::uint8_t>(std::clamp(r, 0.0, 255.0));
}

// The picture scaled by one factor (so its proportions stay) to the largest extent that fits
// size x size, centred; the uncovered border is fully transparent.
inline Pixels fitSquare(const Pixels& source, int size)
{
    Pixels out;
    out.width = size;
    out.height = size;
    out.rgba.assign(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4U, 0);
    if (source.width <= 0 || source.height <= 0 || size <= 0) {
        return out;
    }
    const int longest = std::max(source.width, source.height);
    const double scale = static_cast<double>(size) / static_cast<double>(longest);
    // The covered rectangle in icon pixels, centred; its edges may fall inside a pixel, whose
    // coverage then becomes partial alpha.
    const double coveredW = static_cast<double>(source.width) * scale;
    const double coveredH = static_cast<double>(source.height) * scale;
    const double left = (static_cast<double>(size) - coveredW) / 2.0;
    const double top = (static_cast<double>(size) - coveredH) / 2.0;

    for (int y = 0; y < size; ++y) {
        // This icon row's footprint in source rows.
        const double sy0 = std::clamp((static_cast<double>(y) - top) / scale, 0.0,
                                      static_cast<double>(source.height));
        const double sy1 = std::clamp((static_cast<double>(y + 1) - top) / scale, 0.0,
                                      static_cast<double>(source.height));
        if (sy1 <= sy0) {
            continue;
        }
        for (int x = 0; x < size; ++x) {
            const double sx0 = std::clamp((static_cast<double>(x) - left) / scale, 0.0,
                                          static_cast<double>(source.width));
            const double sx1 = std::clamp((static_cast<double>(x + 1) - left) / scale, 0.0,
                                          static_cast<double>(source.width));
            if (sx1 <= sx0) {
                continue;
            }
            double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
            const int ky0 = static_cast<int>(std::floor(sy0));
            const int ky1 = std::min(source.height - 1, static_cast<int>(std::ceil(sy1)) - 1);
            const int kx0 = static_cast<int>(std::floor(sx0));
            const int kx1 = std::min(source.width - 1, static_cast<int>(std::ceil(sx1)) - 1);
            for (int ky = ky0; ky <= ky1; ++ky) {
                const double wy = overlap(sy0, sy1, ky);
                for (int kx = kx0; kx <= kx1; ++kx) {
                    const double w = wy * overlap(sx0, sx1, kx);
                    const std::size_t at =
                        (static_cast<std::size_t>(ky) * static_cast<std::size_t>(source.width) +
                         static_cast<std::size_t>(kx)) * 4U;
                    const double alpha = static_cast<double>(source.rgba[at + 3]) / 255.0;
                    r += w * alpha * static_cast<double>(source.rgba[at + 0]);
                    g += w * alpha * static_cast<double>(source.rgba[at + 1]);
                    b += w * alpha * static_cast<double>(source.rgba[at + 2]);
                    a += w * alpha;
                }
            }
            // The pixel's whole area in source units: the uncovered part counts as transparent.
            const double area = (1.0 / scale) * (1.0 / scale);
            const std::size_t to =
                (static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                 static_cast<std::size_t>(x)) * 4U;
            if (a > 0.0) {
                out.rgba[to + 0] = toByte(r / a);
                out.rgba[to + 1] = toByte(g / a);
                out.rgba[to + 2] = toByte(b / a);
                out.rgba[to + 3] = toByte(255.0 * a / area);
            }
        }
    }
    return out;
}

}  // namespace tolva::icon

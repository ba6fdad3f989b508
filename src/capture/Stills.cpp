#include "capture/Stills.h"

#include <cmath>

namespace tolva {

const std::array<StillMoment, sceneCount>& stillMoments()
{
    // Moments where each scene shows what it is about: the credits, the cascade with its
    // wandering line, the scroller, the swirl, the three grids, the lattice with its character
    // and line, the vortex with its field, the frogs with the first closing line.
    static const std::array<StillMoment, sceneCount> moments = {{
        {1, 12.0}, {2, 16.0}, {3, 20.0}, {4, 25.0}, {5, 20.0}, {6, 14.0}, {7, 20.0}, {8, 20.0},
    }};
    return moments;
}

void StillPlan::sceneRan(int scene, long iteration)
{
    auto& first = firstIteration_[static_cast<std::size_t>(scene)];
    if (!first) {
        first = iteration;
    }
}

std::optional<long> StillPlan::iterationOf(int scene) const
{
    const auto& first = firstIteration_[static_cast<std::size_t>(scene)];
    if (!first) {
        return std::nullopt;
    }
    const double seconds = stillMoments()[static_cast<std::size_t>(scene - 1)].secondsIn;
    return *first + std::lround(seconds * fps_);
}

std::optional<int> StillPlan::stillAt(long k) const
{
    for (int scene = 1; scene <= static_cast<int>(sceneCount); ++scene) {
        if (iterationOf(scene) == k) {
            return scene;
        }
    }
    return std::nullopt;
}

sf::Image shrink(const sf::Image& image, unsigned factor)
{
    const sf::Vector2u size = image.getSize();
    const unsigned width = size.x / factor;
    const unsigned height = size.y / factor;
    sf::Image out;
    out.create(width, height, sf::Color::Black);
    const sf::Uint8* pixels = image.getPixelsPtr();
    const unsigned area = factor * factor;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            std::array<unsigned, 4> sum{};
            for (unsigned dy = 0; dy < factor; ++dy) {
                const sf::Uint8* row = pixels + (static_cast<std::size_t>(y * factor + dy) * size.x + x * factor) * 4;
                for (unsigned dx = 0; dx < factor; ++dx) {
                    for (unsigned c = 0; c < 4; ++c) {
                        sum[c] += row[dx * 4 + c];
                    }
                }
            }
            out.setPixel(x, y, sf::Color(static_cast<sf::Uint8>((sum[0] + area / 2) / area),
                                         static_cast<sf::Uint8>((sum[1] + area / 2) / area),
                                         static_cast<sf::Uint8>((sum[2] + area / 2) / area),
                                         static_cast<sf::Uint8>((sum[3] + area / 2) / area)));
        }
    }
    return out;
}

sf::Image contactSheet(const std::array<std::optional<sf::Image>, sceneCount>& stills)
{
    constexpr unsigned factor = 4;
    constexpr unsigned columns = 4;
    constexpr unsigned tileWidth = 1920 / factor;
    constexpr unsigned tileHeight = 1080 / factor;
    sf::Image sheet;
    sheet.create(columns * tileWidth, 2 * tileHeight, sf::Color::Black);
    for (unsigned k = 0; k < stills.size(); ++k) {
        if (!stills[k]) {
            continue;
        }
        const sf::Image tile = shrink(*stills[k], factor);
        sheet.copy(tile, (k % columns) * tileWidth, (k / columns) * tileHeight);
    }
    return sheet;
}

} // namespace tolva

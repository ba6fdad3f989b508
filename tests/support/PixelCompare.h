#pragma once

// Renders the same drawing twice into 1920x1080 render textures, once through the batched canvas
// and once shape by shape through SFML, and compares the pixels. Needs an X display.

#include "render/BatchCanvas.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include <functional>
#include <string>

namespace tolva::testing {

struct PixelDifference {
    std::size_t differing = 0;  // pixels that differ
    sf::Image batched;
    sf::Image direct;
};

inline PixelDifference compareBatchedWithDirect(const std::function<void(Canvas&)>& draw)
{
    PixelDifference result;
    sf::RenderTexture batchedTarget;
    sf::RenderTexture directTarget;
    batchedTarget.create(1920, 1080);
    directTarget.create(1920, 1080);

    BatchCanvas batched(&batchedTarget, nullptr);
    draw(batched);
    batched.flush();
    batchedTarget.display();

    DirectCanvas direct(directTarget);
    draw(direct);
    directTarget.display();

    result.batched = batchedTarget.getTexture().copyToImage();
    result.direct = directTarget.getTexture().copyToImage();
    const sf::Uint8* a = result.batched.getPixelsPtr();
    const sf::Uint8* b = result.direct.getPixelsPtr();
    for (std::size_t p = 0; p < 1920u * 1080u; ++p) {
        if (a[4 * p] != b[4 * p] || a[4 * p + 1] != b[4 * p + 1] || a[4 * p + 2] != b[4 * p + 2]
            || a[4 * p + 3] != b[4 * p + 3]) {
            ++result.differing;
        }
    }
    return result;
}

} // namespace tolva::testing

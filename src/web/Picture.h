#pragma once

#include "render/Occlusion.h"

#include <algorithm>

namespace tolva::web {

// The show's picture, as the native letterbox has it (render/Letterbox.h, which needs SFML's
// render targets).
constexpr unsigned showWidth = 1920;
constexpr unsigned showHeight = 1080;

// Where the 1920x1080 picture lies on a canvas of the given size: scaled to fit and centred, in
// GL's pixels from the bottom left, worked out and rounded as the native letterbox and SFML's
// viewport have it, so that the page's bars are the window's.
inline PixelRect picturePixels(int canvasWidth, int canvasHeight)
{
    const float width = static_cast<float>(canvasWidth);
    const float height = static_cast<float>(canvasHeight);
    const float scale = std::min(width / static_cast<float>(showWidth), height / static_cast<float>(showHeight));
    const float viewportWidth = static_cast<float>(showWidth) * scale / width;
    const float viewportHeight = static_cast<float>(showHeight) * scale / height;
    const float left = (1 - viewportWidth) / 2;
    const float top = (1 - viewportHeight) / 2;
    // sf::RenderTarget::getViewport's rounding, then GL's rows counted from the bottom.
    const int x = static_cast<int>(0.5f + width * left);
    const int y = static_cast<int>(0.5f + height * top);
    const int w = static_cast<int>(0.5f + width * viewportWidth);
    const int h = static_cast<int>(0.5f + height * viewportHeight);
    return {x, canvasHeight - (y + h), w, h};
}

} // namespace tolva::web

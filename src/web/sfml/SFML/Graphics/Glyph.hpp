#pragma once

#include <SFML/Graphics/Rect.hpp>

namespace sf {

class Glyph {
public:
    Glyph() : advance(0) {}

    float advance;
    FloatRect bounds;
    IntRect textureRect;
};

} // namespace sf

#pragma once

// Comparing floats the way the show's pictures depend on them: bit for bit.

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tolva::testing {

inline std::uint32_t bitsOf(float x)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// FNV-1a over what a frame gives every cell, in drawing order: a whole grid in one number, to
// compare with the same digest taken from a separate emulation of the formulas. Every NaN counts
// as one value (the show cannot tell them apart).
class GridDigest {
public:
    void byte(std::uint8_t b) { hash_ = (hash_ ^ b) * 0x100000001b3ull; }
    void word(float x)
    {
        const std::uint32_t w = std::isnan(x) ? 0x7fc00000u : bitsOf(x);
        for (int k = 0; k < 32; k += 8) {
            byte(static_cast<std::uint8_t>(w >> k));
        }
    }
    void look(sf::Color fill, sf::Vector2f position)
    {
        byte(fill.r);
        byte(fill.g);
        byte(fill.b);
        word(position.x);
        word(position.y);
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

} // namespace tolva::testing

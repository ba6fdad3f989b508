#pragma once

// Small helpers for the scene formulas. The formulas mix float and double on purpose, and the
// exact mix is what the show looks like, so every change of precision is spelled out with these.

#include <SFML/Graphics/Color.hpp>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tolva {

constexpr double wide(float x) { return static_cast<double>(x); }
constexpr float narrow(double x) { return static_cast<float>(x); }
constexpr float asFloat(int x) { return static_cast<float>(x); }

// The same bits: a NaN equals itself, and 0 and -0 differ (both matter to a shape).
inline bool sameBits(float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// int(x): truncation toward zero to a signed 32-bit integer. Values that do not fit (NaN and the
// infinities included) give 0, so that what is undefined in C++ becomes one fixed answer.
inline std::int32_t truncate32(double x)
{
    if (!(x > -2147483649.0 && x < 2147483648.0)) {
        return 0;
    }
    return static_cast<std::int32_t>(x);
}

// int(x) of a float.
inline std::int32_t intOf(float x) { return truncate32(wide(x)); }

// low8(n): the low 8 bits of an integer, as a colour byte.
constexpr std::uint8_t low8(std::int64_t n) { return static_cast<std::uint8_t>(n & 0xff); }

// How every computed colour component becomes a byte: it wraps, it never saturates.
inline std::uint8_t wrapChannel(double x) { return low8(truncate32(x)); }
inline std::uint8_t wrapChannel(float x) { return wrapChannel(wide(x)); }

inline sf::Color wrappedColor(float r, float g, float b, std::uint8_t a = 255)
{
    return sf::Color(wrapChannel(r), wrapChannel(g), wrapChannel(b), a);
}

// The heptagons of scenes 5 and 7.
constexpr float heptagonRadius = 15.0f;
constexpr std::size_t heptagonPoints = 7;

// The single-precision pi of the formulas (3.14159274).
constexpr float piF = 3.14159265358979323846f;

} // namespace tolva

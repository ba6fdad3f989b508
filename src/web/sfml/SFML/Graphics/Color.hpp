#pragma once

#include <SFML/Config.hpp>

namespace sf {

class Color {
public:
    Color() : r(0), g(0), b(0), a(255) {}
    Color(Uint8 red, Uint8 green, Uint8 blue, Uint8 alpha = 255) : r(red), g(green), b(blue), a(alpha) {}
    explicit Color(Uint32 color)
        : r(static_cast<Uint8>((color & 0xff000000) >> 24)), g(static_cast<Uint8>((color & 0x00ff0000) >> 16)),
          b(static_cast<Uint8>((color & 0x0000ff00) >> 8)), a(static_cast<Uint8>(color & 0x000000ff))
    {
    }
    Uint32 toInteger() const
    {
        return static_cast<Uint32>((r << 24) | (g << 16) | (b << 8) | a);
    }

    static const Color Black;
    static const Color White;
    static const Color Red;
    static const Color Green;
    static const Color Blue;
    static const Color Yellow;
    static const Color Magenta;
    static const Color Cyan;
    static const Color Transparent;

    Uint8 r;
    Uint8 g;
    Uint8 b;
    Uint8 a;
};

inline bool operator==(const Color& left, const Color& right)
{
    return left.r == right.r && left.g == right.g && left.b == right.b && left.a == right.a;
}
inline bool operator!=(const Color& left, const Color& right) { return !(left == right); }

namespace priv {
inline Uint8 clampedSum(int x, int y) { return static_cast<Uint8>(x + y < 255 ? x + y : 255); }
inline Uint8 clampedDifference(int x, int y) { return static_cast<Uint8>(x - y > 0 ? x - y : 0); }
inline Uint8 scaledProduct(int x, int y) { return static_cast<Uint8>(x * y / 255); }
} // namespace priv

inline Color operator+(const Color& left, const Color& right)
{
    return Color(priv::clampedSum(left.r, right.r), priv::clampedSum(left.g, right.g),
                 priv::clampedSum(left.b, right.b), priv::clampedSum(left.a, right.a));
}
inline Color operator-(const Color& left, const Color& right)
{
    return Color(priv::clampedDifference(left.r, right.r), priv::clampedDifference(left.g, right.g),
                 priv::clampedDifference(left.b, right.b), priv::clampedDifference(left.a, right.a));
}
inline Color operator*(const Color& left, const Color& right)
{
    return Color(priv::scaledProduct(left.r, right.r), priv::scaledProduct(left.g, right.g),
                 priv::scaledProduct(left.b, right.b), priv::scaledProduct(left.a, right.a));
}
inline Color& operator+=(Color& left, const Color& right) { return left = left + right; }
inline Color& operator-=(Color& left, const Color& right) { return left = left - right; }
inline Color& operator*=(Color& left, const Color& right) { return left = left * right; }

} // namespace sf

#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf {
namespace Glsl {

using Vec2 = Vector2<float>;

struct Vec4 {
    Vec4() : x(0), y(0), z(0), w(0) {}
    Vec4(float X, float Y, float Z, float W) : x(X), y(Y), z(Z), w(W) {}
    // A colour as the shader sees it: each channel over 255.
    Vec4(const Color& color)
        : x(color.r / 255.f), y(color.g / 255.f), z(color.b / 255.f), w(color.a / 255.f)
    {
    }

    float x;
    float y;
    float z;
    float w;
};

} // namespace Glsl
} // namespace sf

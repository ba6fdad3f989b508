#pragma once

#include <SFML/System/Vector2.hpp>

#include <algorithm>

namespace sf {

template <typename T>
class Rect {
public:
    Rect() : left(0), top(0), width(0), height(0) {}
    Rect(T rectLeft, T rectTop, T rectWidth, T rectHeight)
        : left(rectLeft), top(rectTop), width(rectWidth), height(rectHeight)
    {
    }
    Rect(const Vector2<T>& position, const Vector2<T>& size)
        : left(position.x), top(position.y), width(size.x), height(size.y)
    {
    }
    template <typename U>
    explicit Rect(const Rect<U>& rectangle)
        : left(static_cast<T>(rectangle.left)), top(static_cast<T>(rectangle.top)),
          width(static_cast<T>(rectangle.width)), height(static_cast<T>(rectangle.height))
    {
    }

    // Left and top edges inside, right and bottom outside, whichever way the size points.
    bool contains(T x, T y) const
    {
        const T minX = std::min(left, static_cast<T>(left + width));
        const T maxX = std::max(left, static_cast<T>(left + width));
        const T minY = std::min(top, static_cast<T>(top + height));
        const T maxY = std::max(top, static_cast<T>(top + height));
        return x >= minX && x < maxX && y >= minY && y < maxY;
    }
    bool contains(const Vector2<T>& point) const { return contains(point.x, point.y); }

    T left;
    T top;
    T width;
    T height;
};

template <typename T>
bool operator==(const Rect<T>& left, const Rect<T>& right)
{
    return left.left == right.left && left.width == right.width && left.top == right.top
           && left.height == right.height;
}
template <typename T>
bool operator!=(const Rect<T>& left, const Rect<T>& right) { return !(left == right); }

using IntRect = Rect<int>;
using FloatRect = Rect<float>;

} // namespace sf

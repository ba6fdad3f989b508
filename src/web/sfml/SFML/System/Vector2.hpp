#pragma once

namespace sf {

template <typename T>
class Vector2 {
public:
    Vector2() : x(0), y(0) {}
    Vector2(T X, T Y) : x(X), y(Y) {}
    template <typename U>
    explicit Vector2(const Vector2<U>& vector) : x(static_cast<T>(vector.x)), y(static_cast<T>(vector.y))
    {
    }

    T x;
    T y;
};

template <typename T>
Vector2<T> operator-(const Vector2<T>& right) { return Vector2<T>(-right.x, -right.y); }
template <typename T>
Vector2<T>& operator+=(Vector2<T>& left, const Vector2<T>& right)
{
    left.x += right.x;
    left.y += right.y;
    return left;
}
template <typename T>
Vector2<T>& operator-=(Vector2<T>& left, const Vector2<T>& right)
{
    left.x -= right.x;
    left.y -= right.y;
    return left;
}
template <typename T>
Vector2<T> operator+(const Vector2<T>& left, const Vector2<T>& right)
{
    return Vector2<T>(left.x + right.x, left.y + right.y);
}
template <typename T>
Vector2<T> operator-(const Vector2<T>& left, const Vector2<T>& right)
{
    return Vector2<T>(left.x - right.x, left.y - right.y);
}
template <typename T>
Vector2<T> operator*(const Vector2<T>& left, T right) { return Vector2<T>(left.x * right, left.y * right); }
template <typename T>
Vector2<T> operator*(T left, const Vector2<T>& right) { return Vector2<T>(right.x * left, right.y * left); }
template <typename T>
Vector2<T>& operator*=(Vector2<T>& left, T right)
{
    left.x *= right;
    left.y *= right;
    return left;
}
template <typename T>
Vector2<T> operator/(const Vector2<T>& left, T right) { return Vector2<T>(left.x / right, left.y / right); }
template <typename T>
Vector2<T>& operator/=(Vector2<T>& left, T right)
{
    left.x /= right;
    left.y /= right;
    return left;
}
template <typename T>
bool operator==(const Vector2<T>& left, const Vector2<T>& right) { return left.x == right.x && left.y == right.y; }
template <typename T>
bool operator!=(const Vector2<T>& left, const Vector2<T>& right) { return !(left == right); }

using Vector2i = Vector2<int>;
using Vector2u = Vector2<unsigned int>;
using Vector2f = Vector2<float>;

} // namespace sf

#include <SFML/Graphics/Transform.hpp>

#include <cmath>

// Every product and sum below is written in SFML's order: a reordered sum can differ in the last
// bit, and the show's vanishing shapes depend on those bits.
namespace sf {

const Transform Transform::Identity;

Transform::Transform()
    : m_matrix{1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f}
{
}

Transform::Transform(float a00, float a01, float a02, float a10, float a11, float a12, float a20, float a21,
                     float a22)
    : m_matrix{a00, a10, 0.f, a20, a01, a11, 0.f, a21, 0.f, 0.f, 1.f, 0.f, a02, a12, 0.f, a22}
{
}

Transform Transform::getInverse() const
{
    const float* m = m_matrix;
    const float det = m[0] * (m[15] * m[5] - m[7] * m[13]) - m[1] * (m[15] * m[4] - m[7] * m[12])
                      + m[3] * (m[13] * m[4] - m[5] * m[12]);
    if (det == 0.f) {
        return Identity;
    }
    return Transform((m[15] * m[5] - m[7] * m[13]) / det, -(m[15] * m[4] - m[7] * m[12]) / det,
                     (m[13] * m[4] - m[5] * m[12]) / det, -(m[15] * m[1] - m[3] * m[13]) / det,
                     (m[15] * m[0] - m[3] * m[12]) / det, -(m[13] * m[0] - m[1] * m[12]) / det,
                     (m[7] * m[1] - m[3] * m[5]) / det, -(m[7] * m[0] - m[3] * m[4]) / det,
                     (m[5] * m[0] - m[1] * m[4]) / det);
}

Vector2f Transform::transformPoint(float x, float y) const
{
    return Vector2f(m_matrix[0] * x + m_matrix[4] * y + m_matrix[12],
                    m_matrix[1] * x + m_matrix[5] * y + m_matrix[13]);
}

FloatRect Transform::transformRect(const FloatRect& rectangle) const
{
    const Vector2f points[] = {transformPoint(rectangle.left, rectangle.top),
                               transformPoint(rectangle.left, rectangle.top + rectangle.height),
                               transformPoint(rectangle.left + rectangle.width, rectangle.top),
                               transformPoint(rectangle.left + rectangle.width, rectangle.top + rectangle.height)};
    float left = points[0].x;
    float top = points[0].y;
    float right = points[0].x;
    float bottom = points[0].y;
    for (int i = 1; i < 4; ++i) {
        if (points[i].x < left) {
            left = points[i].x;
        } else if (points[i].x > right) {
            right = points[i].x;
        }
        if (points[i].y < top) {
            top = points[i].y;
        } else if (points[i].y > bottom) {
            bottom = points[i].y;
        }
    }
    return FloatRect(left, top, right - left, bottom - top);
}

Transform& Transform::combine(const Transform& transform)
{
    const float* a = m_matrix;
    const float* b = transform.m_matrix;
    *this = Transform(a[0] * b[0] + a[4] * b[1] + a[12] * b[3], a[0] * b[4] + a[4] * b[5] + a[12] * b[7],
                      a[0] * b[12] + a[4] * b[13] + a[12] * b[15], a[1] * b[0] + a[5] * b[1] + a[13] * b[3],
                      a[1] * b[4] + a[5] * b[5] + a[13] * b[7], a[1] * b[12] + a[5] * b[13] + a[13] * b[15],
                      a[3] * b[0] + a[7] * b[1] + a[15] * b[3], a[3] * b[4] + a[7] * b[5] + a[15] * b[7],
                      a[3] * b[12] + a[7] * b[13] + a[15] * b[15]);
    return *this;
}

Transform& Transform::translate(float x, float y)
{
    const Transform translation(1, 0, x, 0, 1, y, 0, 0, 1);
    return combine(translation);
}

Transform& Transform::rotate(float angle)
{
    const float rad = angle * 3.141592654f / 180.f;
    const float cos = std::cos(rad);
    const float sin = std::sin(rad);
    const Transform rotation(cos, -sin, 0, sin, cos, 0, 0, 0, 1);
    return combine(rotation);
}

Transform& Transform::rotate(float angle, float centerX, float centerY)
{
    const float rad = angle * 3.141592654f / 180.f;
    const float cos = std::cos(rad);
    const float sin = std::sin(rad);
    const Transform rotation(cos, -sin, centerX * (1 - cos) + centerY * sin, sin, cos,
                             centerY * (1 - cos) - centerX * sin, 0, 0, 1);
    return combine(rotation);
}

Transform& Transform::scale(float scaleX, float scaleY)
{
    const Transform scaling(scaleX, 0, 0, 0, scaleY, 0, 0, 0, 1);
    return combine(scaling);
}

Transform& Transform::scale(float scaleX, float scaleY, float centerX, float centerY)
{
    const Transform scaling(scaleX, 0, centerX * (1 - scaleX), 0, scaleY, centerY * (1 - scaleY), 0, 0, 1);
    return combine(scaling);
}

} // namespace sf

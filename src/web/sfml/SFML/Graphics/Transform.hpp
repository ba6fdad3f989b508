#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

namespace sf {

// A 3x3 affine transform kept as a column-major 4x4 matrix, with SFML's arithmetic in SFML's
// order of operations (results equal to the last bit).
class Transform {
public:
    Transform();
    Transform(float a00, float a01, float a02, float a10, float a11, float a12, float a20, float a21, float a22);

    const float* getMatrix() const { return m_matrix; }
    Transform getInverse() const;
    Vector2f transformPoint(float x, float y) const;
    Vector2f transformPoint(const Vector2f& point) const { return transformPoint(point.x, point.y); }
    FloatRect transformRect(const FloatRect& rectangle) const;

    Transform& combine(const Transform& transform);
    Transform& translate(float x, float y);
    Transform& translate(const Vector2f& offset) { return translate(offset.x, offset.y); }
    Transform& rotate(float angle);
    Transform& rotate(float angle, float centerX, float centerY);
    Transform& rotate(float angle, const Vector2f& center) { return rotate(angle, center.x, center.y); }
    Transform& scale(float scaleX, float scaleY);
    Transform& scale(float scaleX, float scaleY, float centerX, float centerY);
    Transform& scale(const Vector2f& factors) { return scale(factors.x, factors.y); }
    Transform& scale(const Vector2f& factors, const Vector2f& center)
    {
        return scale(factors.x, factors.y, center.x, center.y);
    }

    static const Transform Identity;

private:
    float m_matrix[16];
};

inline Transform operator*(const Transform& left, const Transform& right) { return Transform(left).combine(right); }
inline Transform& operator*=(Transform& left, const Transform& right) { return left.combine(right); }
inline Vector2f operator*(const Transform& left, const Vector2f& right) { return left.transformPoint(right); }

} // namespace sf

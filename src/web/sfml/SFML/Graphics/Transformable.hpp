#pragma once

#include <SFML/Graphics/Transform.hpp>

namespace sf {

class Transformable {
public:
    Transformable();
    virtual ~Transformable() = default;

    void setPosition(float x, float y);
    void setPosition(const Vector2f& position) { setPosition(position.x, position.y); }
    void setRotation(float angle);
    void setScale(float factorX, float factorY);
    void setScale(const Vector2f& factors) { setScale(factors.x, factors.y); }
    void setOrigin(float x, float y);
    void setOrigin(const Vector2f& origin) { setOrigin(origin.x, origin.y); }
    const Vector2f& getPosition() const { return m_position; }
    float getRotation() const { return m_rotation; }
    const Vector2f& getScale() const { return m_scale; }
    const Vector2f& getOrigin() const { return m_origin; }
    void move(float offsetX, float offsetY);
    void move(const Vector2f& offset) { move(offset.x, offset.y); }
    void rotate(float angle);
    void scale(float factorX, float factorY);
    void scale(const Vector2f& factor) { scale(factor.x, factor.y); }
    const Transform& getTransform() const;
    const Transform& getInverseTransform() const;

private:
    Vector2f m_origin;
    Vector2f m_position;
    float m_rotation;
    Vector2f m_scale;
    mutable Transform m_transform;
    mutable bool m_transformNeedUpdate;
    mutable Transform m_inverseTransform;
    mutable bool m_inverseTransformNeedUpdate;
};

} // namespace sf

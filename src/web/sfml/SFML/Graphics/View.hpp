#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Transform.hpp>

namespace sf {

class View {
public:
    View();
    explicit View(const FloatRect& rectangle);
    View(const Vector2f& center, const Vector2f& size);

    void setCenter(float x, float y);
    void setCenter(const Vector2f& center) { setCenter(center.x, center.y); }
    void setSize(float width, float height);
    void setSize(const Vector2f& size) { setSize(size.x, size.y); }
    void setRotation(float angle);
    void setViewport(const FloatRect& viewport) { m_viewport = viewport; }
    void reset(const FloatRect& rectangle);
    const Vector2f& getCenter() const { return m_center; }
    const Vector2f& getSize() const { return m_size; }
    float getRotation() const { return m_rotation; }
    const FloatRect& getViewport() const { return m_viewport; }
    void move(float offsetX, float offsetY) { setCenter(m_center.x + offsetX, m_center.y + offsetY); }
    void move(const Vector2f& offset) { setCenter(m_center + offset); }
    void rotate(float angle) { setRotation(m_rotation + angle); }
    void zoom(float factor) { setSize(m_size.x * factor, m_size.y * factor); }
    const Transform& getTransform() const;

private:
    Vector2f m_center;
    Vector2f m_size;
    float m_rotation;
    FloatRect m_viewport;
    mutable Transform m_transform;
    mutable bool m_transformUpdated;
};

} // namespace sf

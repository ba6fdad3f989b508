#include <SFML/Graphics/View.hpp>

#include <cmath>

namespace sf {

View::View() : m_center(), m_size(), m_rotation(0), m_viewport(0, 0, 1, 1), m_transformUpdated(false)
{
    reset(FloatRect(0, 0, 1000, 1000));
}

View::View(const FloatRect& rectangle)
    : m_center(), m_size(), m_rotation(0), m_viewport(0, 0, 1, 1), m_transformUpdated(false)
{
    reset(rectangle);
}

View::View(const Vector2f& center, const Vector2f& size)
    : m_center(center), m_size(size), m_rotation(0), m_viewport(0, 0, 1, 1), m_transformUpdated(false)
{
}

void View::setCenter(float x, float y)
{
    m_center.x = x;
    m_center.y = y;
    m_transformUpdated = false;
}

void View::setSize(float width, float height)
{
    m_size.x = width;
    m_size.y = height;
    m_transformUpdated = false;
}

void View::setRotation(float angle)
{
    m_rotation = static_cast<float>(std::fmod(static_cast<double>(angle), 360.0));
    if (m_rotation < 0) {
        m_rotation += 360.f;
    }
    m_transformUpdated = false;
}

void View::reset(const FloatRect& rectangle)
{
    m_center.x = rectangle.left + rectangle.width / 2.f;
    m_center.y = rectangle.top + rectangle.height / 2.f;
    m_size.x = rectangle.width;
    m_size.y = rectangle.height;
    m_rotation = 0;
    m_transformUpdated = false;
}

const Transform& View::getTransform() const
{
    if (!m_transformUpdated) {
        const float angle = m_rotation * 3.141592654f / 180.f;
        const float cosine = std::cos(angle);
        const float sine = std::sin(angle);
        const float tx = -m_center.x * cosine - m_center.y * sine + m_center.x;
        const float ty = m_center.x * sine - m_center.y * cosine + m_center.y;

        // The projection: a view of size (w, h) spans clip space's [-1, 1] both ways.
        const float a = 2.f / m_size.x;
        const float b = -2.f / m_size.y;
        const float c = -a * m_center.x;
        const float d = -b * m_center.y;
        m_transform = Transform(a * cosine, a * sine, a * tx + c, -b * sine, b * cosine, b * ty + d, 0.f, 0.f, 1.f);
        m_transformUpdated = true;
    }
    return m_transform;
}

} // namespace sf

#include <SFML/Graphics/Transformable.hpp>

#include <cmath>

namespace sf {

Transformable::Transformable()
    : m_origin(0, 0), m_position(0, 0), m_rotation(0), m_scale(1, 1), m_transform(),
      m_transformNeedUpdate(true), m_inverseTransform(), m_inverseTransformNeedUpdate(true)
{
}

void Transformable::setPosition(float x, float y)
{
    m_position.x = x;
    m_position.y = y;
    m_transformNeedUpdate = true;
    m_inverseTransformNeedUpdate = true;
}

void Transformable::setRotation(float angle)
{
    // fmod is exact, so taking it in double changes nothing.
    m_rotation = static_cast<float>(std::fmod(static_cast<double>(angle), 360.0));
    if (m_rotation < 0) {
        m_rotation += 360.f;
    }
    m_transformNeedUpdate = true;
    m_inverseTransformNeedUpdate = true;
}

void Transformable::setScale(float factorX, float factorY)
{
    m_scale.x = factorX;
    m_scale.y = factorY;
    m_transformNeedUpdate = true;
    m_inverseTransformNeedUpdate = true;
}

void Transformable::setOrigin(float x, float y)
{
    m_origin.x = x;
    m_origin.y = y;
    m_transformNeedUpdate = true;
    m_inverseTransformNeedUpdate = true;
}

void Transformable::move(float offsetX, float offsetY) { setPosition(m_position.x + offsetX, m_position.y + offsetY); }

void Transformable::rotate(float angle) { setRotation(m_rotation + angle); }

void Transformable::scale(float factorX, float factorY) { setScale(m_scale.x * factorX, m_scale.y * factorY); }

const Transform& Transformable::getTransform() const
{
    if (m_transformNeedUpdate) {
        const float angle = -m_rotation * 3.141592654f / 180.f;
        const float cosine = std::cos(angle);
        const float sine = std::sin(angle);
        const float sxc = m_scale.x * cosine;
        const float syc = m_scale.y * cosine;
        const float sxs = m_scale.x * sine;
        const float sys = m_scale.y * sine;
        const float tx = -m_origin.x * sxc - m_origin.y * sys + m_position.x;
        const float ty = m_origin.x * sxs - m_origin.y * syc + m_position.y;
        m_transform = Transform(sxc, sys, tx, -sxs, syc, ty, 0.f, 0.f, 1.f);
        m_transformNeedUpdate = false;
    }
    return m_transform;
}

const Transform& Transformable::getInverseTransform() const
{
    if (m_inverseTransformNeedUpdate) {
        m_inverseTransform = getTransform().getInverse();
        m_inverseTransformNeedUpdate = false;
    }
    return m_inverseTransform;
}

} // namespace sf

#include <SFML/Graphics/Sprite.hpp>

#include <cstdlib>

namespace sf {

Sprite::Sprite() : m_texture(nullptr), m_textureRect(), m_color(255, 255, 255) {}

Sprite::Sprite(const Texture& texture) : Sprite() { setTexture(texture); }

Sprite::Sprite(const Texture& texture, const IntRect& rectangle) : Sprite()
{
    setTexture(texture);
    setTextureRect(rectangle);
}

void Sprite::setTexture(const Texture& texture, bool resetRect)
{
    // A sprite that never had a texture or a rectangle takes the whole picture.
    if (resetRect || (m_texture == nullptr && m_textureRect == IntRect())) {
        setTextureRect(IntRect(0, 0, static_cast<int>(texture.getSize().x), static_cast<int>(texture.getSize().y)));
    }
    m_texture = &texture;
}

FloatRect Sprite::getLocalBounds() const
{
    const float width = static_cast<float>(std::abs(m_textureRect.width));
    const float height = static_cast<float>(std::abs(m_textureRect.height));
    return FloatRect(0.f, 0.f, width, height);
}

std::array<Vertex, 4> Sprite::getVertices() const
{
    const FloatRect bounds = getLocalBounds();
    const float left = static_cast<float>(m_textureRect.left);
    const float right = left + static_cast<float>(m_textureRect.width);
    const float top = static_cast<float>(m_textureRect.top);
    const float bottom = top + static_cast<float>(m_textureRect.height);
    return {Vertex(Vector2f(0, 0), m_color, Vector2f(left, top)),
            Vertex(Vector2f(0, bounds.height), m_color, Vector2f(left, bottom)),
            Vertex(Vector2f(bounds.width, 0), m_color, Vector2f(right, top)),
            Vertex(Vector2f(bounds.width, bounds.height), m_color, Vector2f(right, bottom))};
}

} // namespace sf

#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <array>

namespace sf {

class Sprite : public Transformable {
public:
    Sprite();
    explicit Sprite(const Texture& texture);
    Sprite(const Texture& texture, const IntRect& rectangle);

    void setTexture(const Texture& texture, bool resetRect = false);
    void setTextureRect(const IntRect& rectangle) { m_textureRect = rectangle; }
    void setColor(const Color& color) { m_color = color; }
    const Texture* getTexture() const { return m_texture; }
    const IntRect& getTextureRect() const { return m_textureRect; }
    const Color& getColor() const { return m_color; }
    FloatRect getLocalBounds() const;
    FloatRect getGlobalBounds() const { return getTransform().transformRect(getLocalBounds()); }

    // The sprite's four corners in its own coordinates, as a triangle strip (top left, bottom
    // left, top right, bottom right), texture coordinates in pixels.
    std::array<Vertex, 4> getVertices() const;

private:
    const Texture* m_texture;
    IntRect m_textureRect;
    Color m_color;
};

} // namespace sf

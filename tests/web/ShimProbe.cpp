// Compiled with `sf` renamed, on the browser build's headers (see ShimTests.cmake).

#include "ShimProbe.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/System/Time.hpp>

#include <cstring>
#include <memory>

namespace tolva::shim {
namespace {

Matrix matrixOf(const sf::Transform& transform)
{
    Matrix out;
    std::memcpy(out.data(), transform.getMatrix(), sizeof(float) * 16);
    return out;
}

void place(sf::Transformable& object, const Placement& placement)
{
    object.setPosition(placement.x, placement.y);
    object.setRotation(placement.rotation);
    object.setScale(placement.scaleX, placement.scaleY);
    object.setOrigin(placement.originX, placement.originY);
}

std::unique_ptr<sf::Font>& font()
{
    static std::unique_ptr<sf::Font> loaded;
    return loaded;
}

Box boxOf(const sf::FloatRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

} // namespace

ChainResult chain(const std::vector<TransformStep>& steps, Point point, Box rect)
{
    sf::Transform transform;
    for (const TransformStep& step : steps) {
        sf::Transformable object;
        switch (step.kind) {
        case 0: transform.translate(step.a, step.b); break;
        case 1: transform.rotate(step.a); break;
        case 2: transform.rotate(step.a, step.b, step.c); break;
        case 3: transform.scale(step.a, step.b); break;
        case 4: transform.scale(step.a, step.b, step.c, step.d); break;
        default:
            place(object, step.placement);
            transform *= object.getTransform();
            break;
        }
    }
    const sf::Vector2f moved = transform.transformPoint(point[0], point[1]);
    return {matrixOf(transform), matrixOf(transform.getInverse()), {moved.x, moved.y},
            boxOf(transform.transformRect(sf::FloatRect(rect[0], rect[1], rect[2], rect[3])))};
}

Matrix placed(const Placement& placement, float moveX, float moveY, float turn, float grow)
{
    sf::Transformable object;
    place(object, placement);
    object.move(moveX, moveY);
    object.rotate(turn);
    object.scale(grow, grow);
    return matrixOf(object.getTransform());
}

float placedRotation(const Placement& placement, float turn)
{
    sf::Transformable object;
    place(object, placement);
    object.rotate(turn);
    return object.getRotation();
}

Matrix view(float centerX, float centerY, float width, float height, float rotation)
{
    sf::View view(sf::Vector2f(centerX, centerY), sf::Vector2f(width, height));
    view.setRotation(rotation);
    return matrixOf(view.getTransform());
}

bool loadFont(const std::string& fontPath)
{
    font() = std::make_unique<sf::Font>();
    return font()->loadFromFile(fontPath);
}

TextLayout layText(const TextSettings& settings)
{
    sf::Text text;
    text.setFont(*font());
    text.setString(settings.string);
    text.setCharacterSize(settings.size);
    text.setOutlineThickness(settings.outline);
    text.setStyle(settings.style);
    text.setLetterSpacing(settings.letterSpacing);
    text.setLineSpacing(settings.lineSpacing);
    place(text, settings.placement);
    TextLayout layout{boxOf(text.getLocalBounds()), boxOf(text.getGlobalBounds()), {}};
    for (std::size_t k = 0; k <= settings.string.size(); ++k) {
        const sf::Vector2f at = text.findCharacterPos(k);
        layout.characters.push_back({at.x, at.y});
    }
    return layout;
}

GlyphProbe glyph(unsigned codePoint, unsigned size, float outline)
{
    const sf::Glyph& g = font()->getGlyph(codePoint, size, false, outline);
    return {g.advance, boxOf(g.bounds), {g.textureRect.left, g.textureRect.top, g.textureRect.width, g.textureRect.height}};
}

float kerning(unsigned first, unsigned second, unsigned size) { return font()->getKerning(first, second, size); }

float lineSpacing(unsigned size) { return font()->getLineSpacing(size); }

Box spriteBounds(int textureWidth, int textureHeight, std::array<int, 4> rect, const Placement& placement,
                 bool global)
{
    sf::Texture texture;
    texture.create(static_cast<unsigned>(textureWidth), static_cast<unsigned>(textureHeight));
    sf::Sprite sprite(texture);
    if (rect[2] != 0) {
        sprite.setTextureRect(sf::IntRect(rect[0], rect[1], rect[2], rect[3]));
    }
    place(sprite, placement);
    return boxOf(global ? sprite.getGlobalBounds() : sprite.getLocalBounds());
}

Picture loadTexture(const std::string& path, std::array<int, 4> area)
{
    sf::Texture texture;
    const bool loaded = texture.loadFromFile(path, sf::IntRect(area[0], area[1], area[2], area[3]));
    return {loaded, texture.getSize().x, texture.getSize().y,
            std::vector<unsigned char>(texture.getPixels().begin(), texture.getPixels().end())};
}

float secondsThroughTime(float seconds) { return sf::seconds(seconds).asSeconds(); }

long long microsecondsOf(float seconds) { return sf::seconds(seconds).asMicroseconds(); }

} // namespace tolva::shim

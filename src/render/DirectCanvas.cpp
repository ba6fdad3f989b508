#include "render/DirectCanvas.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

namespace tolva {

void DirectCanvas::clear(sf::Color color) { target_.clear(color); }

void DirectCanvas::draw(const Circle& circle, CellRef)
{
    sf::CircleShape shape(circle.getRadius(), circle.getPointCount());
    shape.setFillColor(circle.getFillColor());
    shape.setPosition(circle.getPosition());
    shape.setRotation(circle.getRotation());
    target_.draw(shape);
}

void DirectCanvas::draw(const Rect& rect, CellRef)
{
    sf::RectangleShape shape(rect.getSize());
    shape.setFillColor(rect.getFillColor());
    shape.setPosition(rect.getPosition());
    shape.setRotation(rect.getRotation());
    target_.draw(shape);
}

void DirectCanvas::draw(const sf::Text& text, ObjectRef, const sf::Shader* shader)
{
    target_.draw(text, shader);
}

void DirectCanvas::draw(const sf::Sprite& sprite, ObjectRef) { target_.draw(sprite); }

void DirectCanvas::setUniform(sf::Shader& shader, const char* name, float value)
{
    shader.setUniform(name, value);
}

void DirectCanvas::setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value)
{
    shader.setUniform(name, value);
}

} // namespace tolva

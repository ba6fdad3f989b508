#pragma once

// Shapes made in one call, for the render layer's tests.

#include "render/Shapes.h"

#include <cstddef>

namespace tolva::testing {

inline Rect rect(sf::Vector2f size, sf::Vector2f position, float rotation, sf::Color fill)
{
    Rect shape;
    shape.setSize(size);
    shape.setPosition(position);
    shape.setRotation(rotation);
    shape.setFillColor(fill);
    return shape;
}

inline Circle circle(float radius, std::size_t points, sf::Vector2f position, float rotation, sf::Color fill)
{
    Circle shape;
    shape.setRadius(radius);
    shape.setPointCount(points);
    shape.setPosition(position);
    shape.setRotation(rotation);
    shape.setFillColor(fill);
    return shape;
}

} // namespace tolva::testing

#pragma once

#include "render/Shapes.h"

#include <SFML/Graphics/Vertex.hpp>

#include <vector>

namespace tolva {

// The fill of a shape exactly as SFML builds it: the outline points in local coordinates, and the
// fan centre at the middle of the points' bounds.
struct LocalFan {
    sf::Vector2f centre;
    std::vector<sf::Vector2f> points;
};

void circleFan(const Circle& circle, LocalFan& fan);
void rectFan(const Rect& rect, LocalFan& fan);

// Appends the fan's triangles, transformed by the shape's own transform, as a triangle list.
// Triangles with a vertex that is not a finite number would show nothing and are left out.
void appendTriangles(const LocalFan& fan, const sf::Transform& transform, sf::Color color,
                     std::vector<sf::Vertex>& out);

} // namespace tolva

#pragma once

#include "render/Shapes.h"

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>

namespace tolva {

// Scene 6's lattice of squares around a slowly moving anchor.
class SquareLattice {
public:
    SquareLattice(float x, float y);

    void update(sf::Time dt, float t);

    sf::Vector2f anchor;
    Rect anchorSquare;  // follows the anchor; never drawn
    float speed = 50.0f;
    std::int32_t size = 125;
    SquareGrid cells;  // the cells [a][k] the scene uses, element 2 of the nested original
};

} // namespace tolva

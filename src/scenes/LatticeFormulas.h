#pragma once

// Scene 6's formulas in their plain form, square by square: the reference that LatticeTerms's
// cached update must match bit for bit.

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

namespace tolva::lattice {

constexpr float squareSide = 35.0f;

// A square of the lattice as one frame leaves it; rotation is the angle handed to setRotation.
struct SquareCell {
    sf::Color fill;
    sf::Vector2f position;
    float rotation;
};

// Square [a][k]'s colour, which depends on its indices alone.
sf::Color latticeFill(int a, int k);

// Square [a][k] (a, k from 1) at lattice time t.
SquareCell squareCell(int a, int k, float t);

// The scene clock after a frame: four times as fast once the countdown is at or below 15.
float advanceLatticeTime(float latticeTime, float frameSeconds, float countdown6);

// The windows, in countdown seconds, in which the picture and the line are shown (inclusive).
constexpr bool showsPicture(float countdown6) { return countdown6 >= 11.0f && countdown6 <= 22.0f; }
constexpr bool showsText(float countdown6) { return countdown6 >= 11.0f && countdown6 <= 17.0f; }

} // namespace tolva::lattice

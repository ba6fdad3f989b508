#pragma once

// Scene 6's formulas in their plain form, square by square: the reference that the fast path
// below, LatticeTerms, must match bit for bit.

#include "render/Shapes.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <vector>

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

// The fast path: the lattice's squares, cells [1..124][1..124], with the terms of the indices alone
// worked out once and those of the frame and one index once a frame.
class LatticeTerms {
public:
    static constexpr int last = 124;  // the highest index a and k take

    LatticeTerms();

    // t: the lattice clock.
    void update(float t);

    SquareGrid cells{last + 1, last + 1};  // element 2 of the nested original's cells [a][k]

private:
    // Terms of the update that depend on the indices alone.
    std::vector<double> x0_, a2_, floor35_, w_;  // per a
    std::vector<double> cosRootK_;               // per k: cos(sqrt(k))
    std::vector<sf::Color> fill_;                // per [a][k]
    std::vector<double> yTail_;                  // per [a][k]: atan2(a, k / cos(k)) x sqrt(30k)
    std::vector<double> turn_;                   // per [a][k]: cos(5a - 10k)
    std::vector<double> ceilK_;                  // per k, this frame: ceilf(k + t)
    std::vector<float> kLessH_;                  // per k, this frame: k - 0.5t
};

} // namespace tolva::lattice

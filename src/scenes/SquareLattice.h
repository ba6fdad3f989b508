#pragma once

#include "render/Shapes.h"

#include <SFML/System/Time.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <vector>

namespace tolva {

// Scene 6's lattice of squares around a slowly moving anchor.
class SquareLattice {
public:
    SquareLattice(float x, float y);

    // dt: the scene's mid-frame time; t: the lattice clock.
    void update(sf::Time dt, float t);

    sf::Vector2f anchor;
    Rect anchorSquare;  // follows the anchor; never drawn
    float speed = 50.0f;
    std::int32_t size = 125;
    SquareGrid cells;  // the cells [a][k] the scene uses, element 2 of the nested original

private:
    // Terms of the update that depend on the indices alone, worked out once (for `size`).
    struct Fixed {
        int last = 0;                       // the highest index a and k take
        std::vector<double> x0, a2, floor35, w;  // per a
        std::vector<double> cosRootK;       // per k: cos(sqrt(k))
        std::vector<sf::Color> fill;        // per [a][k]
        std::vector<double> yTail;          // per [a][k]: atan2(a, k / cos(k)) x sqrt(30k)
        std::vector<double> turn;           // per [a][k]: cos(5a - 10k)
    };
    void prepare(int last);

    Fixed fixed_;
    std::vector<double> ceilK_;  // per k, this frame: ceilf(k + t)
    std::vector<float> kLessH_;  // per k, this frame: k - 0.5t
};

} // namespace tolva

#pragma once

#include "render/Shapes.h"

#include <vector>

namespace tolva::lattice {

// Scene 6's lattice of squares, cells [1..124][1..124].
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

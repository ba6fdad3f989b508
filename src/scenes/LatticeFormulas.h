#pragma once

// Scene 6's formulas in their plain form, square by square: the reference that the fast path
// below, SquareTerms, must match bit for bit.

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <vector>

namespace tolva::lattice {

constexpr int latticeCells = 124;  // squares [1..124][1..124]

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

// The fast path: the terms of the indices alone worked out once, and those of the frame and one
// index once a frame.
class SquareTerms {
public:
    SquareTerms();
    // t: the lattice clock.
    void beginFrame(float t);
    // Square (a, k), 1 to 124 each, for the frame begun last.
    SquareCell cell(int a, int k) const;

private:
    static std::size_t at(int a, int k)
    {
        return static_cast<std::size_t>((a - 1) * latticeCells + (k - 1));
    }
    static std::size_t line(int n) { return static_cast<std::size_t>(n - 1); }

    // For good.
    std::vector<double> x0_, a2_, floor35_, w_;  // per a
    std::vector<double> cosRootK_;               // per k: cos(sqrt(k))
    std::vector<sf::Color> fill_;                // per [a][k]
    std::vector<double> yTail_;                  // per [a][k]: atan2(a, k / cos(k)) x sqrt(30k)
    std::vector<double> turn_;                   // per [a][k]: cos(5a - 10k)
    // Per frame.
    double t35_ = 0.0;                           // 35t, widened
    double tWide_ = 0.0;
    std::vector<double> ceilK_;                  // per k: ceilf(k + t)
    std::vector<float> kLessH_;                  // per k: k - 0.5t
    std::vector<double> y2_;                     // per a: 2a + t, widened
    std::vector<double> q_;                      // per a: a / t, widened (infinite while t is 0)
    std::vector<float> sn_;                      // per a: sinf(50a - 50 + t)
};

} // namespace tolva::lattice

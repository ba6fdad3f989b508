#pragma once

// Scene 2's formulas: the circle columns and the square cascade. The plain functions evaluate
// each formula as written, term by term; ColumnTerms and CascadeTerms hold the terms that depend
// on the indices alone, so that a frame only works out what changes with time. Both give the same
// bits.

#include "scenes/Formula.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <vector>

namespace tolva::cascade {

constexpr int columnCells = 94;    // circleGrid cells 1 to 94 each way
constexpr int cascadeCells = 124;  // squareGrid cells 1 to 124 each way

// The squares hold still, out of sight, until the scene is three seconds old.
constexpr float cascadeStill = 33.0f;

// The cascade's two factors, used in single and in double precision alike.
constexpr float cascadeSpin = 2.8f;
constexpr float cascadeSwing = 2.1f;

// What the columns' circles and the cascade's squares get alike, every frame.
constexpr std::size_t columnPoints = 25;
constexpr float columnRotation = 15.0f;
constexpr float squareSide = 25.0f;

// K = 2.5 - sqrt(5), in double.
double columnK();

struct ColumnCell {
    sf::Color fill;
    sf::Vector2f position;
    float radius;
};

// A circle's colour, which depends on its indices alone.
sf::Color columnFill(float i, float j);

// One circle as the formulas read, nothing cached. The cell's point count and angle do not
// change: columnPoints and columnRotation.
ColumnCell columnCell(float i, float j, float columnTime);

struct CascadeCell {
    sf::Color fill;
    sf::Vector2f position;
};

// One square as the formulas read, nothing cached, for the cascadeTime the cell sees.
sf::Color cascadeFill(int a, int b);
CascadeCell cascadeCell(int a, int b, float cascadeTime, float countdown2);

// The fast path of the columns: every term of one index, or of none, worked out once for good or
// once a frame.
class ColumnTerms {
public:
    ColumnTerms();
    void beginFrame(float columnTime);
    // Circle (i, j), 1 to 94 each, for the frame begun last.
    ColumnCell cell(int i, int j) const;

private:
    static std::size_t at(int i, int j)
    {
        return static_cast<std::size_t>((i - 1) * columnCells + (j - 1));
    }
    static std::size_t at(int n) { return static_cast<std::size_t>(n); }

    // For good: per cell, then per column i or per row j (indexed by the index itself).
    std::vector<sf::Color> fill_;
    std::vector<double> inverseTen_;  // pow(i, -1) x 10
    std::vector<double> squareTenth_; // pow(j, 2) x 0.1
    std::vector<double> kRoot_;       // sqrt(5 - (2 - h^3) h^2) + 2.5
    std::vector<double> fRoot_;       // sqrt(5 - h^2) + 2
    std::vector<float> hOf_;          // (i - 66) + i
    std::vector<float> mShift_;       // 37 x atanf(0.5i)
    double K_;

    // Per frame, and per frame and one index.
    float slow_ = 0.0f;               // columnTime / 77
    double fCos_ = 0.0;               // 15 x cosf(slow), widened
    std::vector<float> rowSin_, rowCos_;
    std::vector<double> rowShift_;
    std::vector<double> columnShift_, kSin_;
};

// The fast path of the cascade. Every square reads and restarts the scene's clock into
// cascadeTime before its update, so cascadeTime grows cell by cell with the time the update
// takes; the clock counts whole microseconds, so it often stays put from one square to the next:
// the terms that depend on it and on the row a alone are kept until either moves.
class CascadeTerms {
public:
    CascadeTerms();
    void beginFrame(float countdown2);
    // Square (a, b), 1 to 124 each, for the cascadeTime it sees.
    CascadeCell cell(int a, int b, float cascadeTime);

private:
    static std::size_t at(int a, int b)
    {
        return static_cast<std::size_t>((a - 1) * cascadeCells + (b - 1));
    }
    static std::size_t at(int n) { return static_cast<std::size_t>(n); }
    void lineTerms();
    void squareTerms();

    // For good: per cell, per outer index a, per inner index b.
    std::vector<sf::Color> fill_;
    std::vector<float> bMinusS_;    // B - s
    std::vector<float> sMinusB_;    // s - B
    std::vector<float> g_;          // a x sinf(b / 2.8)
    std::vector<float> E_;          // (a - 960) - (cosf(2.8g) + (a - 960))
    std::vector<float> thirds_;     // a / 3 + b / 3
    std::vector<double> lFactor_;   // (a / 3 + b / 3) - g, widened
    std::vector<float> aEleven_;    // float(a / 11.5)
    std::vector<float> aFifth_;     // a / 5
    std::vector<float> aTwentieth_; // a / 20
    std::vector<double> aCos_;      // cosf(a / 30), widened
    std::vector<float> bSqrt3_;     // 3 x sqrtf(b)
    std::vector<float> bThirtieth_; // b / 30
    std::vector<double> bThirtiethHalf_;  // (b / 30) x 0.5 in double
    std::vector<double> bHalf_;     // b x 0.5 in double
    std::vector<float> bTenth_;     // b / 10
    std::vector<double> bSquare_;   // pow(b, 2)

    bool still_ = true;
    // The terms of one row a and one cascadeTime, while both stay.
    bool known_ = false;
    int knownRow_ = 0;
    float seen_ = 0.0f;
    float R_ = 0.0f, ripple_ = 0.0f, wave_ = 0.0f, turn_ = 0.0f;
};

} // namespace tolva::cascade

#pragma once

// Scene 2's formulas: the circle columns and the square cascade. The plain functions evaluate
// each formula as written, term by term; ColumnCascadeTerms holds the terms that depend on the
// indices alone, so that a frame only works out what changes with time. Both give the same bits.

#include "render/Shapes.h"
#include "scenes/Formula.h"
#include "show/TimeSource.h"

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

// K = 2.5 - sqrt(5), in double.
double columnK();

struct ColumnCell {
    sf::Color fill;
    sf::Vector2f position;
    float radius;
};

// A circle's colour, which depends on its indices alone.
sf::Color columnFill(float i, float j);

// One circle as the formulas read, nothing cached. The cell's point count (25) and angle (15) do
// not change.
ColumnCell columnCell(float i, float j, float columnTime);

struct CascadeCell {
    sf::Color fill;
    sf::Vector2f position;
};

// One square as the formulas read, nothing cached, for the cascadeTime the cell sees.
sf::Color cascadeFill(int a, int b);
CascadeCell cascadeCell(int a, int b, float cascadeTime, float countdown2);

// Terms of the two updates that depend on the indices alone, and the updates themselves.
struct ColumnCascadeTerms {
    ColumnCascadeTerms();

    // Every circle's colour, place, radius, point count and angle for this columnTime.
    void columns(float columnTime, CircleGrid& grid);
    // Every square, each reading and restarting cascadeClock into cascadeTime before its update,
    // so cascadeTime grows cell by cell with the time the update takes. The clock counts whole
    // microseconds, so cascadeTime often stays put from one square to the next: the terms that
    // depend on it (and on the row a) alone are kept until it moves.
    void cascade(ShowClock& cascadeClock, float& cascadeTime, float countdown2, SquareGrid& grid);

    static std::size_t circle(int i, int j)
    {
        return static_cast<std::size_t>((i - 1) * columnCells + (j - 1));
    }
    static std::size_t square(int a, int b)
    {
        return static_cast<std::size_t>((a - 1) * cascadeCells + (b - 1));
    }

    // Circles: per cell, per column i, per row j (indexed by the index itself).
    std::vector<sf::Color> circleFill;
    std::vector<double> inverseTen;  // pow(i, -1) x 10
    std::vector<double> squareTenth; // pow(j, 2) x 0.1
    std::vector<double> kRoot;       // sqrt(5 - (2 - h^3) h^2) + 2.5
    std::vector<double> fRoot;       // sqrt(5 - h^2) + 2
    std::vector<float> hOf;          // (i - 66) + i
    std::vector<float> mShift;       // 37 x atanf(0.5i)

    // Squares: per cell, per outer index a, per inner index b.
    std::vector<sf::Color> squareFill;
    std::vector<float> bMinusS;    // B - s
    std::vector<float> sMinusB;    // s - B
    std::vector<float> g;          // a x sinf(b / 2.8)
    std::vector<float> E;          // (a - 960) - (cosf(2.8g) + (a - 960))
    std::vector<float> thirds;     // a / 3 + b / 3
    std::vector<double> lFactor;   // (a / 3 + b / 3) - g, widened
    std::vector<float> aEleven;    // float(a / 11.5)
    std::vector<float> aFifth;     // a / 5
    std::vector<float> aTwentieth; // a / 20
    std::vector<double> aCos;      // cosf(a / 30), widened
    std::vector<float> bSqrt3;     // 3 x sqrtf(b)
    std::vector<float> bThirtieth; // b / 30
    std::vector<double> bThirtiethHalf;  // (b / 30) x 0.5 in double
    std::vector<double> bHalf;     // b x 0.5 in double
    std::vector<float> bTenth;     // b / 10
    std::vector<double> bSquare;   // pow(b, 2)

    // Per-row terms of the columns that change with columnTime, worked out once a frame.
    std::vector<float> rowSin_, rowCos_;
    std::vector<double> rowShift_;
};

} // namespace tolva::cascade

#pragma once

// Scene 7's two heptagon sets: the vortex on circleGrid and the field on fieldGrid.
//
// Each set comes twice. vortexCell and fieldCell work every term out afresh from the cell's
// indices and the frame's clock, exactly as the formulas read; they are the definition. The
// VortexTerms and FieldTerms classes give the very same bits faster: terms that depend on the
// indices alone are worked out once, terms of a whole row or column once a frame, and only what
// depends on both and on the clock is left for each cell. The tests hold the two to each other on
// every cell.

#include "scenes/Formula.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>
#include <vector>

namespace tolva::vortex {

// What a cell's formulas give: what the step sets on its shape besides radius and point count.
struct HeptagonCell {
    sf::Color fill;
    sf::Vector2f position;
    float rotation = 0.0f;  // degrees as handed to setRotation; the field sets none
};

constexpr int vortexSide = 94;   // circleGrid cells [1..94][1..94]
constexpr int fieldSide = 119;   // fieldGrid cells [1..119][1..119]

// The field is drawn only once countdown7 is below this, and bursts below tailCountdown.
constexpr float fieldShownBelow = 45.0f;
constexpr float tailCountdown = 6.0f;

// The two nearest floats the field's formulas use.
constexpr float fieldHalfPi = 1.5707963f;
constexpr float fieldQuarterPi = 0.7853981f;

// How the scene's two clocks step on each frame, from the seconds of the scene's own restart.
float nextVortexTime(float vortexTime, float midFrameDelta);
float nextGridTime(float gridTime, float midFrameDelta);

// pow(x, -1) in double. Compilers fold pow with a constant exponent of -1 into a division, which
// is the exact reciprocal rounded once; written out so the result does not hang on the compiler.
inline double powMinusOne(double x) { return 1.0 / x; }

// Cell (i, j) of the vortex: i and j the whole numbers 1 to 94 as floats.
HeptagonCell vortexCell(float i, float j, float vortexTime);

// Cell (i, j) of the field: i the row, j the column, 1 to 119 as floats; gridTime as it stands
// after this frame's advance; tail when countdown7 is below tailCountdown.
HeptagonCell fieldCell(float i, float j, float gridTime, bool tail);

class VortexTerms {
public:
    VortexTerms();

    // The terms of this frame's rows and columns.
    void beginFrame(float vortexTime);
    // Cell (i, j), i and j from 1 to 94, for the frame begun last.
    HeptagonCell cell(int i, int j) const;

private:
    struct Row {
        float i, p0, p2, p3;
        double wideI, xBase;
    };
    struct Column {
        float p1;
        double wideJ;
    };
    struct Cell {
        sf::Color fill;
        double sineBase;    // root - r15
        double cosineBase;  // r15 - root
        double yBase;       // 550 - cosf(j / i)
    };
    struct RowNow {
        float p0w, p2s, c1s;
    };
    struct ColumnNow {
        float p1s, p1w;
    };

    std::vector<Row> rows_;
    std::vector<Column> columns_;
    std::vector<Cell> cells_;
    std::vector<RowNow> rowsNow_;
    std::vector<ColumnNow> columnsNow_;
    float vortexTime_ = 0.0f;
    float s_ = 0.0f;
    float w_ = 1.0f;
    double spin_ = 0.0;
    double drift_ = 0.0;
    float rotation_ = 15.0f;
};

class FieldTerms {
public:
    FieldTerms();

    void beginFrame(float gridTime, bool tail);
    // Cell (i, j), row i and column j from 1 to 119, for the frame begun last.
    HeptagonCell cell(int i, int j) const;

private:
    struct Row {
        float i, twoI, sinI;
    };
    struct Column {
        float j, sinJ;
    };
    struct Cell {
        sf::Color fill;
        float r;       // R
        float wStill;  // W before its last term
        float zStill;  // cosf(i / 100 x 0.7853981) x ((i + i) x j)
    };

    std::vector<Row> rows_;
    std::vector<Column> columns_;
    std::vector<Cell> cells_;
    std::vector<float> rowsNow_;     // i x q
    std::vector<float> columnsNow_;  // cosf(j + q)
    double spread_ = 0.0;            // double(z) + double(tail)
};

} // namespace tolva::vortex

#pragma once

// Scene 5's formulas, cell by cell, exactly as the picture is defined: the plain reference that the
// scene's fast path (PolygonGridsTerms.h) must match bit for bit. Indices i (row) and j (column)
// are the float counters 1 to 94.

#include "scenes/Formula.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstddef>

namespace tolva::polygon {

constexpr int cellsPerSide = 94;  // rows and columns 1 to 94; index 0 is never used

// What a cell gets each frame. Radius and point count never change (see the constants below).
struct PolygonCell {
    sf::Color fill;
    sf::Vector2f position;
};

constexpr float decagonRadius = 26.0f;
constexpr std::size_t decagonPoints = 10;
constexpr float pentagonRadius = 19.0f;
constexpr std::size_t pentagonPoints = 5;

// The values the whole frame shares.
struct GridFrame {
    float gridTime;
    float fastPhase;  // gridTime x 14
    float slowPhase;  // gridTime x 1.2, formed in double
};

// gridTime after this frame's step of about 0.05 (the sum is formed in double).
float advanceGridTime(float gridTime, float midFrameDelta);
GridFrame gridFrame(float gridTime);
sf::Color clearColour(float gridTime);

// The fuse after one heptagon cell's fall (once per cell, so 94 x 94 times a frame).
float burnFuse(float colourFuse, float fuseTick);

// The weighted sum of four points that both the pentagons' x and their offsets use, in double.
// The weights depend on u alone, so a frame can form them once for every cell.
struct BlendWeights {
    explicit BlendWeights(float u);
    double blend(double p0, double p1, double p2, double p3) const
    {
        return w0 * p0 + w1 * p1 + w2 * p2 + w3 * p3;
    }
    double w0, w1, w2, w3;
};
double cubicBlend(float u, float p0, float p1, float p2, float p3);
float pentagonOffsetY(float i, float j, float f);
float heptagonOffsetY(float i, float j, float p);

// The colour terms that depend on the indices alone. The pentagons' blue follows gridTime.
sf::Color decagonFill(float i, float j);
sf::Color pentagonRedGreen(float i, float j);
// heptagonOffsetY's factor that does not depend on the phase.
float heptagonRipple(float i, float j);

PolygonCell decagonCell(float i, float j, float gridTime);
PolygonCell pentagonCell(float i, float j, float gridTime, float fastPhase);
// colourFuse: the fuse as this cell left it (after its own fall).
PolygonCell heptagonCell(float i, float j, float slowPhase, float colourFuse);

} // namespace tolva::polygon

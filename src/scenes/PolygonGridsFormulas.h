#pragma once

// Scene 5's formulas, cell by cell, exactly as the picture is defined: the plain reference that the
// scene's fast path (PolygonGridsTerms, below) must match bit for bit. Indices i (row) and j
// (column) are the float counters 1 to 94.

#include "render/Shapes.h"
#include "scenes/Formula.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

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

// The fast path: the formulas above with every term that depends on the indices alone worked out
// once, and every term that depends on the frame alone (or on the frame and one index) once per
// frame. Each such term is the very operation of the plain formula on the same operands, so the
// cells get the same bits; the tests compare every cell with the plain formulas.
template <class T>
using Line = std::array<T, cellsPerSide + 1>;  // by index 1 to 94

class DecagonTerms {
public:
    DecagonTerms();
    void beginFrame(float gridTime);
    // Cell (i, j), 1 to 94 each, for the frame begun last.
    PolygonCell cell(int i, int j) const;

private:
    std::vector<sf::Color> fill_;
    std::vector<float> sinJOverI_;  // sinf(j / i)
    Line<float> sineOfCube_{};      // float(sin(pow(i, 3) + 10))
    Line<float> halfTwoC2_{};       // (c2 + c2) x 0.5
    // Per frame.
    float a_ = 0.0f;                // gridTime / 10
    Line<float> yBase_{};           // p x 4 x 10 + 3 x i, per row
    Line<float> heWave_{};          // cosf(j / 20 + a) x 10 x 30, per column
};

class PentagonTerms {
public:
    PentagonTerms();
    void beginFrame(float gridTime, float fastPhase);
    PolygonCell cell(int i, int j) const;

private:
    std::vector<sf::Color> fill_;    // red and green; blue follows gridTime
    std::vector<float> atanTerm_;    // atan2f(t, i) x 10
    std::vector<double> p2_;         // j x 3 + i, widened
    std::vector<float> mFirst_;      // i x A / float(pow(A, 3) x j)
    Line<float> blueRow_{};          // i / 3 x 7
    Line<double> blendPoints_[4]{};  // per row: float(S1 + 2), float(2 - S1), ...
    // Per frame.
    float blueSlope_ = 0.0f;         // atanf(gridTime / 15)
    BlendWeights shape_{0.0f};       // the weights of fastPhase / 1000
    Line<float> n2_{};               // float(cubicBlend(v; ...)), per row: NaN from row 2 on
    Line<float> mWave_{};            // sinf(j - f / 3 / 30) + j x 3, per column
    Line<double> yTail_{};           // j x 7.3141592 + 319, per column
};

// The heptagons' colours follow the fuse, which falls once per cell before that cell's colour
// (burnFuse); cell takes the fuse as the cell's own fall left it, as heptagonCell does.
class HeptagonTerms {
public:
    HeptagonTerms();
    void beginFrame(float slowPhase);
    PolygonCell cell(int i, int j, float colourFuse) const;

private:
    // The vertical offset has three regimes in the phase, and a resting one between.
    enum class Regime { early, middle, late, resting };
    static Regime regimeOf(float slowPhase);
    void rowTerms(float slowPhase);
    void waveTerms();

    std::vector<float> jOverI_;
    std::vector<float> iOverJ_;
    std::vector<float> greenBase_;  // atan2f(i, j) - i / 30 x 70
    std::vector<float> d_;
    std::vector<float> e_;
    std::vector<float> r_;          // the offset's common factor
    std::vector<float> atanR_;      // atan2f(i, j) x R
    Line<double> blueBase_{};       // sqrt(pow(i, 3) + 15) x 10
    Line<double> wRoot_{};          // sqrt(5 - pow(i / 100, 2)) + 2

    // Per frame.
    float slowPhase_ = 0.0f;
    float h_ = 0.0f;                // slowPhase x 0.5
    float redShiftCos_ = 0.0f;      // slowPhase / 110
    float redShiftSin_ = 0.0f;      // slowPhase / 20
    Regime regime_ = Regime::early;
    float middleScale_ = 0.0f;      // slowPhase / 7 x 2
    // The offset's wave along j: cos(j x 3 + 2 x (h x 0.75)) into earlyWave_ in the early regime,
    // cosf(j - h) or cosf(j + h) into wave_ in the middle and late ones.
    Line<double> earlyWave_{};
    Line<float> wave_{};
    // Per frame and row.
    Line<float> l_{};               // cosf(h / 10 + w)
    Line<std::uint8_t> blue_{};
};

} // namespace tolva::polygon

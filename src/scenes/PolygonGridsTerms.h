#pragma once

// Scene 5's fast path: the formulas of PolygonGridsFormulas.h with every term that depends on the
// indices alone worked out once, and every term that depends on the frame alone (or on the frame
// and one index) once per frame. Each such term is the very operation of the plain formula on the
// same operands, so the cells get the same bits; the tests compare every cell with the plain
// formulas.

#include "render/Shapes.h"
#include "scenes/PolygonGridsFormulas.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tolva::polygon {

class PolygonGridsTerms {
public:
    PolygonGridsTerms();

    // Each sets fill, position, radius and point count of rows and columns 1 to 94.
    void decagons(float gridTime, CircleGrid& grid) const;
    void pentagons(float gridTime, float fastPhase, CircleGrid& grid) const;
    // The fuse falls once per cell before that cell's colour; returns where it ends.
    float heptagons(float slowPhase, float colourFuse, float fuseTick, CircleGrid& grid) const;

private:
    static constexpr int n = cellsPerSide;
    static std::size_t cell(int i, int j) { return static_cast<std::size_t>((i - 1) * n + (j - 1)); }

    template <class T>
    using Line = std::array<T, n + 1>;  // by index 1 to 94

    void lineTerms();
    void cellTerms();

    // The heptagons' vertical offset has three regimes in the phase, and a resting one between.
    enum class Regime { early, middle, late, resting };
    static Regime regimeOf(float slowPhase);
    // The offset's wave along j: cos(j x 3 + 2 x (h x 0.75)) into earlyWave in the early regime,
    // cosf(j - h) or cosf(j + h) into wave in the middle and late ones.
    static void heptagonWaves(Regime regime, float h, Line<double>& earlyWave, Line<float>& wave);

    // Decagons.
    std::vector<sf::Color> decagonFill_;
    std::vector<float> decagonSinJOverI_;  // sinf(j / i)
    Line<float> decagonSineOfCube_{};      // float(sin(pow(i, 3) + 10))
    Line<float> decagonHalfTwoC2_{};       // (c2 + c2) x 0.5

    // Pentagons.
    std::vector<sf::Color> pentagonFill_;   // red and green; blue follows gridTime
    std::vector<float> pentagonAtanTerm_;  // atan2f(t, i) x 10
    std::vector<double> pentagonP2_;       // j x 3 + i, widened
    std::vector<float> pentagonMFirst_;    // i x A / float(pow(A, 3) x j)
    Line<float> pentagonBlueRow_{};        // i / 3 x 7
    Line<double> pentagonBlendPoints_[4]{};  // per row: float(S1 + 2), float(2 - S1), ...

    // Heptagons.
    std::vector<float> heptagonJOverI_;
    std::vector<float> heptagonIOverJ_;
    std::vector<float> heptagonGreenBase_;  // atan2f(i, j) - i / 30 x 70
    std::vector<float> heptagonD_;
    std::vector<float> heptagonE_;
    std::vector<float> heptagonR_;          // the offset's common factor
    std::vector<float> heptagonAtanR_;      // atan2f(i, j) x R
    Line<double> heptagonBlueBase_{};       // sqrt(pow(i, 3) + 15) x 10
    Line<double> heptagonWRoot_{};          // sqrt(5 - pow(i / 100, 2)) + 2
};

} // namespace tolva::polygon

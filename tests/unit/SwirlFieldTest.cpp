// Scene 4: waveOffset's phases at their exact bounds and the colour schemes, worked by hand, and
// the step's every shape against these formulas.

#include "support/SceneSteps.h"
#include "scenes/Formula.h"
#include "scenes/SwirlFieldFormulas.h"

#include <limits>

namespace tolva {
namespace {

using namespace swirl;
using testing::Look;
using testing::SceneSteps;

float above(float x) { return std::nextafter(x, std::numeric_limits<float>::infinity()); }
float below(float x) { return std::nextafter(x, -std::numeric_limits<float>::infinity()); }

// waveOffset takes four forms across the countdown; each bound is told by which neighbours agree.
TEST(SwirlWaveOffset, PhasesChangeAtTheirExactBounds)
{
    const auto at = [](float d) { return waveOffset(37.0f, 81.0f, 301.25f, d); };
    const std::vector<std::vector<float>> phases = {
        {49.0f, above(25.75f), below(19.0f), 0.0f, -0.01f},  // cosine form, v = 10
        {25.75f, 24.0f, above(22.5f)},                         // sine form, v = 10
        {22.5f},                                               // sine form, the row's v
        {below(22.5f), 19.0f}};                                // cosine form, the row's v
    for (std::size_t n = 0; n < phases.size(); ++n) {
        for (const float d : phases[n]) {
            EXPECT_EQ(at(d), at(phases[n][0])) << d;
        }
        for (std::size_t m = 0; m < n; ++m) {
            EXPECT_NE(at(phases[n][0]), at(phases[m][0])) << n << " " << m;
        }
    }
}

// The middle scheme holds from 23.5 down to 21.5, both included; the blues wrap.
TEST(SwirlColours, SchemesAndWraps)
{
    EXPECT_FALSE(middleColours(above(23.5f)));
    EXPECT_TRUE(middleColours(23.5f));
    EXPECT_TRUE(middleColours(21.5f));
    EXPECT_FALSE(middleColours(below(21.5f)));
    // Row 40, column 90: outer (40/20) xor (1 + 50) = 49; middle 10 sinf(90) + 20 atan2f(90, 40)
    // = 8.94 + 23.05 = 31.99.
    EXPECT_EQ(heptagonCell(40.0f, 90.0f, frameOf(100.0f, above(23.5f))).fill.r, 49);
    EXPECT_EQ(heptagonCell(40.0f, 90.0f, frameOf(100.0f, 23.5f)).fill.r, 31);
    const Frame middle = frameOf(0.0f, 22.0f);
    // min(j / 20, i) x i^2: 2 x 100 = 200 stays; 5 x 400 = 2000 wraps to 208.
    EXPECT_EQ(heptagonCell(20.0f, 100.0f, middle).fill.b, 208);
    const Frame outer = frameOf(0.0f, 30.0f);
    // (j / 20) x 3 x max(i, j): 5 x 3 x 100 = 1500 wraps to 220.
    EXPECT_EQ(heptagonCell(7.0f, 100.0f, outer).fill.b, 220);

    // The squares' blue is the sum of two bytes, modulo 256. Row 3: 6 cos 3 = -5.94 gives the
    // byte 251, so any red of 5 or more wraps it.
    const Frame frame = frameOf(50.0f, 30.0f);
    EXPECT_EQ(squareCell(3.0f, 1.0f, frame).fill.b, 255);  // red 4
    EXPECT_EQ(squareCell(3.0f, 2.0f, frame).fill.r, 8);  // 3 atan2(2, 3) 5 = 8.8
    EXPECT_EQ(squareCell(3.0f, 2.0f, frame).fill.b, 3);  // 251 + 8 wraps
    EXPECT_EQ(clearColour(frameOf(0.0f, 40.0f)), sf::Color(17, 39, 47, 255));
}

// Both grids as drawn, shape by shape, in each form of the heptagons' wave.
TEST_F(SceneSteps, SwirlFieldEveryShape)
{
    for (const char* countdown : {"40", "24", "22.5", "20"}) {
        step(4, std::string("swirlPhase=150 countdown4=") + countdown);
        const Frame frame = frameOf(show->scenes.swirlField.swirlPhase, state.countdown[4]);
        testing::expectDrawn(recorder, "circleCube", heptagonSize, [&](float i, float j) {
            const HeptagonCell c = heptagonCell(i, j, frame);
            return Look{c.fill, c.position, testing::reported(c.rotation), c.radius, heptagonPoints};
        }, countdown);
        testing::expectDrawn(recorder, "squareCube", squareSize, [&](float k, float c) {
            const SquareCell cell = squareCell(k, c, frame);
            return Look{cell.fill, cell.position};
        }, countdown);
    }
}

} // namespace
} // namespace tolva

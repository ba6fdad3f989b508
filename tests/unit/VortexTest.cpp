// Scene 7: the vortex on circleGrid and the field on fieldGrid.

#include "support/SceneSteps.h"
#include "scenes/Formula.h"
#include "scenes/VortexFormulas.h"

namespace tolva {
namespace {

using namespace vortex;
using testing::Look;
using testing::SceneSteps;

float f(int n) { return static_cast<float>(n); }

// Worked values from a separate transcription of the formulas (every float operation rounded to
// single precision on its own, the single-precision functions from the C library): they catch a
// slipped precision in both of the C++ paths at once.
TEST(VortexAndField, WorkedValues)
{
    using Worked = std::tuple<int, int, float, HeptagonCell>;
    for (const auto& [i, j, time, want] : {Worked{1, 1, 0.035f, {{51, 63, 26}, {750.065979f, 553.041443f}, 15.0035f}},
                                           Worked{50, 30, 0.035f, {{196, 110, 248}, {874.947083f, 668.932251f}, 15.0035f}},
                                           Worked{94, 1, 57.3f, {{101, 149, 189}, {2017.11597f, 57.6647072f}, 20.7299995f}}}) {
        const HeptagonCell look = vortexCell(f(i), f(j), time);
        EXPECT_EQ(look.fill, want.fill) << i << "," << j;
        EXPECT_EQ(look.position, want.position) << i << "," << j;
        EXPECT_EQ(look.rotation, want.rotation) << i << "," << j;
    }
    const HeptagonCell still = fieldCell(f(119), f(119), 700.0f, false);
    EXPECT_EQ(still.fill, sf::Color(119, 119, 76));
    EXPECT_EQ(still.position, sf::Vector2f(451.073853f, 417.485535f));
    const HeptagonCell tail = fieldCell(f(60), f(7), 1500.25f, true);
    EXPECT_EQ(tail.fill, sf::Color(7, 60, 176));
    EXPECT_EQ(tail.position, sf::Vector2f(-397.880981f, 82.6832886f));
}

void expectField(const Recorder& recorder, bool tail, float gridTime)
{
    testing::expectDrawn(recorder, "fieldGrid", fieldSide, [&](float i, float j) {
        const HeptagonCell look = fieldCell(i, j, gridTime, tail);
        return Look{look.fill, look.position, 0.0f, heptagonRadius, heptagonPoints};  // turns by nothing
    });
}

// The vortex uses this frame's vortexTime, the field the gridTime advanced after the vortex; every
// shape is made over from what earlier scenes left in the grid, its angle kept below 360.
TEST_F(SceneSteps, VortexClocksAndGrids)
{
    Circle leftOver;
    leftOver.setRadius(99);
    leftOver.setPointCount(30);
    leftOver.setRotation(123);
    show->scenes.shared.circleGrid = CircleGrid(vortexSide + 1, vortexSide + 1, leftOver);
    step(7, "vortexTime=3605 gridTime=321.5 countdown7=30 frameDelta=0.0167 midFrameDelta=0.004");  // spin 360.5
    const float mid = sf::seconds(0.004f).asSeconds();
    const float vortexTime = narrow(wide(mid) + 0.035 + wide(3605.0f));
    const float gridTime = narrow(wide(mid) + 0.5 + wide(321.5f));
    EXPECT_EQ(show->scenes.vortex.vortexTime, vortexTime);
    EXPECT_EQ(show->scenes.shared.gridTime, gridTime);
    EXPECT_EQ(state.countdown[7], narrow(wide(30.0f) - wide(sf::seconds(0.0167f).asSeconds()) * 1.1));
    EXPECT_GT(vortexCell(f(1), f(1), vortexTime).rotation, 360.0f);
    testing::expectDrawn(recorder, "circleGrid", vortexSide, [&](float i, float j) {
        const HeptagonCell look = vortexCell(i, j, vortexTime);
        return Look{look.fill, look.position, std::fmod(look.rotation, 360.0f), heptagonRadius, heptagonPoints};
    });
    expectField(recorder, false, gridTime);
}

// The tail starts below 6, on the countdown after this frame's decrement.
TEST_F(SceneSteps, VortexTail)
{
    step(7, "gridTime=1480 countdown7=6 frameDelta=0");
    expectField(recorder, false, show->scenes.shared.gridTime);
    step(7, "countdown7=6.01 frameDelta=0.1");
    expectField(recorder, true, show->scenes.shared.gridTime);
}

// The field shows from below 45 on the decremented countdown; hidden, it still keeps its time.
TEST_F(SceneSteps, Vortex)
{
    expectSteps(7, {
        {"countdown7=54 gridTime=200 frameDelta=0", "circleGrid*8836 gridTime=200.5"},
        {"countdown7=45 frameDelta=0", "circleGrid*8836"},
        {"countdown7=44.999996 frameDelta=0", "circleGrid*8836 fieldGrid*14161"},
        {"countdown7=45.01 frameDelta=0.1", "circleGrid*8836 fieldGrid*14161"},
    });
}

} // namespace
} // namespace tolva

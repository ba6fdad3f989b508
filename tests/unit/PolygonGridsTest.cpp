// Scene 5: the offset's edges, the clear colour and the clock worked by hand, the step's fuse and
// its every shape.

#include "support/SceneSteps.h"
#include "scenes/PolygonGridsFormulas.h"

namespace tolva {
namespace {

using namespace polygon;
using testing::Look;
using testing::same;
using testing::SceneSteps;

float cellIndex(int k) { return static_cast<float>(k); }

// The offset has one formula below 29, one between 29 and 33 and one above 33; at exactly 29 and
// 33 none applies and the band rests on its base line (offset 0), finite for every cell.
TEST(PolygonGridsFormulas, HeptagonOffsetHasThreeRangesAndRestsAtTheirEdges)
{
    struct WorkedOffset {
        int i, j;
        float p, value;
    };
    const WorkedOffset justBesideTheEdges[] = {
        {5, 7, 0x1.cffffep+4f, -0x1.1540f2p+2f},
        {94, 94, 0x1.d00002p+4f, 0x1.0bda4ep-1f},
        {20, 9, 0x1.07fffep+5f, 0x1.8c6e3ep-5f},
        {5, 7, 0x1.080002p+5f, -0x1.883400p+0f},
    };
    for (const WorkedOffset& w : justBesideTheEdges) {
        EXPECT_TRUE(same(heptagonOffsetY(cellIndex(w.i), cellIndex(w.j), w.p), w.value))
            << w.i << "," << w.j << " at " << w.p;
    }
    for (float edge : {29.0f, 33.0f}) {
        for (int i = 1; i <= cellsPerSide; ++i) {
            for (int j = 1; j <= cellsPerSide; ++j) {
                ASSERT_EQ(heptagonOffsetY(cellIndex(i), cellIndex(j), edge), 0.0f) << i << "," << j;
            }
        }
    }
}

TEST(PolygonGridsFormulas, ClearColourAndClock)
{
    // Formed in double: in float, 0.05 would first be rounded to float and the sum differ.
    EXPECT_EQ(advanceGridTime(100.0f, 0.0f), static_cast<float>(0.05 + 100.0));
    // sinf(10) x 20 + 51 = 40.1 and cosf(10) x 15 + 70 = 57.4, truncated.
    EXPECT_EQ(clearColour(200.0f), sf::Color(40, 25, 57, 255));
}

// The first frame burns the fuse for the whole show so far (its clock started at start-up), and
// restarts the clock: the next frame burns nothing when no time passes.
TEST_F(SceneSteps, PolygonGrids)
{
    expectSteps(5, {
        {"midFrameDelta=0.25 frameDelta=0.016 fuseTick=203",
         "decagonGrid*8836 pentagonGrid*8836 heptagonGrid*8836 gridTime=0.3 colourFuse=15.6852455 countdown5=38.9840012"},
        {"frameDelta=0", "decagonGrid*8836 pentagonGrid*8836 heptagonGrid*8836 colourFuse=15.6852455"},
    });
}

// All three grids as drawn, shape by shape; the fuse falls once per heptagon, before its colour,
// and passes 1 partway through the grid, where the red changes formula.
TEST_F(SceneSteps, PolygonGridsEveryShape)
{
    const float fuseTick = 0.015625f;
    step(5, "midFrameDelta=0.25 frameDelta=0.016 gridTime=24 colourFuse=1.003 fuseTick=0.015625");
    const GridFrame frame = gridFrame(show->scenes.shared.gridTime);
    const auto shape = [](const PolygonCell& c, float radius, std::size_t points) {
        return Look{c.fill, c.position, {}, radius, points};
    };
    testing::expectDrawn(recorder, "decagonGrid", cellsPerSide, [&](float i, float j) {
        return shape(decagonCell(i, j, frame.gridTime), decagonRadius, decagonPoints);
    });
    testing::expectDrawn(recorder, "pentagonGrid", cellsPerSide, [&](float i, float j) {
        return shape(pentagonCell(i, j, frame.gridTime, frame.fastPhase), pentagonRadius, pentagonPoints);
    });
    float fuse = 1.003f;
    int burnt = 0;
    testing::expectDrawn(recorder, "heptagonGrid", cellsPerSide, [&](float i, float j) {
        fuse = burnFuse(fuse, fuseTick);
        burnt += fuse < 1.0f ? 1 : 0;
        return shape(heptagonCell(i, j, frame.slowPhase, fuse), heptagonRadius, heptagonPoints);
    });
    EXPECT_GT(burnt, 1000);
    EXPECT_LT(burnt, cellsPerSide * cellsPerSide - 1000);
    EXPECT_TRUE(same(show->scenes.polygonGrids.colourFuse, fuse));
}

} // namespace
} // namespace tolva

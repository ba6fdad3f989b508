// Scene 5: the plain formulas against an independent emulation, the offset's edges, the step.

#include "support/SceneSteps.h"
#include "scenes/PolygonGridsFormulas.h"
#include "scenes/PolygonGridsTerms.h"

namespace tolva {
namespace {

using namespace polygon;
using testing::same;
using testing::SceneSteps;
using Digest = testing::GridDigest;

float cellIndex(int k) { return static_cast<float>(k); }

TEST(PolygonGridsFormulas, EveryCellMatchesAnIndependentEmulation)
{
    struct WholeFrame {
        float gridTime, colourFuse;
        std::uint64_t decagons, pentagons, heptagons;
    };
    // Frames in each regime of the heptagon offset, with the fuse above and below 1.
    const WholeFrame frames[] = {
        {0x1.d333340000000p+2f, 0x1.0000000000000p-1f, 0x02f0bf85bb12cf0eull, 0x03a2b1fd5d227494ull, 0xbf78d4e10f6404e8ull},
        {0x1.84cccc0000000p+4f, 0x1.9000000000000p+6f, 0xd0bd456e6880678bull, 0x1b70414c25b2d199ull, 0xdc56997733204d4eull},
        {0x1.d1999a0000000p+4f, 0x1.0000000000000p-1f, 0x04b261fb992aedf2ull, 0x4ffc3b78467ca2a5ull, 0x5bac30f81c0fd1caull},
        {0x1.4000000000000p+6f, 0x1.9000000000000p+6f, 0x94ddf2c5257a5a4eull, 0x539a1a335bfae7f0ull, 0x3c02a833e341205cull},
    };
    for (const WholeFrame& f : frames) {
        const GridFrame frame = gridFrame(f.gridTime);
        Digest decagons, pentagons, heptagons;
        for (int i = 1; i <= cellsPerSide; ++i) {
            for (int j = 1; j <= cellsPerSide; ++j) {
                const float fi = cellIndex(i), fj = cellIndex(j);
                const CellLook d = decagonCell(fi, fj, frame.gridTime);
                const CellLook p = pentagonCell(fi, fj, frame.gridTime, frame.fastPhase);
                const CellLook h = heptagonCell(fi, fj, frame.slowPhase, f.colourFuse);
                decagons.look(d.fill, d.position);
                pentagons.look(p.fill, p.position);
                heptagons.look(h.fill, h.position);
            }
        }
        EXPECT_EQ(decagons.value(), f.decagons) << "decagons at " << f.gridTime;
        EXPECT_EQ(pentagons.value(), f.pentagons) << "pentagons at " << f.gridTime;
        EXPECT_EQ(heptagons.value(), f.heptagons) << "heptagons at " << f.gridTime;
    }
}

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

} // namespace
} // namespace tolva

// Every scene's fast path (terms held for a frame, pieces hoisted per row or column) against its
// plain formulas, bit for bit on every cell, over frames across the scene and well past its end.
// Scenes 1 and 2 compute theirs inside the step: their steps are checked the same way, through
// the recorder, in SpiralGridTest and ColumnCascadeTest.

#include "support/SceneSteps.h"
#include "scenes/GreetingsScrollerFormulas.h"
#include "scenes/LatticeFormulas.h"
#include "scenes/PolygonGridsFormulas.h"
#include "scenes/PolygonGridsFormulas.h"
#include "scenes/LatticeFormulas.h"
#include "scenes/SwirlFieldFormulas.h"
#include "scenes/VortexFormulas.h"

#include <limits>

namespace tolva {
namespace {

using testing::Look;
using testing::reported;
using testing::same;

Look look(const greetings::CircleCell& c) { return {c.fill, c.position, c.turn}; }
Look look(const swirl::HeptagonCell& c) { return {c.fill, c.position, c.rotation, c.radius}; }
Look look(const swirl::SquareCell& c) { return {c.fill, c.position}; }
Look look(const polygon::PolygonCell& c) { return {c.fill, c.position}; }
Look look(const Circle& c) { return {c.getFillColor(), c.getPosition()}; }
Look look(const lattice::SquareCell& c) { return {c.fill, c.position, reported(c.rotation)}; }
Look look(const Rect& r) { return {r.getFillColor(), r.getPosition(), r.getRotation()}; }
Look look(const vortex::HeptagonCell& c) { return {c.fill, c.position, c.rotation}; }

// Cells [1..side][1..side] in drawing order; `plain` is called once per cell in that order.
template <class Fast, class Plain>
void everyCell(int side, Fast fast, Plain plain, float frame, float also = 0.0f)
{
    testing::everyCell(
        side, [&](int i, int j) { return look(fast(i, j)); }, [&](float i, float j) { return look(plain(i, j)); },
        "at " + std::to_string(frame) + " " + std::to_string(also));
}

float above(float x) { return std::nextafter(x, std::numeric_limits<float>::infinity()); }
float below(float x) { return std::nextafter(x, -std::numeric_limits<float>::infinity()); }

// Scene 3: phases from the first frame to well past the scene's end, spins from a hand-over
// frame's long midFrameDelta down to nothing.
TEST(FastPath, Greetings)
{
    greetings::ScrollerTerms terms;
    for (const float P : {0.0f, 0.1f, 0.2000004f, 3.7f, 57.31f, 160.25f, 345.9f, 1234.5f}) {
        for (const float spin : {0.0f, 0.05f, 25.0f * 0.0166667f, 12.5f}) {
            terms.beginFrame(P, spin);
            everyCell(greetings::fieldSize, [&](int i, int j) { return terms.cell(i, j); },
                      [&](float i, float j) { return greetings::circleCell(i, j, P, spin); }, P, spin);
        }
    }
}

// Scene 4: countdowns in every phase of the wave and on every bound, both sides.
TEST(FastPath, Swirl)
{
    swirl::HeptagonTerms heptagons;
    swirl::SquareTerms squares;
    for (const float q : {0.0f, 0.25f, 7.3f, 150.0f, 367.51f, 735.0f, 2000.1f}) {
        for (const float c4 : {49.0f, above(25.75f), 25.75f, 24.0f, above(23.5f), 23.5f, above(22.5f), 22.5f,
                               below(22.5f), 21.5f, below(21.5f), 19.0f, below(19.0f), 3.0f, -0.001f}) {
            const swirl::Frame frame = swirl::frameOf(q, c4);
            heptagons.beginFrame(frame);
            everyCell(swirl::heptagonSize, [&](int i, int j) { return heptagons.cell(i, j); },
                      [&](float i, float j) { return swirl::heptagonCell(i, j, frame); }, q, c4);
        }
        const swirl::Frame frame = swirl::frameOf(q, 30.0f);
        squares.beginFrame(frame);
        everyCell(swirl::squareSize, [&](int k, int c) { return squares.cell(k, c); },
                  [&](float k, float c) { return swirl::squareCell(k, c, frame); }, q);
    }
}

// Scene 5: all three grids, frames in every regime of the heptagon offset (its edges included),
// the fuse burning through 1 cell by cell.
TEST(FastPath, PolygonGrids)
{
    struct FrameCase {
        float gridTime, colourFuse, fuseTick;
    };
    const FrameCase frames[] = {
        {0.35f, 100.0f, 203.0f}, {7.3f, 14.0f, 0.0166f}, {24.1f, 1.0037f, 0.0166f}, {26.0f, 0.5f, 0.02f},
        {29.1f, 0.2f, 0.0f},     {80.0f, 1.0f, 0.0f},    {117.0f, 1.0f, 1e-9f},     {4000.0f, 3.0f, 0.05f},
        {0.0f, 100.0f, 0.0f}, {0x1.82aaaap+4f, 50.0f, 0.01f}, {27.5f, 50.0f, 0.01f},
    };
    ASSERT_EQ(polygon::gridFrame(frames[9].gridTime).slowPhase, 29.0f);  // the regime edges
    ASSERT_EQ(polygon::gridFrame(frames[10].gridTime).slowPhase, 33.0f);
    const polygon::PolygonGridsTerms terms;
    CircleGrid decagons(95, 95), pentagons(95, 95), heptagons(95, 95);
    const auto in = [](const CircleGrid& grid) {
        return [g = &grid](int i, int j) { return g->cell(i, j); };
    };
    for (const FrameCase& f : frames) {
        const polygon::GridFrame frame = polygon::gridFrame(f.gridTime);
        terms.decagons(frame.gridTime, decagons);
        terms.pentagons(frame.gridTime, frame.fastPhase, pentagons);
        const float fuseLeft = terms.heptagons(frame.slowPhase, f.colourFuse, f.fuseTick, heptagons);
        everyCell(polygon::cellsPerSide, in(decagons),
                  [&](float i, float j) { return polygon::decagonCell(i, j, frame.gridTime); }, f.gridTime);
        everyCell(polygon::cellsPerSide, in(pentagons),
                  [&](float i, float j) { return polygon::pentagonCell(i, j, frame.gridTime, frame.fastPhase); },
                  f.gridTime);
        float fuse = f.colourFuse;
        everyCell(polygon::cellsPerSide, in(heptagons), [&](float i, float j) {
            fuse = polygon::burnFuse(fuse, f.fuseTick);
            return polygon::heptagonCell(i, j, frame.slowPhase, fuse);
        }, f.gridTime);
        EXPECT_TRUE(same(fuseLeft, fuse)) << f.gridTime;
    }
}

// Scene 6: consecutive frames (t = 0, where a / t is infinite, among them) and a jump far ahead.
TEST(FastPath, Lattice)
{
    lattice::LatticeTerms lattice;
    for (const float t : {0.0f, 0.016f, 0.0333f, 1.0f, 14.2f, 54.0f, 300.0f, -2.5f}) {
        lattice.update(t);
        everyCell(124, [&](int a, int k) { return lattice.cells.cell(a, k); },
                  [&](float a, float k) { return lattice::squareCell(static_cast<int>(a), static_cast<int>(k), t); }, t);
    }
}

// Scene 7: the vortex from its start, through where the blend passes s = 1, to far beyond its
// window, one object through all frames as in the scene; the field with and without the tail.
TEST(FastPath, VortexAndField)
{
    vortex::VortexTerms vortex;
    for (const float vortexTime : {0.0f, 0.035f, 0.0712345f, 1.2345f, 17.5f, 33.333f, 50.0f, 60.0f,
                                   174.99f, 175.0f, 175.01f, 350.0f, 1000.0f, 123456.0f}) {
        vortex.beginFrame(vortexTime);
        everyCell(vortex::vortexSide, [&](int i, int j) { return vortex.cell(i, j); },
                  [&](float i, float j) { return vortex::vortexCell(i, j, vortexTime); }, vortexTime);
    }
    vortex::FieldTerms field;
    for (const bool tail : {false, true}) {
        for (const float gridTime : {0.0f, 117.35f, 118.0f, 600.5f, 1234.567f, 1500.25f, 1600.0f, 40000.0f}) {
            field.beginFrame(gridTime, tail);
            everyCell(vortex::fieldSide, [&](int i, int j) { return field.cell(i, j); },
                      [&](float i, float j) { return vortex::fieldCell(i, j, gridTime, tail); }, gridTime, tail);
        }
    }
}

} // namespace
} // namespace tolva

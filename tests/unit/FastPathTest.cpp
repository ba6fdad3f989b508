// Every scene's fast path (terms held for a frame, pieces hoisted per row or column) against its
// plain formulas, bit for bit on every cell, over frames across the scene and well past its end.
// The steps that apply the cells are checked the same way, through the recorder, in each scene's
// own test.

#include "support/SceneSteps.h"
#include "scenes/ColumnCascadeFormulas.h"
#include "scenes/GreetingsScrollerFormulas.h"
#include "scenes/LatticeFormulas.h"
#include "scenes/PolygonGridsFormulas.h"
#include "scenes/SpiralGridFormulas.h"
#include "scenes/SwirlFieldFormulas.h"
#include "scenes/VortexFormulas.h"

#include <limits>

namespace tolva {
namespace {

using testing::Look;
using testing::same;

Look look(const spiral::SpiralCell& c) { return {c.fill, c.position, c.rotation, c.radius, c.points}; }
Look look(const cascade::ColumnCell& c) { return {c.fill, c.position, {}, c.radius}; }
Look look(const cascade::CascadeCell& c) { return {c.fill, c.position}; }
Look look(const greetings::CircleCell& c) { return {c.fill, c.position, c.turn}; }
Look look(const swirl::HeptagonCell& c) { return {c.fill, c.position, c.rotation, c.radius}; }
Look look(const swirl::SquareCell& c) { return {c.fill, c.position}; }
Look look(const polygon::PolygonCell& c) { return {c.fill, c.position}; }
Look look(const lattice::SquareCell& c) { return {c.fill, c.position, c.rotation}; }
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

// Scene 1: warpTime from the first frame to where the point count and the angle are no longer
// numbers; one object through all frames, as in the scene.
TEST(FastPath, Spiral)
{
    spiral::SpiralTerms terms;
    for (const float w : {0.0f, 0.1f, 17.3f, 420.0f, 1863.77f, 3.0e7f, -5.5f, INFINITY, std::nanf("")}) {
        terms.beginFrame(w);
        everyCell(spiral::spiralCells, [&](int i, int j) { return terms.cell(i, j); },
                  [&](float i, float j) { return spiral::spiralCell(i, j, w); }, w);
    }
}

// Scene 2's columns, from the scene's start to far past its end.
TEST(FastPath, Columns)
{
    cascade::ColumnTerms terms;
    for (const float columnTime : {0.0f, 0.16667f, 12.0f, 97.3f, 360.5f, 5000.0f, -3.25f}) {
        terms.beginFrame(columnTime);
        everyCell(cascade::columnCells, [&](int i, int j) { return terms.cell(i, j); },
                  [&](float i, float j) { return cascade::columnCell(i, j, columnTime); }, columnTime);
    }
}

// Scene 2's squares, still and moving, with cascadeTime moving on every few squares as the
// scene's clock does: also where a row begins on the cascadeTime the row before ended on, and
// where it moves back to a value seen earlier.
TEST(FastPath, Cascade)
{
    cascade::CascadeTerms terms;
    for (const float countdown : {36.0f, above(cascade::cascadeStill), cascade::cascadeStill, 20.0f, 0.125f}) {
        for (const int every : {1, 7, 124 * 3}) {
            // The time square (a, b) sees: a step every `every` squares, back to the start on
            // every fifth.
            const auto seen = [every](int a, int b) {
                const int step = ((a - 1) * cascade::cascadeCells + (b - 1)) / every;
                return step % 5 == 4 ? 61.25f : 61.25f + 0.00037f * static_cast<float>(step);
            };
            terms.beginFrame(countdown);
            everyCell(cascade::cascadeCells, [&](int a, int b) { return terms.cell(a, b, seen(a, b)); },
                      [&](float a, float b) {
                          const int ia = static_cast<int>(a), ib = static_cast<int>(b);
                          return cascade::cascadeCell(ia, ib, seen(ia, ib), countdown);
                      }, countdown, static_cast<float>(every));
        }
    }
}

// Scene 3: phases from the first frame to well past the scene's end, spins from a hand-over
// frame's long midFrameDelta down to nothing.
TEST(FastPath, Greetings)
{
    greetings::CircleTerms terms;
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
// the heptagons on both sides of the fuse's switch.
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
    polygon::DecagonTerms decagons;
    polygon::PentagonTerms pentagons;
    polygon::HeptagonTerms heptagons;
    for (const FrameCase& f : frames) {
        const polygon::GridFrame frame = polygon::gridFrame(f.gridTime);
        decagons.beginFrame(frame.gridTime);
        pentagons.beginFrame(frame.gridTime, frame.fastPhase);
        heptagons.beginFrame(frame.slowPhase);
        everyCell(polygon::cellsPerSide, [&](int i, int j) { return decagons.cell(i, j); },
                  [&](float i, float j) { return polygon::decagonCell(i, j, frame.gridTime); }, f.gridTime);
        everyCell(polygon::cellsPerSide, [&](int i, int j) { return pentagons.cell(i, j); },
                  [&](float i, float j) { return polygon::pentagonCell(i, j, frame.gridTime, frame.fastPhase); },
                  f.gridTime);
        for (const float fuse : {f.colourFuse, below(1.0f), 1.0f}) {
            everyCell(polygon::cellsPerSide, [&](int i, int j) { return heptagons.cell(i, j, fuse); },
                      [&](float i, float j) { return polygon::heptagonCell(i, j, frame.slowPhase, fuse); },
                      f.gridTime, fuse);
        }
    }
}

// Scene 6: consecutive frames (t = 0, where a / t is infinite, among them) and a jump far ahead.
TEST(FastPath, Lattice)
{
    lattice::SquareTerms terms;
    for (const float t : {0.0f, 0.016f, 0.0333f, 1.0f, 14.2f, 54.0f, 300.0f, -2.5f}) {
        terms.beginFrame(t);
        everyCell(lattice::latticeCells, [&](int a, int k) { return terms.cell(a, k); },
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

// Scene 7: the vortex on circleGrid and the field on fieldGrid.

#include "support/Bits.h"
#include "driver/Show.h"
#include "render/Recorder.h"
#include "scenes/Formula.h"
#include "scenes/VortexFormulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tolva {
namespace {

using testing::bitsOf;

float f(int n) { return static_cast<float>(n); }

// ---------------------------------------------------------------------------------------------
// Worked values from a separate transcription of the formulas (every float operation rounded to
// single precision on its own, the single-precision functions from the C library): they catch a
// slipped precision in both of the C++ paths at once.

struct VortexWorked {
    int i, j;
    float vortexTime;
    sf::Color fill;
    float x, y, rotation;
};

TEST(VortexCell, WorkedValues)
{
    const VortexWorked cases[] = {
        {1, 1, 0.035f, {51, 63, 26}, 750.065979f, 553.041443f, 15.0035f},
        {94, 94, 0.035f, {92, 156, 83}, 701.879028f, 641.965515f, 15.0035f},
        {50, 30, 0.035f, {196, 110, 248}, 874.947083f, 668.932251f, 15.0035f},
        {70, 1, 40.0f, {180, 125, 147}, 1389.7959f, 1350.61743f, 19.0f},
        {3, 77, 40.0f, {150, 73, 68}, 477.6716f, 186.419907f, 19.0f},
        {94, 1, 57.3f, {101, 149, 189}, 2017.11597f, 57.6647072f, 20.7299995f},
    };
    for (const VortexWorked& c : cases) {
        const HeptagonLook look = vortexCell(f(c.i), f(c.j), c.vortexTime);
        EXPECT_EQ(look.fill, c.fill) << c.i << "," << c.j;
        EXPECT_EQ(look.position.x, c.x) << c.i << "," << c.j;
        EXPECT_EQ(look.position.y, c.y) << c.i << "," << c.j;
        EXPECT_EQ(look.rotation, c.rotation) << c.i << "," << c.j;
    }
}

struct FieldWorked {
    int i, j;
    float gridTime;
    bool tail;
    sf::Color fill;
    float x, y;
};

TEST(FieldCell, WorkedValues)
{
    const FieldWorked cases[] = {
        {1, 1, 700.0f, false, {1, 1, 20}, 687.831604f, 549.766541f},
        {119, 119, 700.0f, false, {119, 119, 76}, 451.073853f, 417.485535f},
        {60, 7, 1500.25f, true, {7, 60, 176}, -397.880981f, 82.6832886f},
        {13, 101, 1500.25f, true, {101, 13, 4}, 568.907776f, 444.991302f},
    };
    for (const FieldWorked& c : cases) {
        const HeptagonLook look = fieldCell(f(c.i), f(c.j), c.gridTime, c.tail);
        EXPECT_EQ(look.fill, c.fill) << c.i << "," << c.j;
        EXPECT_EQ(look.position.x, c.x) << c.i << "," << c.j;
        EXPECT_EQ(look.position.y, c.y) << c.i << "," << c.j;
    }
}

// ---------------------------------------------------------------------------------------------
// The step, through the show's own objects.

class VortexStep : public ::testing::Test {
protected:
    ManualTimeSource time;
    ShowState state{time};
    Recorder recorder;
    Show show{state, recorder};

    // One step with countdown7 before it, this frame's frameDelta and the time the scene's own
    // restart of frameClock reads.
    void step(float countdown, float frameSeconds, float midSeconds)
    {
        state.countdown[7] = countdown;
        state.frameDelta = sf::seconds(frameSeconds);
        state.frameClock.setElapsed(sf::seconds(midSeconds));
        recorder.forget();
        show.run(7, recorder);
    }

    std::vector<CircleOp> drawn(const char* grid) const
    {
        std::vector<CircleOp> out;
        for (const CircleOp& op : recorder.only<CircleOp>()) {
            if (std::strcmp(op.cell.grid, grid) == 0) {
                out.push_back(op);
            }
        }
        return out;
    }
};

TEST_F(VortexStep, ClocksCountdownAndWhichTimeEachGridSees)
{
    show.objects.vortexTime = 12.25f;
    show.objects.gridTime = 321.5f;
    const float mid = 0.004f;
    step(30.0f, 0.0167f, mid);

    const float mid8 = sf::seconds(mid).asSeconds();
    const float vortexTime = narrow(wide(mid8) + 0.035 + wide(12.25f));
    const float gridTime = narrow(wide(mid8) + 0.5 + wide(321.5f));
    EXPECT_EQ(show.objects.vortexTime, vortexTime);
    EXPECT_EQ(show.objects.gridTime, gridTime);
    EXPECT_EQ(state.countdown[7],
              narrow(wide(30.0f) - wide(sf::seconds(0.0167f).asSeconds()) * 1.1));

    // The vortex uses this frame's vortexTime; the field the gridTime advanced after the vortex.
    const std::vector<CircleOp> vortex = drawn("circleGrid"), field = drawn("fieldGrid");
    ASSERT_EQ(vortex.size(), static_cast<std::size_t>(vortexSide * vortexSide));
    ASSERT_EQ(field.size(), static_cast<std::size_t>(fieldSide * fieldSide));
    const CircleOp& v = vortex[vortexSide + 2];  // cell 2,3 in row order
    EXPECT_EQ(v.position, vortexCell(f(2), f(3), vortexTime).position);
    EXPECT_EQ(v.rotation, vortexCell(f(2), f(3), vortexTime).rotation);
    const CircleOp& w = field[fieldSide + 2];
    EXPECT_EQ(w.position, fieldCell(f(2), f(3), gridTime, false).position);
    EXPECT_EQ(w.rotation, 0.0f);  // the field turns by nothing
}

TEST_F(VortexStep, OverwritesWhatEarlierScenesLeft)
{
    Circle leftOver;
    leftOver.setRadius(99);
    leftOver.setPointCount(30);
    leftOver.setRotation(123);
    for (std::size_t i = 0; i <= vortexSide; ++i) {
        for (std::size_t j = 0; j <= vortexSide; ++j) {
            show.objects.circleGrid.at(i, j) = leftOver;
        }
    }
    show.objects.vortexTime = 3605.0f;  // spin 360.5: the shape keeps its angle below 360
    step(20.0f, 0.0f, 0.0f);

    const Circle& cell = show.objects.circleGrid.at(47, 12);
    EXPECT_EQ(cell.getRadius(), 15.0f);
    EXPECT_EQ(cell.getPointCount(), 7u);
    const HeptagonLook look = vortexCell(f(47), f(12), show.objects.vortexTime);
    EXPECT_GT(look.rotation, 360.0f);
    EXPECT_EQ(cell.getRotation(), std::fmod(look.rotation, 360.0f));
}

TEST_F(VortexStep, FieldHiddenForTheFirstNineUnitsYetUpdated)
{
    show.objects.gridTime = 200.0f;
    // No time passes, so countdown7 stays where it is set: 45 itself still hides the field.
    for (const float countdown : {54.0f, 46.0f, 45.0f}) {
        step(countdown, 0.0f, 0.0f);
        EXPECT_TRUE(drawn("fieldGrid").empty()) << countdown;
        const HeptagonLook look = fieldCell(f(60), f(70), show.objects.gridTime, false);
        EXPECT_EQ(show.objects.fieldGrid.at(60, 70).getPosition(), look.position) << countdown;
    }
    step(std::nextafter(45.0f, 0.0f), 0.0f, 0.0f);
    EXPECT_EQ(drawn("fieldGrid").size(), static_cast<std::size_t>(fieldSide * fieldSide));

    // The threshold is on the countdown after this frame's decrement.
    step(45.01f, 0.1f, 0.0f);
    EXPECT_LT(state.countdown[7], 45.0f);
    EXPECT_EQ(drawn("fieldGrid").size(), static_cast<std::size_t>(fieldSide * fieldSide));
}

TEST_F(VortexStep, TailFromBelowSixOnTheDecrementedCountdown)
{
    show.objects.gridTime = 1480.0f;
    step(6.0f, 0.0f, 0.0f);
    const float gridTime = show.objects.gridTime;
    EXPECT_EQ(show.objects.fieldGrid.at(60, 7).getPosition(),
              fieldCell(f(60), f(7), gridTime, false).position);

    step(6.01f, 0.1f, 0.0f);  // falls below 6 in this very frame
    EXPECT_EQ(show.objects.fieldGrid.at(60, 7).getPosition(),
              fieldCell(f(60), f(7), show.objects.gridTime, true).position);
}

} // namespace
} // namespace tolva

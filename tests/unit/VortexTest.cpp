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

// Same bits, NaN payloads included.
::testing::AssertionResult sameLook(const HeptagonLook& fast, const HeptagonLook& plain)
{
    if (fast.fill == plain.fill && bitsOf(fast.position.x) == bitsOf(plain.position.x)
        && bitsOf(fast.position.y) == bitsOf(plain.position.y)
        && bitsOf(fast.rotation) == bitsOf(plain.rotation)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "position (" << fast.position.x << ", " << fast.position.y << ") vs ("
           << plain.position.x << ", " << plain.position.y << "), rotation " << fast.rotation
           << " vs " << plain.rotation;
}

float f(int n) { return static_cast<float>(n); }

// ---------------------------------------------------------------------------------------------
// The hoisted terms against the formulas worked out afresh, on every cell.

TEST(VortexTerms, SameBitsAsThePlainFormulasOnEveryCell)
{
    VortexTerms terms;  // one object through all frames, as in the scene
    // The scene's start, its middle, where the blend passes s = 1, and far beyond the window.
    const float times[] = {0.0f, 0.035f, 0.0712345f, 1.2345f, 17.5f, 33.333f, 50.0f, 60.0f,
                           174.99f, 175.0f, 175.01f, 350.0f, 1000.0f, 123456.0f};
    for (const float vortexTime : times) {
        terms.beginFrame(vortexTime);
        for (int i = 1; i <= vortexSide; ++i) {
            for (int j = 1; j <= vortexSide; ++j) {
                ASSERT_TRUE(sameLook(terms.cell(i, j), vortexCell(f(i), f(j), vortexTime)))
                    << "cell (" << i << ", " << j << ") at vortexTime " << vortexTime;
            }
        }
    }
}

TEST(FieldTerms, SameBitsAsThePlainFormulasOnEveryCell)
{
    FieldTerms terms;
    const float times[] = {0.0f, 117.35f, 118.0f, 600.5f, 1234.567f, 1500.25f, 1600.0f, 40000.0f};
    for (const bool tail : {false, true}) {
        for (const float gridTime : times) {
            terms.beginFrame(gridTime, tail);
            for (int i = 1; i <= fieldSide; ++i) {
                for (int j = 1; j <= fieldSide; ++j) {
                    ASSERT_TRUE(sameLook(terms.cell(i, j), fieldCell(f(i), f(j), gridTime, tail)))
                        << "cell (" << i << ", " << j << ") at gridTime " << gridTime
                        << (tail ? " with" : " without") << " the tail";
                }
            }
        }
    }
}

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
        {60, 7, 700.0f, false, {7, 60, 176}, 543.99939f, 508.235138f},
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

TEST(FieldCell, BlueIsTwentyTimesTheRowModulo256)
{
    for (int i = 1; i <= fieldSide; ++i) {
        for (int j = 1; j <= fieldSide; ++j) {
            ASSERT_EQ(fieldCell(f(i), f(j), 500.0f, false).fill.b, (20 * i) % 256);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// What the picture does.

struct Spread {
    int inRegion = 0;  // positions inside a box
    int inWindow = 0;  // shapes of which some part can show
    int finite = 0;
};

template <class Look>
Spread spread(int side, Look look, float left, float right, float top, float bottom)
{
    Spread result;
    for (int i = 1; i <= side; ++i) {
        for (int j = 1; j <= side; ++j) {
            const sf::Vector2f p = look(i, j).position;
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
                continue;
            }
            ++result.finite;
            result.inRegion += p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
            result.inWindow += p.x > -2 * heptagonRadius && p.x < 1920 && p.y > -2 * heptagonRadius
                               && p.y < 1080;
        }
    }
    return result;
}

Spread vortexSpread(float vortexTime)
{
    return spread(
        vortexSide, [&](int i, int j) { return vortexCell(f(i), f(j), vortexTime); }, 690, 1280,
        270, 830);
}

TEST(Vortex, StartsAroundTheMiddleAndSpreadsOutAsItsClockGrows)
{
    const int cells = vortexSide * vortexSide;
    // First frame: most cells in the region right of the middle, every one finite; the cells of
    // large i and small j circle far out, so the region does not hold them all.
    const Spread start = vortexSpread(0.035f);
    EXPECT_EQ(start.finite, cells);
    EXPECT_GT(start.inRegion, cells * 3 / 4);
    EXPECT_LT(start.inRegion, cells);
    EXPECT_GT(start.inWindow, cells * 95 / 100);

    // It widens: fewer in the region at each step, and at 50 only about a third still shows.
    int previous = start.inRegion;
    for (const float vortexTime : {10.0f, 20.0f, 30.0f, 40.0f}) {
        const Spread now = vortexSpread(vortexTime);
        EXPECT_LT(now.inRegion, previous) << vortexTime;
        previous = now.inRegion;
    }
    const Spread at50 = vortexSpread(50.0f);
    EXPECT_GT(at50.inWindow, cells / 5);
    EXPECT_LT(at50.inWindow, cells * 2 / 5);
    EXPECT_LT(vortexSpread(60.0f).inWindow, cells / 100);
}

TEST(Vortex, EachCellCirclesItsCentreAsSpinAdvances)
{
    // Over a small change of the clock the radius barely changes while the angle turns with
    // spin = vortexTime / 10 (radians), the same for every cell.
    for (const auto& [i, j] : {std::pair{30, 40}, std::pair{60, 20}, std::pair{90, 90}}) {
        const sf::Vector2f centre(f(i) * 3 + 750, 550 - std::cos(f(j) / f(i)));
        const sf::Vector2f a = vortexCell(f(i), f(j), 20.0f).position - centre;
        const sf::Vector2f b = vortexCell(f(i), f(j), 20.5f).position - centre;
        const double turn = std::atan2(wide(b.y), wide(b.x)) - std::atan2(wide(a.y), wide(a.x));
        EXPECT_NEAR(std::remainder(turn, 2 * M_PI), 0.05, 0.02) << i << "," << j;
    }
}

Spread fieldSpread(float gridTime, bool tail)
{
    return spread(
        fieldSide, [&](int i, int j) { return fieldCell(f(i), f(j), gridTime, tail); }, 300, 700,
        440, 660);
}

TEST(Field, ClusteredLeftOfTheMiddleUntilTheTailThenScattered)
{
    const int cells = fieldSide * fieldSide;
    // gridTime from where scene 5 leaves it to where the tail begins (at 60 frames a second).
    for (const float gridTime : {117.5f, 400.0f, 900.0f, 1420.0f}) {
        const Spread cluster = fieldSpread(gridTime, false);
        EXPECT_EQ(cluster.finite, cells);
        EXPECT_GT(cluster.inRegion, cells * 3 / 4) << gridTime;
        EXPECT_GE(cluster.inWindow, cells - 5) << gridTime;
    }
    // The tail's last 5.5 units. Where sinf(q) passes zero (q = 11 pi, gridTime near 1520) the
    // factor z + tail shrinks for a moment and the field draws together instead.
    for (const float gridTime : {1430.0f, 1470.0f, 1570.0f, 1590.0f}) {
        const Spread burst = fieldSpread(gridTime, true);
        EXPECT_LT(burst.inRegion, cells / 4) << gridTime;
        EXPECT_LT(burst.inWindow, cells / 2) << gridTime;
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

TEST_F(VortexStep, ClocksCountdownAndEveryShapeInOrder)
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

    // clear, the vortex, the field, display: nothing else, in that order.
    const auto& ops = recorder.ops();
    ASSERT_EQ(ops.size(), 2u + vortexSide * vortexSide + fieldSide * fieldSide);
    EXPECT_TRUE(std::holds_alternative<ClearOp>(ops.front()));
    EXPECT_EQ(std::get<ClearOp>(ops.front()).color, sf::Color(0, 0, 0, 255));
    EXPECT_TRUE(std::holds_alternative<DisplayOp>(ops.back()));
    EXPECT_TRUE(recorder.only<SoundOp>().empty());

    // The vortex uses this frame's vortexTime; the field the gridTime advanced after the vortex.
    const auto vortex = drawn("circleGrid");
    ASSERT_EQ(vortex.size(), static_cast<std::size_t>(vortexSide * vortexSide));
    std::size_t k = 0;
    for (int i = 1; i <= vortexSide; ++i) {
        for (int j = 1; j <= vortexSide; ++j, ++k) {
            const CircleOp& op = vortex[k];
            ASSERT_EQ(op.cell.i, i);
            ASSERT_EQ(op.cell.j, j);
            const HeptagonLook look = vortexCell(f(i), f(j), vortexTime);
            ASSERT_EQ(op.fill, look.fill);
            ASSERT_EQ(bitsOf(op.position.x), bitsOf(look.position.x)) << i << "," << j;
            ASSERT_EQ(bitsOf(op.position.y), bitsOf(look.position.y)) << i << "," << j;
            ASSERT_EQ(op.radius, 15.0f);
            ASSERT_EQ(op.points, 7u);
            ASSERT_EQ(op.rotation, look.rotation);  // below 360: SFML keeps it as given
        }
    }
    const auto field = drawn("fieldGrid");
    ASSERT_EQ(field.size(), static_cast<std::size_t>(fieldSide * fieldSide));
    k = 0;
    for (int i = 1; i <= fieldSide; ++i) {
        for (int j = 1; j <= fieldSide; ++j, ++k) {
            const CircleOp& op = field[k];
            ASSERT_EQ(op.cell.i, i);
            ASSERT_EQ(op.cell.j, j);
            const HeptagonLook look = fieldCell(f(i), f(j), gridTime, false);
            ASSERT_EQ(op.fill, look.fill);
            ASSERT_EQ(bitsOf(op.position.x), bitsOf(look.position.x)) << i << "," << j;
            ASSERT_EQ(bitsOf(op.position.y), bitsOf(look.position.y)) << i << "," << j;
            ASSERT_EQ(op.radius, 15.0f);
            ASSERT_EQ(op.points, 7u);
            ASSERT_EQ(op.rotation, 0.0f);
        }
    }
}

TEST_F(VortexStep, OverwritesWhatEarlierScenesLeftAndNothingElse)
{
    Circle leftOver;
    leftOver.setRadius(99);
    leftOver.setPointCount(30);
    leftOver.setFillColor(sf::Color(1, 2, 3, 4));
    leftOver.setPosition(5, 6);
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
    EXPECT_EQ(cell.getFillColor(), look.fill);
    EXPECT_GT(look.rotation, 360.0f);
    EXPECT_EQ(cell.getRotation(), std::fmod(look.rotation, 360.0f));
    EXPECT_EQ(cell.getOrigin(), sf::Vector2f(0, 0));
    EXPECT_EQ(cell.getScale(), sf::Vector2f(1, 1));
    // Row 0 and column 0 are not the scene's.
    for (const auto& [i, j] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
        const Circle& unused = show.objects.circleGrid.at(static_cast<std::size_t>(i),
                                                          static_cast<std::size_t>(j));
        EXPECT_EQ(unused.getRadius(), 99.0f);
        EXPECT_EQ(unused.getPosition(), sf::Vector2f(5, 6));
    }
    const Circle& fieldUnused = show.objects.fieldGrid.at(0, 7);
    EXPECT_EQ(fieldUnused.getRadius(), 0.0f);
    EXPECT_EQ(fieldUnused.getPointCount(), 30u);
    EXPECT_EQ(fieldUnused.getPosition(), sf::Vector2f(0, 0));
}

TEST_F(VortexStep, FieldHiddenForTheFirstNineUnitsYetUpdated)
{
    show.objects.gridTime = 200.0f;
    // No time passes, so countdown7 stays where it is set: 45 itself still hides the field.
    for (const float countdown : {54.0f, 46.0f, 45.0f}) {
        step(countdown, 0.0f, 0.0f);
        EXPECT_TRUE(drawn("fieldGrid").empty()) << countdown;
        EXPECT_EQ(drawn("circleGrid").size(), static_cast<std::size_t>(vortexSide * vortexSide));
        const HeptagonLook look = fieldCell(f(60), f(70), show.objects.gridTime, false);
        EXPECT_EQ(show.objects.fieldGrid.at(60, 70).getPosition(), look.position) << countdown;
        EXPECT_EQ(show.objects.fieldGrid.at(60, 70).getRadius(), 15.0f);
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
    int inWindow = 0;
    for (const CircleOp& op : drawn("fieldGrid")) {
        inWindow += op.position.x > -30 && op.position.x < 1920 && op.position.y > -30
                    && op.position.y < 1080;
    }
    EXPECT_LT(inWindow, fieldSide * fieldSide / 2);
}

TEST_F(VortexStep, ClocksRunPerFrameFromWhereTheyWereLeft)
{
    // gridTime carries on from scene 5; both clocks gain their step plus the short restart.
    show.objects.vortexTime = 0.0f;
    show.objects.gridTime = 117.0f;
    for (int frame = 0; frame < 10; ++frame) {
        step(40.0f, 1.0f / 60, 0.0005f);
    }
    EXPECT_NEAR(show.objects.vortexTime, 10 * 0.0355, 1e-5);
    EXPECT_NEAR(show.objects.gridTime, 117 + 10 * 0.5005, 1e-4);
}

} // namespace
} // namespace tolva

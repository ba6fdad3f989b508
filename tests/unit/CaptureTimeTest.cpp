// The capture's time model: virtual time read as SFML reads a clock, heads exactly 1/fps apart,
// and a cost for every reading and drawing operation.

#include "capture/WorkCanvas.h"
#include "capture/WorkClock.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

namespace {

using namespace tolva;

WorkModel model(std::int64_t readingNs)
{
    WorkModel m;
    m.startupNs = 1'000'000;
    m.readingNs = readingNs;
    return m;
}

TEST(CaptureTime, ReadingsAreWholeMicrosecondsAndEachCostsItsShare)
{
    WorkClock clock(model(400), 60);
    clock.startIteration(0);
    // 1000000, 1000400, 1000800 ns read as 1000 us; the fourth reading, at 1001200 ns, as 1001.
    for (const sf::Int64 expected : {1000, 1000, 1000, 1001}) {
        EXPECT_EQ(clock.now().asMicroseconds(), expected);
    }
    EXPECT_EQ(clock.peek().asMicroseconds(), 1001);  // a look costs nothing
    EXPECT_EQ(clock.nanoseconds(), 1'001'600);
}

TEST(CaptureTime, HeadsAreExactlyOneFrameApartAndAnOverrunNeverRewinds)
{
    WorkClock clock(model(90), 60);
    ShowClock frameClock(clock);
    clock.startIteration(0);
    frameClock.restart();
    sf::Int64 total = 0;
    for (long k = 1; k <= 60; ++k) {
        clock.spend(3'000'000);
        clock.startIteration(k);
        total += frameClock.restart().asMicroseconds();
    }
    EXPECT_EQ(total, 1'000'000) << "60 frames are one second to the microsecond";
    const std::int64_t before = clock.nanoseconds();
    clock.spend(20'000'000);  // longer than a frame: the next head waits
    clock.startIteration(61);
    EXPECT_EQ(clock.nanoseconds(), before + 20'000'000);
    EXPECT_EQ(clock.overruns(), 1);
    clock.startIteration(62);
    EXPECT_EQ(clock.nanoseconds(), clock.headNs(62));
}

// Scene 2's cascade adds up what its clock shows at every cell: the total must not depend on
// whether the scene reads elapsed time and then restarts, or only restarts, in any frame.
TEST(CaptureTime, CascadeGrowsAlikeWithOneOrTwoReadingsPerCell)
{
    constexpr int cells = 15376;
    const WorkModel show;  // the capture's own costs
    auto grow = [&](long frame, bool twoReadings) {
        WorkClock clock(show, 60);
        clock.startIteration(frame);
        ShowClock cascadeClock(clock);
        sf::Int64 total = 0;
        for (int k = 0; k < cells; ++k) {
            if (twoReadings) {
                total += cascadeClock.getElapsedTime().asMicroseconds();
                cascadeClock.restart();
            } else {
                total += cascadeClock.restart().asMicroseconds();
            }
        }
        return static_cast<double>(total);
    };
    const double expected = static_cast<double>(cells * show.readingNs) / 1000.0;
    EXPECT_NEAR(expected, 1400.0, 100.0) << "about 0.014 of cascade time a frame";
    for (long frame = 3679; frame < 3679 + 12; ++frame) {
        EXPECT_NEAR(grow(frame, false), expected, 1.0) << frame;
        EXPECT_NEAR(grow(frame, true), expected, expected * 0.02) << frame;
    }
}

TEST(CaptureTime, DrawingCostsTheSameWhetherRenderedOrSkipped)
{
    WorkModel m = model(90);
    WorkClock rendered(m, 60);
    WorkClock skipped(m, 60);
    Recorder target;
    WorkCanvas a(rendered);
    WorkCanvas b(skipped);
    a.renderTo(&target);
    const Circle circle;
    const Rect rect;
    for (WorkCanvas* canvas : {&a, &b}) {
        canvas->clear(sf::Color::Black);
        for (int k = 0; k < 1000; ++k) {
            canvas->draw(circle, {"circleGrid", k, 1});
            canvas->draw(rect, {"squareGrid", k, 1});
        }
        canvas->display();
    }
    EXPECT_EQ(rendered.nanoseconds(), m.clearNs + 2000 * m.shapeNs + m.presentNs);
    EXPECT_EQ(skipped.nanoseconds(), rendered.nanoseconds());
    EXPECT_EQ(target.only<CircleOp>().size(), 1000u);
}

} // namespace

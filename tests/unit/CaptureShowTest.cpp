// The capture's time model (virtual time read as SFML reads a clock, heads exactly 1/fps apart, a
// cost for every reading and drawing operation) and the show run on it under an X display:
// skipped iterations leave the show exactly as rendered ones do, and frames come back from the
// render texture the right way up.

#include "capture/CaptureDeck.h"
#include "capture/FrameCanvas.h"
#include "worktime/WorkCanvas.h"
#include "driver/Show.h"
#include "render/Letterbox.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

using namespace tolva;

TEST(CaptureTime, ReadingsAreWholeMicrosecondsEveryOperationCostsItsShareAndHeadsAreOneFrameApart)
{
    WorkModel m;
    m.startupNs = 1'000'000;
    m.readingNs = 400;
    WorkClock clock(m, 60);
    clock.startIteration(0);
    // 1000000, 1000400, 1000800 ns read as 1000 us; the fourth reading, at 1001200 ns, as 1001.
    for (const sf::Int64 expected : {1000, 1000, 1000, 1001}) {
        EXPECT_EQ(clock.now().asMicroseconds(), expected);
    }
    EXPECT_EQ(clock.peek().asMicroseconds(), 1001);  // a look costs nothing
    // Every drawing operation costs its share, and goes on to the canvas that renders.
    Recorder target;
    WorkCanvas canvas(clock);
    canvas.renderTo(&target);
    canvas.clear(sf::Color::Black);
    canvas.draw(Circle(), {"circleGrid", 0, 1});
    canvas.draw(Rect(), {"squareGrid", 0, 1});
    canvas.display();
    EXPECT_EQ(clock.nanoseconds(), 1'001'600 + m.clearNs + 2 * m.shapeNs + m.presentNs);
    EXPECT_EQ(target.ops().size(), 4u);

    WorkClock heads(m, 60);
    ShowClock frameClock(heads);
    heads.startIteration(0);
    frameClock.restart();
    sf::Int64 total = 0;
    for (long k = 1; k <= 60; ++k) {
        heads.spend(3'000'000);
        heads.startIteration(k);
        total += frameClock.restart().asMicroseconds();
    }
    EXPECT_EQ(total, 1'000'000) << "60 frames are one second to the microsecond";
    const std::int64_t before = heads.nanoseconds();
    heads.spend(20'000'000);  // longer than a frame: the next head waits
    heads.startIteration(61);
    EXPECT_EQ(heads.nanoseconds(), before + 20'000'000);
    EXPECT_EQ(heads.overruns(), 1);
    heads.startIteration(62);
    EXPECT_EQ(heads.nanoseconds(), heads.headNs(62));
}

// Scene 2's cascade adds up what its clock shows at each of its 15376 cells: the total must not
// depend on whether the scene reads elapsed time and then restarts, or only restarts, in any frame.
TEST(CaptureTime, CascadeGrowsAlikeWithOneOrTwoReadingsPerCell)
{
    const WorkModel show;  // the capture's own costs
    const double expected = static_cast<double>(15376 * show.readingNs) / 1000.0;
    for (long frame = 3679; frame < 3679 + 12; ++frame) {
        for (const bool twoReadings : {false, true}) {
            WorkClock clock(show, 60);
            clock.startIteration(frame);
            ShowClock cascadeClock(clock);
            sf::Int64 total = 0;
            for (int cell = 0; cell < 15376; ++cell) {
                total += (twoReadings ? cascadeClock.getElapsedTime() : cascadeClock.restart()).asMicroseconds();
                if (twoReadings) {
                    cascadeClock.restart();
                }
            }
            EXPECT_NEAR(static_cast<double>(total), expected, twoReadings ? expected * 0.02 : 1.0) << frame;
        }
    }
}

struct CapturedShow {
    WorkClock clock{WorkModel{}, 60};
    ShowState state{clock};
    CaptureDeck deck{clock};
    Show show{state, deck};
    WorkCanvas canvas{clock};
    long k = 0;

    // Everything a later iteration depends on.
    std::map<std::string, double> iterate()
    {
        clock.startIteration(k);
        deck.setIteration(k++);
        show.iterate(canvas, false);
        std::map<std::string, double> state = {{"clock", static_cast<double>(clock.nanoseconds())},
                                               {"cues", static_cast<double>(deck.cues().size())},
                                               {"presents", static_cast<double>(canvas.presents())}};
        for (const auto& [name, value] : show.floatValues()) {
            state[name] = static_cast<double>(*value);
        }
        for (const auto& [name, flag] : show.flagValues()) {
            state[name] = *flag ? 1.0 : 0.0;
        }
        return state;
    }
};

TEST(CaptureShow, SkippedIterationsLeaveTheShowAsRenderedOnesDo)
{
    if (!displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    auto rendered = std::make_unique<CapturedShow>();
    auto skipped = std::make_unique<CapturedShow>();
    Recorder target(false);
    rendered->canvas.renderTo(&target);

    // Every scene for a few frames, each hand-over brought forward the same way in both.
    for (int scene = 0; scene <= 8 && rendered->canvas.isOpen(); ++scene) {
        for (int f = 0; f < (scene == 0 ? 20 : 4); ++f) {
            ASSERT_EQ(rendered->iterate(), skipped->iterate()) << "scene " << scene;
        }
        if (scene >= 1 && scene < 8) {
            rendered->state.countdown[static_cast<std::size_t>(scene)] = 0.001f;
            skipped->state.countdown[static_cast<std::size_t>(scene)] = 0.001f;
        }
    }
    EXPECT_GT(target.only<DisplayOp>().size(), 40u) << "every scene rendered its frames";
    EXPECT_GT(rendered->show.scenes.columnCascade.cascadeTime, 0.0f) << "time passes inside scene 2's step";
    EXPECT_EQ(rendered->clock.overruns(), 0);
}

TEST(CaptureShow, FramesComeBackTopDownAndTheLastPresentStays)
{
    if (!displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    sf::RenderTexture texture;
    ASSERT_TRUE(texture.create(showWidth, showHeight, BatchCanvas::targetSettings()));
    FrameCanvas canvas(texture);
    Rect corner;
    corner.setSize(sf::Vector2f(10, 10));
    corner.setFillColor(sf::Color::Red);
    canvas.clear(sf::Color::Blue);
    canvas.draw(corner, {"squareGrid", 1, 1});
    canvas.display();
    const std::vector<sf::Uint8> first = canvas.lastFrame();
    const sf::Image reference = texture.getTexture().copyToImage();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), reference.getPixelsPtr())) << "what SFML's own read-back gives";
    EXPECT_EQ(reference.getPixel(5, 5), sf::Color::Red) << "the square is at the top left";

    // A second present in the same iteration (a hand-over) replaces the first.
    canvas.clear(sf::Color::Green);
    canvas.display();
    EXPECT_EQ(canvas.lastFrame()[1], 255);
}

} // namespace

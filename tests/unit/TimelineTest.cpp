// The frame loop's order, gates and countdown rules, with scene units that only keep time.

#include "driver/Timeline.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace tolva {
namespace {

// Does what every scene does besides drawing: the second frameClock restart of scenes 2 to 8, a
// clear and a present. Notes the frameDelta it saw.
struct TimekeepingUnit final : SceneUnit {
    TimekeepingUnit(int n) : scene(n) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck&) override
    {
        if (scene >= 2) {
            state.frameClock.restart();
        }
        seen.push_back(state.frameDelta);
        canvas.clear(sf::Color::Black);
        canvas.display();
    }
    int scene;
    std::vector<sf::Time> seen;
};

struct Rig {
    ManualTimeSource time;
    ShowState state{time};
    ShowClock scrollerClock{time};
    std::array<TimekeepingUnit, 9> units{0, 1, 2, 3, 4, 5, 6, 7, 8};  // scenes 1 to 8
    Recorder recorder{false};
    FrameLoop loop{scrollerClock, {nullptr, &units[1], &units[2], &units[3], &units[4], &units[5], &units[6], &units[7], &units[8]}};

    IterationReport next(sf::Time period, bool escape = false)
    {
        time.advance(period);
        return loop.iterate(state, recorder, recorder, escape);
    }
};

TEST(FrameLoop, HandOverPresentsTwoFramesOnOneFrameDelta)
{
    Rig rig;
    int handOvers = 0;
    while (rig.recorder.isOpen() && rig.state.countdown[8] >= 0.0f) {
        const unsigned before = rig.recorder.framesPresented();
        const std::vector<int> scenes = rig.next(sf::microseconds(16667)).scenes;
        ASSERT_EQ(rig.recorder.framesPresented() - before, scenes.size());
        if (scenes.size() == 2 && scenes[0] >= 1) {
            ++handOvers;
            EXPECT_EQ(rig.units.at(static_cast<std::size_t>(scenes[0])).seen.back(),
                      rig.units.at(static_cast<std::size_t>(scenes[1])).seen.back());
        }
    }
    EXPECT_EQ(handOvers, 7);
}

// A countdown that lands on 0.0 exactly holds both its own gate (>= 0) and the next scene's
// (<= 0): both run again in the next iteration. Scene 7's rule (x 1.1) never lands on 0 exactly.
TEST(FrameLoop, CountdownLandingExactlyOnZeroRunsBothScenesAgain)
{
    for (int n = 1; n <= 6; ++n) {
        Rig rig;
        std::fill_n(rig.state.countdown.begin(), n, -0.1f);
        rig.state.countdown[static_cast<std::size_t>(n)] = n == 6 ? 0.75f : 0.5f;
        EXPECT_EQ(rig.next(sf::milliseconds(500)).scenes, (std::vector<int>{n, n + 1})) << n;
        EXPECT_EQ(rig.state.countdown[static_cast<std::size_t>(n)], 0.0f) << n;
        EXPECT_EQ(rig.next(sf::milliseconds(10)).scenes, (std::vector<int>{n, n + 1})) << n;
        EXPECT_EQ(rig.next(sf::milliseconds(10)).scenes, std::vector<int>{n + 1}) << n;
    }
}

TEST(FrameLoop, OneLongStallEmptiesSeveralCountdownsInOneIteration)
{
    Rig rig;
    rig.state.countdown = {-0.1f, 1, 36, 57, 49, 39, 36, 54, 34};
    // Scenes 1 and 2 empty on the same 50 s; scene 3 runs once and survives it.
    EXPECT_EQ(rig.next(sf::seconds(50)).scenes, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(rig.state.countdown[2], 36.0f - 50.0f);
    // Then everything left empties at once.
    EXPECT_EQ(rig.next(sf::seconds(60)).scenes, (std::vector<int>{3, 4, 5, 6, 7, 8}));
}

// A slow start-up lands in the first frameDelta; Escape closes, yet the iteration runs to its end.
TEST(FrameLoop, StartUpCountsInTheTimesAndEscapeEndsTheIteration)
{
    Rig rig;
    rig.next(sf::seconds(2));
    EXPECT_EQ(rig.state.sceneTime, 2.0f);
    EXPECT_EQ(rig.state.warpTime, 4.0f);
    const IterationReport report = rig.next(sf::seconds(1), true);
    EXPECT_EQ(rig.state.warpTime, 4.0f + 3.0f * 1.0f);
    EXPECT_FALSE(rig.recorder.isOpen());
    EXPECT_EQ(report.scenes, std::vector<int>{0});  // the lead-in still drew its frame
    const auto sounds = rig.recorder.only<SoundOp>();
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].id, SoundId::voiceFour);
    EXPECT_FALSE(sounds[0].play);
}

TEST(FrameLoop, ScrollerClockHeldAtZeroUntilSceneTwoEnds)
{
    Rig rig;
    rig.state.countdown = {-0.1f, -1, 0.05f, 57, 49, 39, 36, 54, 34};
    rig.next(sf::milliseconds(30));
    EXPECT_EQ(rig.scrollerClock.getElapsedTime(), sf::Time::Zero);
    // Scene 2 empties here and scene 3 starts: the clock has run for this one frame only.
    EXPECT_EQ(rig.next(sf::milliseconds(30)).scenes, (std::vector<int>{2, 3}));
    EXPECT_EQ(rig.scrollerClock.getElapsedTime(), sf::milliseconds(30));
    rig.next(sf::milliseconds(30));
    EXPECT_EQ(rig.scrollerClock.getElapsedTime(), sf::milliseconds(60));
}

} // namespace
} // namespace tolva

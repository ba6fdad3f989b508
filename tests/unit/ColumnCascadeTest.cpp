// Scene 2: the step against the plain formulas, its per-square clock, the timed draws.

#include "support/SceneSteps.h"
#include "scenes/ColumnCascadeFormulas.h"

namespace tolva {
namespace {

using namespace cascade;
using testing::Look;
using testing::SceneSteps;

TEST(ColumnCascadeFormulas, WorkedSquareColours)
{
    EXPECT_EQ(cascadeFill(1, 1), sf::Color(0, 13, 7, 255));
    EXPECT_EQ(cascadeFill(20, 7), sf::Color(55, 16, 0, 255));  // red wrapped from 311.5
}

// Virtual time that, once told to, counts its readings and moves on by a tick after every third
// one, as if the work between readings took that long: what lets cascadeTime grow inside one
// frame, at some squares and not at others.
class TickingTimeSource final : public TimeSource {
public:
    sf::Time now() override { return readingAt(ticking ? readings++ : readings); }
    // What reading number r (counted from when ticking began) shows.
    sf::Time readingAt(long r) const { return sf::seconds(5) + sf::microseconds(37) * static_cast<sf::Int64>(r / 3); }

    bool ticking = false;
    long readings = 0;
};

class ColumnCascadeStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!displayAvailable()) {
            GTEST_SKIP() << "needs an X display";
        }
        show = std::make_unique<Show>(state, recorder);
        state.frameDelta = sf::microseconds(15625);  // 1/64 s: countdowns land where they are set
    }

    // A step against the plain formulas on every cell; `seen` gives the cascadeTime each square
    // saw, in drawing order.
    template <class Seen>
    void step(float countdown, Seen seen)
    {
        state.countdown[2] = countdown + state.frameSeconds();
        recorder.forget();
        show->run(2, recorder);
        const float columnTime = show->scenes.columnCascade.columnTime;
        testing::expectDrawn(recorder, "circleGrid", columnCells, [&](float i, float j) {
            const ColumnCell plain = columnCell(i, j, columnTime);
            return Look{plain.fill, plain.position, {}, plain.radius};
        });
        testing::expectDrawn(recorder, "squareGrid", cascadeCells, [&](float a, float b) {
            const CascadeCell plain = cascadeCell(static_cast<int>(a), static_cast<int>(b), seen(), countdown);
            return Look{plain.fill, plain.position};
        });
    }

    TickingTimeSource time;
    ShowState state{time};
    Recorder recorder;
    std::unique_ptr<Show> show;
};

// The tables and hoisted terms against the formulas worked out afresh, for frames before and
// after the squares start to move. Time stands still: every square sees one cascadeTime.
TEST_F(ColumnCascadeStep, EveryCellAsThePlainFormulasGiveIt)
{
    struct Frame {
        float columnTime, cascadeTime, countdown;
    };
    for (const Frame& frame : {Frame{0.0f, 0.0f, 36.5f}, Frame{12.0f, 40.0f, 33.0f}, Frame{97.3f, 61.25f, 20.0f},
                               Frame{5000.0f, 1.0e5f, 0.125f}}) {
        show->scenes.columnCascade.columnTime = frame.columnTime;
        show->scenes.columnCascade.cascadeTime = frame.cascadeTime;
        step(frame.countdown, [&] { return frame.cascadeTime; });
        ASSERT_EQ(show->scenes.columnCascade.columnTime, frame.columnTime + 10.0f * state.frameSeconds());
        ASSERT_EQ(show->scenes.columnCascade.cascadeTime, frame.cascadeTime);
    }
}

// One reading and one restart of a clock made at the top of the step, per square: the first
// square's reading covers the step so far (reading 0 makes the clock, 1 restarts frameClock),
// every later one the time since the square before (2 + 2n reads, 3 + 2n restarts for square n).
TEST_F(ColumnCascadeStep, CascadeTimeGrowsSquareBySquare)
{
    state.scene2Pending = false;
    show->scenes.columnCascade.cascadeTime = 50.0f;
    float cascadeTime = 50.0f;
    long n = 0;
    time.ticking = true;
    step(20.0f, [&] {
        const sf::Time since = time.readingAt(n == 0 ? 0 : 1 + 2 * n);
        cascadeTime = cascadeTime + 10.0f * (time.readingAt(2 + 2 * n++) - since).asSeconds();
        return cascadeTime;
    });
    time.ticking = false;
    EXPECT_EQ(time.readings, 2 + 2 * cascadeCells * cascadeCells);
    EXPECT_EQ(show->scenes.columnCascade.cascadeTime, cascadeTime);
    EXPECT_GT(cascadeTime, 51.0f);
    // The next frame's frameDelta counts from the step's own restart of frameClock.
    EXPECT_EQ(state.frameClock.getElapsedTime(), time.readingAt(time.readings) - time.readingAt(1));
}

// The first frame switches the sound and resets sceneTime; the line seen from 26 keeps its words.
TEST_F(SceneSteps, ColumnCascade)
{
    expectSteps(2, {
        {"sceneTime=61.5", "-voiceThree +klezSound circleGrid*8836 squareGrid*15376 sceneTime=0"},
        {"sceneTime=7", "circleGrid*8836 squareGrid*15376"},
        {"sceneTime=7.01", "circleGrid*8836 squareGrid*15376 personOneSprite"},
        {"sceneTime=12", "circleGrid*8836 squareGrid*15376 personOneSprite"},
        {"sceneTime=12.01", "circleGrid*8836 squareGrid*15376 personOneSprite wanderText"},
        {"sceneTime=19", "circleGrid*8836 squareGrid*15376 personOneSprite"},
        {"sceneTime=26.5", "circleGrid*8836 squareGrid*15376 personOneSprite wanderText"},
        {"sceneTime=33", "circleGrid*8836 squareGrid*15376 personOneSprite"},
    });
    EXPECT_EQ(show->scenes.columnCascade.wanderText.getString().toAnsiString(), "Looks like Listenbourg.");
}

} // namespace
} // namespace tolva

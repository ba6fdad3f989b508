// Scene 2: the step against the plain formulas, its per-square clock, the timed draws.

#include "support/Bits.h"
#include "driver/Show.h"
#include "render/Recorder.h"
#include "scenes/ColumnCascadeFormulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace tolva {
namespace {

using testing::bitsOf;

float f(int n) { return static_cast<float>(n); }

// ---------------------------------------------------------------------------------------------
// The formulas on their own.

TEST(ColumnCascadeFormulas, WorkedSquareColours)
{
    EXPECT_EQ(plainCascadeFill(1, 1), sf::Color(0, 13, 7, 255));
    EXPECT_EQ(plainCascadeFill(20, 7), sf::Color(55, 16, 0, 255));  // red wrapped from 311.5
    EXPECT_EQ(plainCascadeFill(50, 60), sf::Color(23, 20, 66, 255));
}

// ---------------------------------------------------------------------------------------------
// Whole steps through the recorder.

// Virtual time that, once told to, counts its readings and moves on by a tick after every
// `every`-th one, as if the work between readings took that long: what lets cascadeTime grow
// inside one frame, at some squares and not at others.
class TickingTimeSource final : public TimeSource {
public:
    sf::Time now() override
    {
        const sf::Time reading = readingAt(readings);
        if (ticking) {
            ++readings;
        }
        return reading;
    }
    // What reading number r (counted from when ticking began) shows.
    sf::Time readingAt(long r) const { return start + tick * static_cast<sf::Int64>(r / every); }

    bool ticking = false;
    long readings = 0;
    long every = 3;
    sf::Time tick = sf::microseconds(37);
    sf::Time start = sf::seconds(5);
};

class ColumnCascadeStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!displayAvailable()) {
            GTEST_SKIP() << "needs an X display";
        }
        show = std::make_unique<Show>(state, recorder);
        state.countdown[0] = -0.1f;
        state.countdown[1] = -0.01f;
        state.frameDelta = sf::microseconds(15625);  // 1/64 s: countdowns land where they are set
    }

    void step()
    {
        recorder.forget();
        show->run(2, recorder);
    }

    // Every circle and square of the last step against the plain formulas; cascadeTimes holds
    // the value each square saw, in drawing order.
    void expectPlainCells(float columnTime, const std::vector<float>& cascadeTimes, float countdown)
    {
        const std::vector<CircleOp> circles = recorder.only<CircleOp>();
        ASSERT_EQ(circles.size(), static_cast<std::size_t>(columnCells * columnCells));
        std::size_t n = 0;
        for (int i = 1; i <= columnCells; ++i) {
            for (int j = 1; j <= columnCells; ++j, ++n) {
                const CircleOp& op = circles[n];
                const ColumnCell plain = plainColumnCell(f(i), f(j), columnTime);
                ASSERT_EQ(op.cell.i, i);
                ASSERT_EQ(op.cell.j, j);
                ASSERT_EQ(op.fill, plain.fill) << i << "," << j;
                ASSERT_EQ(bitsOf(op.position.x), bitsOf(plain.position.x)) << i << "," << j;
                ASSERT_EQ(bitsOf(op.position.y), bitsOf(plain.position.y)) << i << "," << j;
                ASSERT_EQ(bitsOf(op.radius), bitsOf(plain.radius)) << i << "," << j;
            }
        }
        const std::vector<RectOp> squares = recorder.only<RectOp>();
        ASSERT_EQ(squares.size(), static_cast<std::size_t>(cascadeCells * cascadeCells));
        n = 0;
        for (int a = 1; a <= cascadeCells; ++a) {
            for (int b = 1; b <= cascadeCells; ++b, ++n) {
                const RectOp& op = squares[n];
                const CascadeCell plain = plainCascadeCell(a, b, cascadeTimes[n], countdown);
                ASSERT_EQ(op.cell.i, a);
                ASSERT_EQ(op.cell.j, b);
                ASSERT_EQ(op.fill, plain.fill) << a << "," << b;
                ASSERT_EQ(bitsOf(op.position.x), bitsOf(plain.position.x)) << a << "," << b;
                ASSERT_EQ(bitsOf(op.position.y), bitsOf(plain.position.y)) << a << "," << b;
            }
        }
    }

    TickingTimeSource time;
    ShowState state{time};
    Recorder recorder;
    std::unique_ptr<Show> show;
};

// The tables and hoisted terms against the formulas worked out afresh, on every cell, for frames
// before and after the squares start to move.
TEST_F(ColumnCascadeStep, EveryCellAsThePlainFormulasGiveIt)
{
    struct Frame {
        float columnTime, cascadeTime, countdown;
    };
    const Frame frames[] = {{0.0f, 0.0f, 36.5f}, {12.0f, 40.0f, 33.0f}, {97.3f, 61.25f, 20.0f},
                            {5000.0f, 1.0e5f, 0.125f}};
    for (const Frame& frame : frames) {
        show->objects.columnTime = frame.columnTime;
        show->objects.cascadeTime = frame.cascadeTime;
        state.countdown[2] = frame.countdown + state.frameSeconds();
        step();
        ASSERT_EQ(state.countdown[2], frame.countdown);
        const float columnTime = frame.columnTime + 10.0f * state.frameSeconds();
        ASSERT_EQ(show->objects.columnTime, columnTime);
        // Time stands still here, so every square sees the same cascadeTime.
        const std::vector<float> cascadeTimes(cascadeCells * cascadeCells, frame.cascadeTime);
        expectPlainCells(columnTime, cascadeTimes, state.countdown[2]);
        ASSERT_EQ(show->objects.cascadeTime, frame.cascadeTime);
    }
}

// One reading and one restart of a clock made at the top of the step, per square: the first
// square's reading covers the step so far (the clock's creation and frameClock's restart are two
// readings here), every later one the time since the square before.
TEST_F(ColumnCascadeStep, CascadeTimeGrowsSquareBySquare)
{
    state.scene2Pending = false;
    state.countdown[2] = 20.0f;
    show->objects.cascadeTime = 50.0f;
    time.ticking = true;
    step();
    time.ticking = false;

    // Readings: 0 makes the clock, 1 restarts frameClock, then 2 + 2n reads and 3 + 2n restarts
    // the clock for square n.
    std::vector<float> seen;
    float cascadeTime = 50.0f;
    for (long n = 0; n < cascadeCells * cascadeCells; ++n) {
        const sf::Time since = time.readingAt(n == 0 ? 0 : 1 + 2 * n);
        cascadeTime = cascadeTime + 10.0f * (time.readingAt(2 + 2 * n) - since).asSeconds();
        seen.push_back(cascadeTime);
    }
    EXPECT_EQ(time.readings, 2 + 2 * cascadeCells * cascadeCells);
    EXPECT_EQ(show->objects.cascadeTime, cascadeTime);
    EXPECT_GT(cascadeTime, 51.0f);
    expectPlainCells(show->objects.columnTime, seen, state.countdown[2]);
    // The next frame's frameDelta counts from the step's own restart of frameClock.
    EXPECT_EQ(state.frameClock.getElapsedTime(), time.readingAt(time.readings) - time.readingAt(1));
}

TEST_F(ColumnCascadeStep, FirstFrameSwitchesTheSoundAndResetsSceneTime)
{
    state.sceneTime = 61.5f;
    step();
    EXPECT_EQ(state.sceneTime, 0.0f);
    const auto sounds = recorder.only<SoundOp>();
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].id, SoundId::voiceThree);
    EXPECT_FALSE(sounds[0].play);
    EXPECT_EQ(sounds[1].id, SoundId::klezSound);
    EXPECT_TRUE(sounds[1].play);
    EXPECT_EQ(recorder.only<ClearOp>().at(0).color, sf::Color(39, 17, 11, 255));
    step();
    EXPECT_TRUE(recorder.only<SoundOp>().empty());
}

TEST_F(ColumnCascadeStep, TimedDrawsAndTheLineThatStaysChanged)
{
    state.scene2Pending = false;
    struct Case {
        float sceneTime;
        std::size_t sprites, texts;
    };
    const Case cases[] = {{7.0f, 0, 0}, {7.01f, 1, 0}, {12.0f, 1, 0}, {12.01f, 1, 1}, {19.0f, 1, 0}};
    for (const Case& c : cases) {
        state.sceneTime = c.sceneTime;
        step();
        EXPECT_EQ(recorder.only<SpriteOp>().size(), c.sprites) << c.sceneTime;
        EXPECT_EQ(recorder.only<TextOp>().size(), c.texts) << c.sceneTime;
    }
    state.sceneTime = 26.5f;
    step();
    const TextOp second = recorder.only<TextOp>().at(0);
    EXPECT_EQ(second.string, "Looks like Listenbourg.");
    for (const float later : {33.0f, 40.0f}) {
        state.sceneTime = later;
        step();
        EXPECT_TRUE(recorder.only<TextOp>().empty()) << later;
    }
    EXPECT_EQ(show->objects.wanderText.getString().toAnsiString(), "Looks like Listenbourg.");
}

} // namespace
} // namespace tolva

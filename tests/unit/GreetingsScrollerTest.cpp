// Scene 3: the circle field's held terms against the plain formulas, the letters' colours, the
// line's size switch, and whole steps through the recorder (those build the show: X display).

#include "support/ShowTest.h"
#include "support/Bits.h"
#include "driver/Show.h"
#include "render/Recorder.h"
#include "scenes/Formula.h"
#include "scenes/GreetingsScrollerFormulas.h"

#include <SFML/Graphics/Transformable.hpp>

#include <SFML/Graphics/Shader.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace tolva {
namespace {

using testing::bitsOf;

using namespace greetings;

TEST(GreetingsLetters, ColoursFromTheLineAndItsSize)
{
    for (int k = 0; k < 7; ++k) {
        // First frame: the line still stands at (0, 0), and atan2(0, 0) is 0.
        EXPECT_EQ(letter(k, 3283.0f, 51, 0.0f, 0.0f, 0.1f).fill.g, 50 + 15 * k) << k;
        // Later the line stands well below the top: pi/2 x 10 adds 15.7.
        EXPECT_EQ(letter(k, 3283.0f, 120, 560.5f, 12.0f, 80.0f).fill.g, 65 + 15 * k) << k;
    }
    // Size 120 and a wide line: 5 x atanf(W) is nearly 7.85, and 607.85 wraps to 95.
    EXPECT_EQ(letterBlue(7700.0f, 120), 95);
    EXPECT_EQ(letterBlue(3283.0f, 51), 6);  // 255 + 7.85 wraps
    // Letter 0 has no width term: 10 x cosf(CS) alone, truncated toward zero and wrapped.
    EXPECT_EQ(letter(0, 3283.0f, 119, 0.0f, 0.0f, 0.0f).fill.r, 9);    // 10 cos 119 = 9.3
    // Letter 6 on a width whose sine is -1: 90 x -5 + 9.3 = -440.7, truncated to -440: 72.
    EXPECT_EQ(letter(6, 4.712389f, 119, 0.0f, 0.0f, 0.0f).fill.r, 72);
}

TEST(GreetingsLine, SizePlaceWaveAndColour)
{
    EXPECT_EQ(lineCharacterSize(1.5f), 119u);
    // atanf(t) + 119 is a float sum: it rounds up to 120 a few microseconds before tan(1) s.
    EXPECT_EQ(lineCharacterSize(1.5573945f), 119u);
    EXPECT_EQ(lineCharacterSize(1.55739462f), 120u);
    EXPECT_EQ(linePosition(1.0f, 0.0f, 0.0f).x, 1628.0f);
    // A far end pulls the line up by nearly 20 pi/2.
    EXPECT_NEAR(linePosition(0.0f, 5000.0f, 0.0f).y, 575.0f - 10.0f * 3.14159f, 0.01f);
}

// Whole steps, through the recorder, on a show built on virtual time.
class GreetingsStep : public testing::ShowTest {
protected:
    void SetUp() override
    {
        ShowTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        state.countdown[2] = -0.01f;
        state.frameDelta = sf::milliseconds(17);
    }

    // One step as the frame loop gives it: a frame passes, the head restarts frameClock, and
    // `inside` passes before the scene's own restart.
    void step(sf::Time inside = sf::milliseconds(2))
    {
        time.advance(state.frameDelta);
        state.frameClock.restart();
        time.advance(inside);
        recorder.forget();
        show->run(3, recorder);
    }

    template <class Op>
    std::vector<Op> ops() const
    {
        return recorder.only<Op>();
    }
};

TEST_F(GreetingsStep, FirstFrameUsesTheClockReadBeforeItsRestart)
{
    // The frame loop restarted the clock at the end of the last scene-2 iteration: a frame and
    // the 2 ms before the scene's own restart have passed since.
    show->objects.scrollerClock.restart();
    step();
    const float t = sf::milliseconds(19).asSeconds();
    const float m = sf::milliseconds(2).asSeconds();
    ASSERT_EQ(ops<SoundOp>().size(), 1u);
    EXPECT_EQ(ops<SoundOp>()[0].id, SoundId::voiceFour);
    EXPECT_FALSE(ops<SoundOp>()[0].play);
    const auto uniforms = ops<UniformOp>();
    ASSERT_EQ(uniforms.size(), 3u);
    EXPECT_EQ(uniforms[2].name, "uTime");
    EXPECT_EQ(uniforms[2].value, std::vector<float>{t});
    // The phase took t x m with the t read before the restart, and the line stands where it says.
    EXPECT_EQ(show->objects.scrollPhase, advancePhase(0.0f, t, m));
    EXPECT_EQ(ops<TextOp>().back().position.x, linePosition(t, 0.0f, 0.0f).x);
}

TEST_F(GreetingsStep, MeasuresTheLineBeforeChangingIt)
{
    step();
    auto measure = ops<MeasureOp>();
    ASSERT_EQ(measure.size(), 1u);
    ASSERT_EQ(measure[0].values.size(), 4u);
    EXPECT_EQ(measure[0].values[1].first, "CS");
    EXPECT_EQ(measure[0].values[1].second, 51.0);
    EXPECT_EQ(measure[0].values[3].second, 0.0);  // ey: the line stood at (0, 0)
    const sf::Text& line = show->objects.greetingsText;
    EXPECT_EQ(line.getCharacterSize(), 119u);
    const float width = line.getLocalBounds().width;
    const sf::Vector2f end = line.findCharacterPos(line.getString().getSize());

    step();
    measure = ops<MeasureOp>();
    ASSERT_EQ(measure.size(), 1u);
    EXPECT_EQ(measure[0].values[0].second, static_cast<double>(width));
    EXPECT_EQ(measure[0].values[1].second, 119.0);
    EXPECT_EQ(measure[0].values[2].second, static_cast<double>(end.x));
    EXPECT_EQ(measure[0].values[3].second, static_cast<double>(end.y));
    EXPECT_EQ(ops<TextOp>()[6].fill.b, letterBlue(width, 119));
}

TEST_F(GreetingsStep, CircleTurnsAddUpFromFrameToFrame)
{
    step(sf::milliseconds(2));
    const float P1 = show->objects.scrollPhase;
    step(sf::milliseconds(5));
    const float P2 = show->objects.scrollPhase;
    const auto circles = ops<CircleOp>();
    ASSERT_EQ(circles.size(), 5476u);
    std::size_t n = 0;
    for (int i = 1; i <= fieldSize; ++i) {
        for (int j = 1; j <= fieldSize; ++j) {
            sf::Transformable reference;
            reference.rotate(circleCell(static_cast<float>(i), static_cast<float>(j), P1, 25.0f * 0.002f).turn);
            const CircleCell now = circleCell(static_cast<float>(i), static_cast<float>(j), P2, 25.0f * 0.005f);
            reference.rotate(now.turn);
            const CircleOp& drawn = circles[n++];
            ASSERT_EQ(bitsOf(drawn.rotation), bitsOf(reference.getRotation())) << i << " " << j;
            ASSERT_EQ(drawn.fill, now.fill);
            ASSERT_EQ(bitsOf(drawn.position.x), bitsOf(now.position.x));
            ASSERT_EQ(bitsOf(drawn.position.y), bitsOf(now.position.y));
        }
    }
}

// The pair itself (compiling, drawing the wave) is tested with the assets in
// tools/assets/tests/ShaderTest.cpp; here, that the show's own load of the staged files took.
TEST_F(GreetingsStep, TheShowLoadsTheStagedShaderPair)
{
    ASSERT_TRUE(sf::Shader::isAvailable());
    EXPECT_NE(show->objects.scrollerShader.getNativeHandle(), 0u);
}

TEST_F(GreetingsStep, ClockAndCountdownFeedTheUniforms)
{
    state.scene3Pending = false;
    state.countdown[3] = 20.0f;
    show->objects.scrollPhase = 100.0f;
    show->objects.scrollerClock.setElapsed(sf::seconds(2.5f));
    state.warpTime = 3.0f;
    state.warpClock.setElapsed(sf::seconds(200.0f));
    step(sf::milliseconds(4));
    const float t = sf::microseconds(2521000).asSeconds();
    const auto uniforms = ops<UniformOp>();
    ASSERT_EQ(uniforms.size(), 3u);
    EXPECT_EQ(uniforms[0].value, std::vector<float>{wavePhase(t)});
    EXPECT_EQ(uniforms[2].value, std::vector<float>{t});
    const float c3 = 20.0f - 0.017f;
    EXPECT_EQ(state.countdown[3], c3);
    const sf::Glsl::Vec2 amplitude = waveAmplitude(c3, show->objects.scrollPhase);
    EXPECT_EQ(uniforms[1].value, (std::vector<float>{amplitude.x, amplitude.y}));
    EXPECT_EQ(ops<TextOp>().back().fill, lineColour(amplitude.y));
    EXPECT_EQ(state.warpTime, 3.0f + sf::microseconds(200021000).asSeconds() * sf::milliseconds(4).asSeconds());
}

} // namespace
} // namespace tolva

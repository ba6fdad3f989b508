// Scene 3: the letters' colours, the line's size switch, and whole steps through the recorder.

#include "support/SceneSteps.h"
#include "scenes/Formula.h"
#include "scenes/GreetingsScrollerFormulas.h"

#include <SFML/Graphics/Shader.hpp>

namespace tolva {
namespace {

using namespace greetings;

TEST(GreetingsLetters, ColoursAndTheLinesSizeAndPlace)
{
    for (int k = 0; k < 7; ++k) {
        // First frame: the line still stands at (0, 0), and atan2(0, 0) is 0.
        EXPECT_EQ(letterCell(k, 3283.0f, 51, 0.0f, 0.0f, 0.1f).fill.g, 50 + 15 * k) << k;
        // Later the line stands well below the top: pi/2 x 10 adds 15.7.
        EXPECT_EQ(letterCell(k, 3283.0f, 120, 560.5f, 12.0f, 80.0f).fill.g, 65 + 15 * k) << k;
    }
    EXPECT_EQ(letterBlue(7700.0f, 120), 95);  // 600 + 7.85 wraps
    EXPECT_EQ(letterBlue(3283.0f, 51), 6);    // 255 + 7.85 wraps
    EXPECT_EQ(letterCell(0, 3283.0f, 119, 0.0f, 0.0f, 0.0f).fill.r, 9);  // 10 cos 119 = 9.3
    // Letter 6 on a width whose sine is -1: 90 x -5 + 9.3 = -440.7, truncated to -440: 72.
    EXPECT_EQ(letterCell(6, 4.712389f, 119, 0.0f, 0.0f, 0.0f).fill.r, 72);
    // atanf(t) + 119 is a float sum: it rounds up to 120 a few microseconds before tan(1) s.
    EXPECT_EQ(lineCharacterSize(1.5573945f), 119u);
    EXPECT_EQ(lineCharacterSize(1.55739462f), 120u);
    EXPECT_EQ(linePosition(1.0f, 0.0f, 0.0f).x, 1628.0f);
    // A far end pulls the line up by nearly 20 pi/2.
    EXPECT_NEAR(linePosition(0.0f, 5000.0f, 0.0f).y, 575.0f - 10.0f * 3.14159f, 0.01f);
}

class GreetingsStep : public testing::ShowTest {
protected:
    // One step as the frame loop gives it: a frame passes, the head restarts frameClock, and
    // `inside` passes before the scene's own restart.
    void step(sf::Time inside)
    {
        time.advance(sf::milliseconds(17));
        state.frameClock.restart();
        time.advance(inside);
        recorder.forget();
        show->run(3, recorder);
    }
};

// The first frame reads the clock before restarting it; the line is measured before it changes;
// the circles' turns add up from frame to frame.
TEST_F(GreetingsStep, FirstTwoFrames)
{
    ASSERT_TRUE(sf::Shader::isAvailable());
    EXPECT_NE(show->assets.scrollerShader.getNativeHandle(), 0u);  // the staged pair loaded
    const auto lineNow = [&] {
        const sf::Text& line = show->scenes.greetingsScroller.greetingsText;
        const sf::Vector2f end = line.findCharacterPos(line.getString().getSize());
        return std::vector<std::pair<std::string, double>>{
            {"W", static_cast<double>(line.getLocalBounds().width)}, {"CS", line.getCharacterSize()},
            {"ex", static_cast<double>(end.x)}, {"ey", static_cast<double>(end.y)}};
    };
    auto line = lineNow();
    ASSERT_EQ(line[3].second, 0.0);
    // The frame loop restarted the clock at the end of the last scene-2 iteration.
    show->scenes.greetingsScroller.scrollerClock.restart();
    step(sf::milliseconds(2));
    EXPECT_EQ(testing::summary(recorder), "-voiceFour scrollerGrid*5476 welcomeLetters*7 greetingsText");
    EXPECT_EQ(recorder.only<MeasureOp>().at(0).values, line);
    const float t = sf::milliseconds(19).asSeconds();
    EXPECT_EQ(recorder.only<UniformOp>().at(2).value, std::vector<float>{t});
    const float P1 = show->scenes.greetingsScroller.scrollPhase;
    EXPECT_EQ(P1, advancePhase(0.0f, t, sf::milliseconds(2).asSeconds()));
    EXPECT_EQ(recorder.only<TextOp>().back().position.x, linePosition(t, 0.0f, 0.0f).x);

    line = lineNow();
    ASSERT_EQ(line[1].second, 119.0);
    step(sf::milliseconds(5));
    EXPECT_EQ(recorder.only<MeasureOp>().at(0).values, line);
    EXPECT_EQ(recorder.only<TextOp>()[6].fill.b, letterBlue(static_cast<float>(line[0].second), 119));
    const float P2 = show->scenes.greetingsScroller.scrollPhase;
    testing::expectDrawn(recorder, "scrollerGrid", fieldSize, [&](float i, float j) {
        sf::Transformable turned;
        turned.rotate(circleCell(i, j, P1, 25.0f * 0.002f).turn);
        const CircleCell now = circleCell(i, j, P2, 25.0f * 0.005f);
        turned.rotate(now.turn);
        return testing::Look{now.fill, now.position, turned.getRotation()};
    });
}

TEST_F(GreetingsStep, ClockAndCountdownFeedTheUniforms)
{
    state.scene3Pending = false;
    state.countdown[3] = 20.0f;
    show->scenes.greetingsScroller.scrollPhase = 100.0f;
    show->scenes.greetingsScroller.scrollerClock.setElapsed(sf::seconds(2.5f));
    state.warpTime = 3.0f;
    state.warpClock.setElapsed(sf::seconds(200.0f));
    state.frameDelta = sf::milliseconds(17);
    step(sf::milliseconds(4));
    const float t = sf::microseconds(2521000).asSeconds();
    const float c3 = 20.0f - 0.017f;
    EXPECT_EQ(state.countdown[3], c3);
    const sf::Glsl::Vec2 amplitude = waveAmplitude(c3, show->scenes.greetingsScroller.scrollPhase);
    std::vector<std::vector<float>> uniforms;
    for (const UniformOp& op : recorder.only<UniformOp>()) {
        uniforms.push_back(op.value);
    }
    EXPECT_EQ(uniforms, (std::vector<std::vector<float>>{{wavePhase(t)}, {amplitude.x, amplitude.y}, {t}}));
    EXPECT_EQ(recorder.only<TextOp>().back().fill, lineColour(amplitude.y));
    EXPECT_EQ(state.warpTime, 3.0f + sf::microseconds(200021000).asSeconds() * sf::milliseconds(4).asSeconds());
}

} // namespace
} // namespace tolva

// Scene 1: the spiral shade, the circles' cells, the title, the credit letters and the voices.

#include "support/ShowTest.h"
#include "support/Bits.h"
#include "driver/Show.h"
#include "render/Recorder.h"
#include "scenes/SpiralGridFormulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace tolva {
namespace {

using testing::bitsOf;

float f(int n) { return static_cast<float>(n); }

// What SFML keeps of an angle handed to setRotation.
float storedAngle(float degrees)
{
    sf::Transformable probe;
    probe.setRotation(degrees);
    return probe.getRotation();
}

// ---------------------------------------------------------------------------------------------
// The formulas on their own.

TEST(SpiralGridFormulas, WorkedShadesAndColours)
{
    EXPECT_NEAR(spiralShade(1, 1, 0), 7.38f, 0.005f);
    EXPECT_NEAR(spiralShade(36, 40, 0), 346.85f, 0.005f);
    EXPECT_EQ(plainSpiralCell(1, 1, 0).fill, sf::Color(144, 66, 44, 255));
    EXPECT_EQ(plainSpiralCell(36, 40, 0).fill, sf::Color(55, 149, 127, 255));  // all wrapped
    EXPECT_EQ(plainSpiralCell(1, 1, 1000).fill, sf::Color(88, 166, 144, 255));
    // The time term moves the shade by w / 10 and nothing else.
    EXPECT_EQ(spiralShade(1, 1, 1000), spiralShade(1, 1, 0) + 100.0f);
}

TEST(SpiralGridFormulas, CentreAndColumn35VanishWithoutStoppingAnything)
{
    EXPECT_EQ(spiralShade(35, 35, 0), INFINITY);
    const SpiralCell centre = plainSpiralCell(35, 35, 1234.5f);
    EXPECT_EQ(centre.fill, sf::Color(0, 0, 0, 255));
    EXPECT_TRUE(std::isnan(centre.radius));
    for (int j = 1; j <= spiralCells; ++j) {
        EXPECT_TRUE(std::isnan(spiralRadius(35, f(j)))) << "j " << j;
    }
}

TEST(SpiralGridFormulas, PointCountIsDefinedForAnyWarpTime)
{
    EXPECT_EQ(spiralPointCount(0.0f), 9u);
    // Once warpTime is no number the circles have no points, not 2^63 of them.
    EXPECT_EQ(spiralPointCount(std::nanf("")), 0u);
    EXPECT_EQ(spiralPointCount(INFINITY), 0u);
}

TEST(SpiralGridFormulas, CreditLettersLieOnThreeLines)
{
    struct Expected {
        int k;
        float x, y;
    };
    const Expected places[] = {{0, 200, 100}, {11, 755, 265}, {12, 805, 386}, {21, 1319, 450}};
    for (const Expected& e : places) {
        const LetterPlace place = creditLetterPlace(e.k, 50.0f);
        EXPECT_EQ(place.position, sf::Vector2f(e.x, e.y)) << "k " << e.k;
    }
}

// ---------------------------------------------------------------------------------------------
// Whole steps through the recorder, on a show built on virtual time.

class SpiralGridStep : public testing::ShowTest {
protected:
    void SetUp() override
    {
        ShowTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        state.countdown[0] = -0.1f;
        state.frameDelta = sf::milliseconds(17);
    }

    void step(float sceneTime, float warpTime = 100.0f)
    {
        state.sceneTime = sceneTime;
        state.warpTime = warpTime;
        recorder.forget();
        show->run(1, recorder);
    }

    // The step's sound cues, as (sound, play) pairs.
    std::vector<std::pair<SoundId, bool>> sounds() const
    {
        std::vector<std::pair<SoundId, bool>> cues;
        for (const SoundOp& op : recorder.only<SoundOp>()) {
            cues.emplace_back(op.id, op.play);
        }
        return cues;
    }
};

using Cues = std::vector<std::pair<SoundId, bool>>;

// The step's tables and hoisted terms against the formulas worked out afresh, on every cell.
TEST_F(SpiralGridStep, EveryCellAsThePlainFormulasGiveIt)
{
    const float warpTimes[] = {0.0f, 17.3f, 1863.77f, 3.0e7f};
    for (const float w : warpTimes) {
        step(30.0f, w);
        const std::vector<CircleOp> circles = recorder.only<CircleOp>();
        ASSERT_EQ(circles.size(), static_cast<std::size_t>(spiralCells * spiralCells));
        std::size_t n = 0;
        for (int i = 1; i <= spiralCells; ++i) {
            for (int j = 1; j <= spiralCells; ++j, ++n) {
                const CircleOp& op = circles[n];
                const SpiralCell plain = plainSpiralCell(f(i), f(j), w);
                ASSERT_EQ(op.cell.i, i);
                ASSERT_EQ(op.cell.j, j);
                ASSERT_EQ(op.fill, plain.fill) << i << "," << j << " at " << w;
                ASSERT_EQ(bitsOf(op.position.x), bitsOf(plain.position.x));
                ASSERT_EQ(bitsOf(op.position.y), bitsOf(plain.position.y));
                ASSERT_EQ(bitsOf(op.radius), bitsOf(plain.radius)) << i << "," << j;
                ASSERT_EQ(op.points, plain.points);
                ASSERT_EQ(bitsOf(op.rotation), bitsOf(storedAngle(plain.rotation)));
            }
        }
    }
}

TEST_F(SpiralGridStep, TitleAndLettersOnlyStrictlyInsideTheirWindows)
{
    struct Case {
        float sceneTime;
        std::size_t letters;
        std::size_t sprites;
    };
    // voiceOneOn is set by hand so that each case looks at one frame alone.
    const Case cases[] = {{20.99f, 28, 0}, {21.0f, 0, 0}, {21.01f, 0, 1},
                          {28.99f, 0, 1},  {29.0f, 0, 0}, {29.01f, 0, 0}};
    for (const Case& c : cases) {
        state.voiceOneOn = c.sceneTime > 21.0f && c.sceneTime <= 29.0f;
        step(c.sceneTime);
        EXPECT_EQ(recorder.only<TextOp>().size(), c.letters) << c.sceneTime;
        EXPECT_EQ(recorder.only<SpriteOp>().size(), c.sprites) << c.sceneTime;
    }
}

TEST_F(SpiralGridStep, VoicesSwitchAtTwentyOneAndTwentyNine)
{
    step(5.0f);
    EXPECT_EQ(sounds(), (Cues{{SoundId::voiceTwo, true}}));
    step(21.0f);
    EXPECT_TRUE(sounds().empty());
    step(22.0f);
    EXPECT_EQ(sounds(), (Cues{{SoundId::voiceTwo, false}, {SoundId::voiceOne, true}}));
    // The letters are no longer laid out while voiceOne plays.
    const sf::Vector2f before = show->objects.creditLetters[5].getPosition();
    show->objects.creditLetters[5].setPosition(1, 1);
    step(28.0f);
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(show->objects.creditLetters[5].getPosition(), sf::Vector2f(1, 1));
    step(29.0f);
    EXPECT_TRUE(sounds().empty());
    step(29.5f);
    EXPECT_EQ(sounds(), (Cues{{SoundId::voiceOne, false}, {SoundId::voiceThree, true}}));
    // The layout comes before the switch, so it runs again only from the next frame on.
    EXPECT_EQ(show->objects.creditLetters[5].getPosition(), sf::Vector2f(1, 1));
    step(40.0f);
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(show->objects.creditLetters[5].getPosition(), before);
    EXPECT_TRUE(recorder.only<TextOp>().empty());
}

TEST_F(SpiralGridStep, JumpOverTheTitleWindowSkipsBothSwitches)
{
    step(20.0f);
    EXPECT_EQ(recorder.only<TextOp>().size(), 28u);
    step(30.0f);
    EXPECT_TRUE(sounds().empty());
    EXPECT_FALSE(state.voiceOneOn);
    EXPECT_TRUE(recorder.only<TextOp>().empty());
    EXPECT_TRUE(recorder.only<SpriteOp>().empty());
    step(45.0f);
    EXPECT_TRUE(sounds().empty());
}

} // namespace
} // namespace tolva

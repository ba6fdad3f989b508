// Scene 1: the spiral shade, the circles' cells, the title, the credit letters and the voices.

#include "support/SceneSteps.h"
#include "scenes/SpiralGridFormulas.h"

namespace tolva {
namespace {

using namespace spiral;
using testing::reported;
using testing::SceneSteps;

TEST(SpiralGridFormulas, WorkedShadesAndTheCentreColumnThatVanishes)
{
    EXPECT_NEAR(spiralShade(36, 40, 0), 346.85f, 0.005f);
    EXPECT_EQ(spiralCell(36, 40, 0).fill, sf::Color(55, 149, 127, 255));  // all wrapped
    EXPECT_EQ(spiralCell(1, 1, 1000).fill, sf::Color(88, 166, 144, 255));
    EXPECT_EQ(spiralShade(1, 1, 1000), spiralShade(1, 1, 0) + 100.0f);
    EXPECT_EQ(spiralCell(35, 35, 1234.5f).fill, sf::Color(0, 0, 0, 255));
    for (int j = 1; j <= spiralCells; ++j) {
        EXPECT_TRUE(std::isnan(spiralRadius(35, static_cast<float>(j)))) << "j " << j;
    }
    // Once warpTime is no number the circles have no points, not 2^63 of them.
    EXPECT_EQ(spiralPointCount(std::nanf("")), 0u);
    EXPECT_EQ(spiralPointCount(INFINITY), 0u);
    EXPECT_EQ(creditLetterPlace(11, 50.0f).position, sf::Vector2f(755, 265));
    EXPECT_EQ(creditLetterPlace(12, 50.0f).position, sf::Vector2f(805, 386));
    EXPECT_EQ(creditLetterPlace(21, 50.0f).position, sf::Vector2f(1319, 450));
}

// The title and the letters show strictly inside their windows; the voices switch once each.
TEST_F(SceneSteps, SpiralGrid)
{
    expectSteps(1, {
        {"sceneTime=5", "+voiceTwo circleGrid*8836 creditLetters*28"},
        {"sceneTime=20.99", "circleGrid*8836 creditLetters*28"},
        {"sceneTime=21", "circleGrid*8836"},
        {"sceneTime=21.01", "circleGrid*8836 -voiceTwo +voiceOne titleSprite voiceOneOn=1"},
        {"sceneTime=28.99", "circleGrid*8836 titleSprite"},
        {"sceneTime=29", "circleGrid*8836"},
        {"sceneTime=29.01", "circleGrid*8836 -voiceOne +voiceThree voiceOneOn=0"},
        {"sceneTime=40", "circleGrid*8836"},
    });
    // A jump over the whole window switches nothing.
    expectSteps(1, {
        {"sceneTime=20", "circleGrid*8836 creditLetters*28"},
        {"sceneTime=30", "circleGrid*8836 voiceOneOn=0"},
        {"sceneTime=45", "circleGrid*8836"},
    });
}

// The step's tables and hoisted terms against the formulas worked out afresh, on every cell.
TEST_F(SceneSteps, SpiralGridEveryCell)
{
    for (const char* w : {"0", "17.3", "1863.77", "3.0e7"}) {
        step(1, std::string("sceneTime=30 warpTime=") + w);
        testing::expectDrawn(recorder, "circleGrid", spiralCells, [&](float i, float j) {
            const SpiralCell c = spiralCell(i, j, state.warpTime);
            return testing::Look{c.fill, c.position, reported(c.rotation), c.radius, c.points};
        }, std::string(" at ") + w);
    }
}

// The letters are not laid out while voiceOne plays, and the layout comes before the switch.
TEST_F(SceneSteps, SpiralGridLettersStayPutWhileVoiceOnePlays)
{
    show->scenes.spiralGrid.creditLetters[5].setPosition(1, 1);
    step(1, "voiceOneOn=1 sceneTime=28 warpTime=100");
    step(1, "sceneTime=29.5");
    EXPECT_EQ(show->scenes.spiralGrid.creditLetters[5].getPosition(), sf::Vector2f(1, 1));
    step(1, "sceneTime=40");
    EXPECT_EQ(show->scenes.spiralGrid.creditLetters[5].getPosition(), creditLetterPlace(5, 100.0f).position);
}

} // namespace
} // namespace tolva

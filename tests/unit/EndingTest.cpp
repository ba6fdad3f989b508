// Scene 8: the frogs rise, two closing lines, and the show ends.

#include "support/SceneSteps.h"

namespace tolva {
namespace {

using testing::SceneSteps;
using testing::summary;

const char* const firstLine = "What a dream I had...";
const char* const secondLine = "The spring has warmed the pool though. Come swim.";

float frogsTop(const Recorder& recorder) { return recorder.only<SpriteOp>().at(0).position.y; }

TEST_F(SceneSteps, EndingFirstFrameStartsTheSoundAndTheClock)
{
    step(8, "endElapsed=300");  // endClock has run since start-up
    EXPECT_EQ(summary(recorder), "+endSound frogsSprite");
    EXPECT_EQ(recorder.only<SpriteOp>().at(0).position, sf::Vector2f(0, -50));  // never at (1, 1)
    // Later frames: no cue, and the clock counts from the first frame.
    time.advance(sf::seconds(2.5f));
    step(8, "");
    EXPECT_EQ(summary(recorder), "frogsSprite");
    EXPECT_EQ(frogsTop(recorder), -300.0f);
}

// Each line is set up on a window with both ends included and drawn strictly inside it; the
// second only moves the text and changes its words. Each step comes from a state that tells.
TEST_F(SceneSteps, EndingLineWindows)
{
    struct Case {
        const char* countdown;
        bool drawn;
        const char* holds;
        unsigned size;
    };
    const sf::Text& dream = show->scenes.ending.dreamText;
    show->scenes.ending.dreamText.setCharacterSize(20);
    step(8, "scene8Pending=0 frameDelta=0 countdown8=16");
    EXPECT_EQ(summary(recorder), "frogsSprite");
    EXPECT_EQ(dream.getCharacterSize(), 20u);
    for (const Case& c : {Case{"11", false, secondLine, 20}, Case{"12", false, firstLine, 43},
                          Case{"6", false, secondLine, 43}, Case{"15.5", false, firstLine, 43},
                          Case{"13", true, firstLine, 43}, Case{"11.5", false, firstLine, 43},
                          Case{"5.9", false, firstLine, 43}, Case{"8", true, secondLine, 43}}) {
        step(8, std::string("frameDelta=0 countdown8=") + c.countdown);
        EXPECT_EQ(summary(recorder), c.drawn ? "frogsSprite dreamText" : "frogsSprite") << c.countdown;
        EXPECT_EQ(dream.getString(), c.holds) << c.countdown;
        EXPECT_EQ(dream.getPosition(), c.holds == firstLine ? sf::Vector2f(900, 650) : sf::Vector2f(405, 200));
        EXPECT_EQ(dream.getCharacterSize(), c.size) << c.countdown;
    }
}

// The picture stops where it was on the last frame at or above 15.5; the show ends after
// presenting the frame at or below 4.
TEST_F(SceneSteps, EndingPictureStopsAndTheShowEnds)
{
    step(8, "scene8Pending=0 frameDelta=0 countdown8=15.5 endElapsed=0.5");
    EXPECT_EQ(frogsTop(recorder), -100.0f);
    step(8, "frameDelta=0 countdown8=15.25 endElapsed=2");
    EXPECT_EQ(frogsTop(recorder), -100.0f);
    expectSteps(8, {{"frameDelta=0 countdown8=4.001", "frogsSprite"},
                    {"frameDelta=0 countdown8=4", "frogsSprite closed"}});  // a full frame, presented
}

} // namespace
} // namespace tolva

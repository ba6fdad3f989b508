// Scene 8: the frogs rise, two closing lines, and the show ends.

#include "support/SceneSteps.h"

namespace tolva {
namespace {

using testing::summary;

const char* const firstLine = "What a dream I had...";
const char* const secondLine = "The spring has warmed the pool though. Come swim.";

class Ending : public testing::ShowTest {
protected:
    // One step with countdown8 as it stands after the decrement (no time passes).
    void stepAt(float countdown)
    {
        state.scene8Pending = false;
        state.countdown[8] = countdown;
        state.frameDelta = sf::Time::Zero;
        recorder.forget();
        show->run(8, recorder);
    }

    float frogsTop() const { return recorder.only<SpriteOp>().at(0).position.y; }
};

TEST_F(Ending, FirstFrameStartsTheSoundAndTheClockAndShowsThePictureAtMinusFifty)
{
    time.advance(sf::seconds(300));  // endClock has run since start-up
    show->run(8, recorder);
    EXPECT_EQ(summary(recorder), "+endSound frogsSprite");
    EXPECT_EQ(recorder.only<SpriteOp>().at(0).position, sf::Vector2f(0, -50));  // never at (1, 1)

    // Later frames: no cue, and the clock counts from the first frame.
    time.advance(sf::seconds(2.5f));
    recorder.forget();
    show->run(8, recorder);
    EXPECT_EQ(summary(recorder), "frogsSprite");
    EXPECT_EQ(frogsTop(), -300.0f);
}

// Each line is set up on a window with both ends included and drawn strictly inside it; the
// second only moves the text and changes its words. Each step comes from a state that tells.
TEST_F(Ending, SetUpWindowsIncludeTheirEndsDrawWindowsDoNot)
{
    struct Case {
        float countdown;
        bool drawn;
        const char* holds;
        unsigned size;
    };
    const sf::Text& dream = show->objects.dreamText;
    show->objects.dreamText.setCharacterSize(20);
    stepAt(16.0f);
    EXPECT_EQ(summary(recorder), "frogsSprite");
    EXPECT_EQ(dream.getCharacterSize(), 20u);
    for (const Case& c : {Case{11.0f, false, secondLine, 20}, Case{12.0f, false, firstLine, 43},
                          Case{6.0f, false, secondLine, 43}, Case{15.5f, false, firstLine, 43},
                          Case{13.0f, true, firstLine, 43}, Case{11.5f, false, firstLine, 43},
                          Case{5.9f, false, firstLine, 43}, Case{8.0f, true, secondLine, 43}}) {
        stepAt(c.countdown);
        EXPECT_EQ(summary(recorder), c.drawn ? "frogsSprite dreamText" : "frogsSprite") << c.countdown;
        EXPECT_EQ(dream.getString(), c.holds) << c.countdown;
        EXPECT_EQ(dream.getPosition(), c.holds == firstLine ? sf::Vector2f(900, 650) : sf::Vector2f(405, 200));
        EXPECT_EQ(dream.getCharacterSize(), c.size) << c.countdown;
    }
}

TEST_F(Ending, PictureStopsOnTheLastFrameAtOrAbove15AndAHalfAndTheShowEndsAtOrBelowFour)
{
    show->objects.endClock.setElapsed(sf::seconds(0.5f));
    stepAt(15.5f);
    EXPECT_EQ(frogsTop(), -100.0f);
    show->objects.endClock.setElapsed(sf::seconds(2.0f));
    stepAt(15.25f);
    EXPECT_EQ(frogsTop(), -100.0f);
    stepAt(4.001f);
    EXPECT_EQ(summary(recorder), "frogsSprite");
    stepAt(4.0f);
    EXPECT_EQ(summary(recorder), "frogsSprite closed");  // a full frame, presented
}

} // namespace
} // namespace tolva

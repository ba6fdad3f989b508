// Scene 8: the frogs rise, two closing lines, and the show ends.

#include "driver/Show.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolva {
namespace {

const char* const firstLine = "What a dream I had...";
const char* const secondLine = "The spring has warmed the pool though. Come swim.";

class Ending : public ::testing::Test {
protected:
    ManualTimeSource time;
    ShowState state{time};
    Recorder recorder;
    Show show{state, recorder};

    // One step with countdown8 as it stands after the decrement (no time passes).
    void stepAt(float countdown)
    {
        state.countdown[8] = countdown;
        state.frameDelta = sf::Time::Zero;
        recorder.forget();
        show.run(8, recorder);
    }

    std::vector<std::string> drawnTexts() const
    {
        std::vector<std::string> strings;
        for (const TextOp& op : recorder.only<TextOp>()) {
            EXPECT_STREQ(op.ref.name, "dreamText");
            strings.push_back(op.string);
        }
        return strings;
    }

    const sf::Text& dream() const { return show.objects.dreamText; }
};

TEST_F(Ending, FirstFrameStartsTheSoundAndTheClockAndShowsThePictureAtMinusFifty)
{
    time.advance(sf::seconds(300));  // endClock has run since start-up
    state.frameDelta = sf::seconds(1.0f / 60);
    show.run(8, recorder);

    const auto cues = recorder.only<SoundOp>();
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].id, SoundId::endSound);
    EXPECT_EQ(state.countdown[8], 34.0f - sf::seconds(1.0f / 60).asSeconds());
    // The start-up position (1, 1) never shows.
    EXPECT_EQ(recorder.only<SpriteOp>().at(0).position, sf::Vector2f(0, -50));

    // Later frames: no cue, and the clock counts from the first frame.
    time.advance(sf::seconds(2.5f));
    recorder.forget();
    show.run(8, recorder);
    EXPECT_TRUE(recorder.only<SoundOp>().empty());
    EXPECT_EQ(recorder.only<SpriteOp>().at(0).position, sf::Vector2f(0, -300));
}

TEST_F(Ending, SetUpWindowsIncludeTheirEndsDrawWindowsDoNot)
{
    state.scene8Pending = false;
    // Above 15.5: the picture alone, the text as start-up left it.
    stepAt(16.0f);
    EXPECT_TRUE(drawnTexts().empty());
    EXPECT_NE(dream().getCharacterSize(), 43u);

    // At exactly 15.5 the first line is set up, not drawn.
    stepAt(15.5f);
    EXPECT_EQ(dream().getCharacterSize(), 43u);

    // Then, from one window's inclusive set-up end through its open draw window to the next.
    struct Case {
        float countdown;
        const char* drawn;  // or nothing
        const char* holds;
        sf::Vector2f at;
    };
    const sf::Vector2f first(900, 650), second(405, 200);
    const Case cases[] = {{13.0f, firstLine, firstLine, first},   {12.0f, nullptr, firstLine, first},
                          {11.5f, nullptr, firstLine, first},   {11.0f, nullptr, secondLine, second},
                          {8.0f, secondLine, secondLine, second}, {6.0f, nullptr, secondLine, second},
                          {5.0f, nullptr, secondLine, second}};
    for (const Case& c : cases) {
        stepAt(c.countdown);
        EXPECT_EQ(drawnTexts(), c.drawn ? std::vector<std::string>{c.drawn} : std::vector<std::string>{})
            << c.countdown;
        EXPECT_EQ(dream().getString(), c.holds) << c.countdown;
        EXPECT_EQ(dream().getPosition(), c.at) << c.countdown;
        EXPECT_EQ(recorder.only<SpriteOp>().size(), 1u);  // the picture is drawn to the end
    }
    // The second window only moves the text and changes its string; a set-up frame after it
    // brings the first line back in full.
    stepAt(14.0f);
    show.objects.dreamText.setCharacterSize(20);
    stepAt(9.0f);
    EXPECT_EQ(dream().getCharacterSize(), 20u);
    stepAt(12.5f);
    EXPECT_EQ(dream().getCharacterSize(), 43u);
    EXPECT_EQ(dream().getString(), firstLine);
}

TEST_F(Ending, PictureFreezesWhereItWasOnTheLastFrameAtOrAbove15AndAHalf)
{
    state.scene8Pending = false;
    show.objects.endClock.restart();
    const sf::Time frame = sf::seconds(0.25f);
    state.countdown[8] = 16.0f;
    std::vector<float> top;
    std::vector<float> countdowns;
    for (int k = 0; k < 8; ++k) {
        time.advance(frame);
        state.frameDelta = frame;
        recorder.forget();
        show.run(8, recorder);
        top.push_back(recorder.only<SpriteOp>().at(0).position.y);
        countdowns.push_back(state.countdown[8]);
    }
    // 15.75, 15.5 (still set), then frozen at the reading of that frame.
    ASSERT_EQ(countdowns[1], 15.5f);
    EXPECT_EQ(top[1], -(0.5f * 100 + 50));
    for (std::size_t k = 2; k < top.size(); ++k) {
        EXPECT_EQ(top[k], top[1]) << "frame " << k;
    }
}

TEST_F(Ending, ClosesAfterPresentingTheFrameAtOrBelowFour)
{
    state.scene8Pending = false;
    stepAt(4.001f);
    EXPECT_TRUE(recorder.isOpen());
    stepAt(4.0f);
    EXPECT_FALSE(recorder.isOpen());
    // The last frame is a full one, and presented.
    EXPECT_EQ(recorder.only<SpriteOp>().size(), 1u);
    EXPECT_TRUE(std::holds_alternative<DisplayOp>(recorder.ops().back()));
}

} // namespace
} // namespace tolva

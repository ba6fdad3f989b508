// Scene 8: the frogs rise, two closing lines, and the show ends.

#include "driver/Show.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolva {
namespace {

// The recorder, plus the order in which frames were presented and the window closed.
class EventCanvas final : public Canvas {
public:
    explicit EventCanvas(Recorder& recorder) : recorder_(recorder) {}

    void clear(sf::Color color) override { recorder_.clear(color); }
    void draw(const Circle& circle, CellRef cell) override { recorder_.draw(circle, cell); }
    void draw(const Rect& rect, CellRef cell) override { recorder_.draw(rect, cell); }
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override
    {
        recorder_.draw(text, ref, shader);
    }
    void draw(const sf::Sprite& sprite, ObjectRef ref) override { recorder_.draw(sprite, ref); }
    void setUniform(sf::Shader& shader, const char* name, float value) override
    {
        recorder_.setUniform(shader, name, value);
    }
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override
    {
        recorder_.setUniform(shader, name, value);
    }
    void display() override
    {
        events.push_back(open_ ? "display" : "display after close");
        recorder_.display();
    }
    bool isOpen() const override { return open_; }
    void close() override
    {
        events.push_back("close");
        open_ = false;
    }

    std::vector<std::string> events;

private:
    Recorder& recorder_;
    bool open_ = true;
};

const sf::Color coral(234, 90, 93, 255);
const sf::Color darkRed(103, 13, 13, 255);
const char* const firstLine = "What a dream I had...";
const char* const secondLine = "The spring has warmed the pool though. Come swim.";

class Ending : public ::testing::Test {
protected:
    ManualTimeSource time;
    ShowState state{time};
    Recorder recorder;
    Show show{state, recorder};
    EventCanvas canvas{recorder};

    // Only scene 8's gate holds from here on.
    void onlySceneEight()
    {
        for (std::size_t n = 0; n < 8; ++n) {
            state.countdown[n] = -1.0f;
        }
    }

    // One step with countdown8 as it stands after the decrement (no time passes).
    void stepAt(float countdown)
    {
        state.countdown[8] = countdown;
        state.frameDelta = sf::Time::Zero;
        recorder.forget();
        show.run(8, canvas);
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
    show.run(8, canvas);

    const auto cues = recorder.only<SoundOp>();
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].id, SoundId::endSound);
    EXPECT_TRUE(cues[0].play);
    EXPECT_FALSE(state.scene8Pending);
    EXPECT_EQ(state.countdown[8], 34.0f - sf::seconds(1.0f / 60).asSeconds());

    // clear, the sprite, display; the start-up position (1, 1) never shows.
    const auto& ops = recorder.ops();
    ASSERT_EQ(ops.size(), 4u);
    const SpriteOp& sprite = std::get<SpriteOp>(ops[2]);
    EXPECT_STREQ(sprite.ref.name, "frogsSprite");
    EXPECT_EQ(sprite.position, sf::Vector2f(0, -50));
    EXPECT_TRUE(std::holds_alternative<DisplayOp>(ops[3]));

    // Later frames: no cue, and the clock counts from the first frame.
    time.advance(sf::seconds(2.5f));
    recorder.forget();
    show.run(8, canvas);
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
    EXPECT_EQ(dream().getFillColor(), coral);
    EXPECT_EQ(dream().getOutlineColor(), darkRed);
    EXPECT_EQ(dream().getOutlineThickness(), 7.5f);
    EXPECT_EQ(dream().getCharacterSize(), 43u);

    // Then, from one window's inclusive set-up end through its open draw window to the next.
    struct Case {
        float countdown;
        const char* drawn;  // or nothing
        const char* holds;
        sf::Vector2f at;
    };
    const sf::Vector2f first(900, 650), second(405, 200);
    const Case cases[] = {{15.5f, nullptr, firstLine, first},   {13.0f, firstLine, firstLine, first},
                          {12.0f, nullptr, firstLine, first},   {11.5f, nullptr, firstLine, first},
                          {11.0f, nullptr, secondLine, second}, {8.0f, secondLine, secondLine, second},
                          {6.0f, nullptr, secondLine, second},  {5.0f, nullptr, secondLine, second}};
    for (const Case& c : cases) {
        stepAt(c.countdown);
        EXPECT_EQ(drawnTexts(), c.drawn ? std::vector<std::string>{c.drawn} : std::vector<std::string>{})
            << c.countdown;
        EXPECT_EQ(dream().getString(), c.holds) << c.countdown;
        EXPECT_EQ(dream().getPosition(), c.at) << c.countdown;
        EXPECT_EQ(recorder.only<SpriteOp>().size(), 1u);  // the picture is drawn to the end
    }
}

TEST_F(Ending, SecondWindowOnlyMovesTheTextAndChangesItsString)
{
    state.scene8Pending = false;
    stepAt(14.0f);
    show.objects.dreamText.setCharacterSize(20);  // whatever the text holds carries on
    stepAt(9.0f);
    EXPECT_EQ(dream().getCharacterSize(), 20u);
    EXPECT_EQ(dream().getString(), secondLine);
    // A set-up frame after it brings the first line back in full.
    stepAt(12.5f);
    EXPECT_EQ(dream().getCharacterSize(), 43u);
    EXPECT_EQ(dream().getString(), firstLine);
    EXPECT_EQ(dream().getPosition(), sf::Vector2f(900, 650));
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
        show.run(8, canvas);
        top.push_back(recorder.only<SpriteOp>().at(0).position.y);
        countdowns.push_back(state.countdown[8]);
    }
    // 15.75, 15.5 (still set), then frozen at the reading of that frame.
    ASSERT_EQ(countdowns[1], 15.5f);
    EXPECT_EQ(top[0], -(0.25f * 100 + 50));
    EXPECT_EQ(top[1], -(0.5f * 100 + 50));
    for (std::size_t k = 2; k < top.size(); ++k) {
        EXPECT_EQ(top[k], top[1]) << "frame " << k;
    }
}

TEST_F(Ending, ClosesAfterPresentingTheFrameAtOrBelowFour)
{
    state.scene8Pending = false;
    stepAt(4.001f);
    EXPECT_EQ(canvas.events, std::vector<std::string>{"display"});
    EXPECT_TRUE(canvas.isOpen());

    stepAt(4.0f);
    EXPECT_EQ(canvas.events, (std::vector<std::string>{"display", "display", "close"}));
    EXPECT_FALSE(canvas.isOpen());
    EXPECT_EQ(recorder.only<SpriteOp>().size(), 1u);  // the last frame is a full one
}

TEST_F(Ending, ShowEndsAboutThirtySecondsInAfterTheFrameThatReachesFour)
{
    onlySceneEight();
    const sf::Time period = sf::microseconds(16667);
    std::vector<float> countdowns;
    int frames = 0;
    while (canvas.isOpen() && frames < 4000) {
        if (frames > 0) {
            time.advance(period);
        }
        recorder.forget();
        const IterationReport report = show.iterate(canvas, false);
        ASSERT_EQ(report.scenes, std::vector<int>{8});
        countdowns.push_back(state.countdown[8]);
        ++frames;
    }
    ASSERT_FALSE(canvas.isOpen());
    // Every frame but the last is above 4; the last at or below it, by less than a frame.
    for (std::size_t k = 0; k + 1 < countdowns.size(); ++k) {
        ASSERT_GT(countdowns[k], 4.0f) << k;
    }
    EXPECT_LE(countdowns.back(), 4.0f);
    EXPECT_GT(countdowns.back(), 4.0f - period.asSeconds());
    EXPECT_NEAR(frames * period.asSeconds(), 30.0, 0.05);
}

} // namespace
} // namespace tolva

// The capture with the show itself (under an X display): skipped iterations leave the show exactly
// as rendered ones do, and frames come back from the render texture the right way up.

#include "capture/CaptureDeck.h"
#include "capture/FrameCanvas.h"
#include "capture/WorkCanvas.h"
#include "driver/Show.h"
#include "render/Letterbox.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace tolva;


struct CapturedShow {
    WorkClock clock{WorkModel{}, 60};
    ShowState state{clock};
    CaptureDeck deck{clock};
    Show show{state, deck};
    WorkCanvas canvas{clock};
    long k = 0;

    void iterate()
    {
        clock.startIteration(k);
        deck.setIteration(k);
        show.iterate(canvas, false);
        ++k;
    }
};

void expectSameState(CapturedShow& a, CapturedShow& b, const std::string& where)
{
    ASSERT_EQ(a.clock.nanoseconds(), b.clock.nanoseconds()) << where;
    auto av = a.show.floatValues();
    auto bv = b.show.floatValues();
    for (const auto& [name, value] : av) {
        ASSERT_EQ(*value, *bv[name]) << name << " " << where;
    }
    auto af = a.show.flagValues();
    auto bf = b.show.flagValues();
    for (const auto& [name, flag] : af) {
        ASSERT_EQ(*flag, *bf[name]) << name << " " << where;
    }
    ASSERT_EQ(a.deck.cues().size(), b.deck.cues().size()) << where;
    ASSERT_EQ(a.canvas.presents(), b.canvas.presents()) << where;
}

TEST(CaptureShow, SkippedIterationsLeaveTheShowAsRenderedOnesDo)
{
    if (!displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    auto rendered = std::make_unique<CapturedShow>();
    auto skipped = std::make_unique<CapturedShow>();
    Recorder target(false);
    rendered->canvas.renderTo(&target);

    // Every scene for a few frames, each hand-over brought forward the same way in both.
    for (int scene = 0; scene <= 8 && rendered->canvas.isOpen(); ++scene) {
        const int frames = scene == 0 ? 20 : 4;
        for (int f = 0; f < frames; ++f) {
            rendered->iterate();
            skipped->iterate();
            expectSameState(*rendered, *skipped, "scene " + std::to_string(scene));
        }
        if (scene >= 1 && scene < 8) {
            rendered->state.countdown[static_cast<std::size_t>(scene)] = 0.001f;
            skipped->state.countdown[static_cast<std::size_t>(scene)] = 0.001f;
        }
    }
    EXPECT_GT(target.framesPresented(), 40u);
    EXPECT_GT(rendered->show.objects.cascadeTime, 0.0f) << "time passes inside scene 2's step";
    EXPECT_EQ(rendered->clock.overruns(), 0);
}

TEST(CaptureShow, FramesComeBackTopDownAndTheLastPresentStays)
{
    if (!displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    sf::RenderTexture texture;
    ASSERT_TRUE(texture.create(showWidth, showHeight));
    FrameCanvas canvas(texture);
    Rect corner;
    corner.setSize(sf::Vector2f(10, 10));
    corner.setFillColor(sf::Color(255, 0, 0, 255));
    canvas.clear(sf::Color(0, 0, 255, 255));
    canvas.draw(corner, {"squareGrid", 1, 1});
    canvas.display();
    const std::vector<sf::Uint8> first = canvas.lastFrame();
    auto pixel = [&](const std::vector<sf::Uint8>& frame, unsigned x, unsigned y) {
        const std::size_t at = (static_cast<std::size_t>(y) * showWidth + x) * 4;
        return sf::Color(frame[at], frame[at + 1], frame[at + 2], frame[at + 3]);
    };
    EXPECT_EQ(pixel(first, 5, 5), sf::Color(255, 0, 0, 255)) << "the square is at the top left";
    const sf::Image reference = texture.getTexture().copyToImage();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), reference.getPixelsPtr()))
        << "what SFML's own read-back gives";

    // A second present in the same iteration (a hand-over) replaces the first.
    canvas.clear(sf::Color(0, 255, 0, 255));
    canvas.display();
    EXPECT_EQ(pixel(canvas.lastFrame(), 5, 5), sf::Color(0, 255, 0, 255));
}

} // namespace

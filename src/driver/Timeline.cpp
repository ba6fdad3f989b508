#include "driver/Timeline.h"

#include "scenes/Formula.h"

namespace tolva {

namespace {

// The timeline as a table: when each scene runs, and how its countdown falls while it does.
enum class Fall { tenthPerFrame, frameSeconds, frameSecondsTimes1_5, frameSecondsTimes1_1 };

struct Slot {
    bool (*gate)(const std::array<float, 9>& c);
    Fall fall;
};

const std::array<Slot, 9> timeline = {{
    /* 0 */ {[](const auto& c) { return c[0] >= 0.0f; }, Fall::tenthPerFrame},
    /* 1 */ {[](const auto& c) { return c[1] >= 0.0f && c[0] <= 0.0f; }, Fall::frameSeconds},
    /* 2 */ {[](const auto& c) { return c[1] <= 0.0f && c[2] >= 0.0f && c[0] <= 0.0f; }, Fall::frameSeconds},
    /* 3 */ {[](const auto& c) { return c[3] >= 0.0f && c[2] <= 0.0f; }, Fall::frameSeconds},
    /* 4 */ {[](const auto& c) { return c[3] <= 0.0f && c[4] >= 0.0f && c[0] <= 0.0f; }, Fall::frameSeconds},
    /* 5 */ {[](const auto& c) { return c[4] <= 0.0f && c[5] >= 0.0f; }, Fall::frameSeconds},
    /* 6 */ {[](const auto& c) { return c[5] <= 0.0f && c[6] >= 0.0f && c[0] <= 0.0f; }, Fall::frameSecondsTimes1_5},
    /* 7 */ {[](const auto& c) { return c[6] <= 0.0f && c[7] >= 0.0f && c[0] <= 0.0f; }, Fall::frameSecondsTimes1_1},
    /* 8 */ {[](const auto& c) { return c[7] <= 0.0f && c[8] >= 0.0f; }, Fall::frameSeconds},
}};

// Whether scene n runs now, with the countdowns as they stand when the loop reaches it.
bool gateHolds(const std::array<float, 9>& countdown, int scene)
{
    return timeline[static_cast<std::size_t>(scene)].gate(countdown);
}

} // namespace

void leadIn(ShowState& state, Canvas& canvas)
{
    countDown(state, 0);
    canvas.clear(sf::Color(0, 0, 0, 255));
    canvas.display();
}

void countDown(ShowState& state, int scene)
{
    float& c = state.countdown[static_cast<std::size_t>(scene)];
    const float seconds = state.frameSeconds();
    switch (timeline[static_cast<std::size_t>(scene)].fall) {
    case Fall::tenthPerFrame:
        c = narrow(wide(c) - 0.1);  // frames, not seconds: twenty of them from 2.0
        break;
    case Fall::frameSeconds:
        c -= seconds;
        break;
    case Fall::frameSecondsTimes1_5:
        c = narrow(wide(c) - wide(seconds) * 1.5);
        break;
    case Fall::frameSecondsTimes1_1:
        c = narrow(wide(c) - wide(seconds) * 1.1);
        break;
    }
}

FrameLoop::FrameLoop(ShowClock& scrollerClock, std::array<SceneUnit*, 9> units)
    : scrollerClock_(scrollerClock), units_(units)
{
}

IterationReport FrameLoop::iterate(ShowState& state, Canvas& canvas, SoundDeck& deck,
                                   bool escapeDown)
{
    IterationReport report;
    if (escapeDown) {
        // The rest of the iteration still runs; the loop ends when it next asks.
        deck.stop(SoundId::voiceFour);
        canvas.close();
    }
    state.frameDelta = state.frameClock.restart();
    state.warpTime = state.warpTime + state.warpClock.getElapsedTime().asSeconds() * state.frameSeconds();
    state.sceneTime = state.sceneTime + state.frameSeconds();

    auto offer = [&](int scene) {
        if (!gateHolds(state.countdown, scene)) {
            return;
        }
        report.scenes.push_back(scene);
        if (scene == 0) {
            leadIn(state, canvas);
        } else {
            units_[static_cast<std::size_t>(scene)]->step(state, canvas, deck);
        }
    };
    for (int scene = 0; scene <= 2; ++scene) {
        offer(scene);
    }
    if (state.countdown[2] >= 0.0f) {
        scrollerClock_.restart();  // so the scroller's clock counts from the end of scene 2
    }
    for (int scene = 3; scene <= 8; ++scene) {
        offer(scene);
    }
    return report;
}

} // namespace tolva

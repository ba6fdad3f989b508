#include "driver/Timeline.h"

#include "scenes/Formula.h"

namespace tolva {

namespace {

// When each scene runs; how its countdown falls while it does is in show/Timing.h.
using Gate = bool (*)(const std::array<float, 9>& c);

const std::array<Gate, 9> gates = {{
    /* 0 */ [](const auto& c) { return c[0] >= 0.0f; },
    /* 1 */ [](const auto& c) { return c[1] >= 0.0f && c[0] <= 0.0f; },
    /* 2 */ [](const auto& c) { return c[1] <= 0.0f && c[2] >= 0.0f && c[0] <= 0.0f; },
    /* 3 */ [](const auto& c) { return c[3] >= 0.0f && c[2] <= 0.0f; },
    /* 4 */ [](const auto& c) { return c[3] <= 0.0f && c[4] >= 0.0f && c[0] <= 0.0f; },
    /* 5 */ [](const auto& c) { return c[4] <= 0.0f && c[5] >= 0.0f; },
    /* 6 */ [](const auto& c) { return c[5] <= 0.0f && c[6] >= 0.0f && c[0] <= 0.0f; },
    /* 7 */ [](const auto& c) { return c[6] <= 0.0f && c[7] >= 0.0f && c[0] <= 0.0f; },
    /* 8 */ [](const auto& c) { return c[7] <= 0.0f && c[8] >= 0.0f; },
}};

// Whether scene n runs now, with the countdowns as they stand when the loop reaches it.
bool gateHolds(const std::array<float, 9>& countdown, int scene)
{
    return gates[static_cast<std::size_t>(scene)](countdown);
}

} // namespace

// Scene 0, the black lead-in: it lives in the loop itself, not in a unit.
void leadIn(Canvas& canvas)
{
    canvas.clear(sf::Color(0, 0, 0, 255));
    canvas.display();
}

void countDown(ShowState& state, int scene)
{
    float& c = state.countdown[static_cast<std::size_t>(scene)];
    const float seconds = state.frameSeconds();
    using timing::Fall;
    switch (timing::countdowns[static_cast<std::size_t>(scene)].fall) {
    case Fall::tenthPerFrame:
        c = narrow(wide(c) - 0.1);
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

void FrameLoop::run(int scene, ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, scene);
    if (scene == 0) {
        leadIn(canvas);
    } else {
        units_[static_cast<std::size_t>(scene)]->step(state, canvas, deck);
    }
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
        run(scene, state, canvas, deck);
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

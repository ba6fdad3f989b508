#include "driver/Timeline.h"

#include "scenes/Formula.h"

namespace tolva {

// The rates of show/Timing.h's table, each in the precision the show uses.
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

namespace {

// Scene 0, the black lead-in: it lives in the loop itself, not in a unit.
void leadIn(Canvas& canvas)
{
    canvas.clear(sf::Color(0, 0, 0, 255));
    canvas.display();
}

} // namespace

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

    // Each scene is offered the iteration in turn; its gate is in show/Timing.h's table.
    auto offer = [&](int scene) {
        if (!timing::countdowns[static_cast<std::size_t>(scene)].gate(state.countdown)) {
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

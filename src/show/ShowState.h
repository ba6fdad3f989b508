#pragma once

#include "show/TimeSource.h"
#include "show/Timing.h"

#include <array>

namespace tolva {

// The timing state every scene shares. Created right after the window, before any asset, so the
// first frame's frameDelta and warpClock reading hold the whole start-up.
struct ShowState {
    explicit ShowState(TimeSource& source) : time(&source), frameClock(source), warpClock(source) {}

    TimeSource* time;      // scenes that make clocks of their own make them on this source
    ShowClock frameClock;  // restarted at every frame head, and once more inside scenes 2 to 8
    ShowClock warpClock;   // never restarted
    sf::Time frameDelta = sf::Time::Zero;
    float warpTime = 0.0f;
    float sceneTime = 0.0f;
    std::array<float, 9> countdown = starts();
    bool scene1Pending = true;
    bool scene2Pending = true;
    bool scene3Pending = true;
    bool voiceOneOn = false;    // set again during start-up, where the show sets it
    bool scene8Pending = true;  // likewise

    float frameSeconds() const { return frameDelta.asSeconds(); }

private:
    static std::array<float, 9> starts()
    {
        std::array<float, 9> c{};
        for (std::size_t n = 0; n < c.size(); ++n) {
            c[n] = timing::countdowns[n].start;
        }
        return c;
    }};

} // namespace tolva

#pragma once

#include "driver/TimeSource.h"

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
    std::array<float, 9> countdown = {2.0f, 61.0f, 36.0f, 57.0f, 49.0f, 39.0f, 36.0f, 54.0f, 34.0f};
    bool scene1Pending = true;
    bool scene2Pending = true;
    bool scene3Pending = true;
    bool voiceOneOn = false;    // set again during start-up, where the show sets it
    bool scene8Pending = true;  // likewise

    float frameSeconds() const { return frameDelta.asSeconds(); }
};

} // namespace tolva

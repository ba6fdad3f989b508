#pragma once

#include "show/TimeSource.h"
#include "show/Timing.h"

#include <array>
#include <map>
#include <string>

namespace tolva {

// The show's values by their names, for the inspector and the tests: every state struct names its
// own where it declares them.
struct NamedValues {
    std::map<std::string, float*> floats;
    std::map<std::string, bool*> flags;
    std::map<std::string, ShowClock*> clocks;  // by the name of their reading
};

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

    void name(NamedValues& values)
    {
        values.floats["warpTime"] = &warpTime;
        values.floats["sceneTime"] = &sceneTime;
        for (std::size_t n = 0; n < countdown.size(); ++n) {
            values.floats["countdown" + std::to_string(n)] = &countdown[n];
        }
        values.flags["scene1Pending"] = &scene1Pending;
        values.flags["scene2Pending"] = &scene2Pending;
        values.flags["scene3Pending"] = &scene3Pending;
        values.flags["voiceOneOn"] = &voiceOneOn;
        values.flags["scene8Pending"] = &scene8Pending;
        values.clocks["warpElapsed"] = &warpClock;
    }

private:
    static std::array<float, 9> starts()
    {
        std::array<float, 9> c{};
        for (std::size_t n = 0; n < c.size(); ++n) {
            c[n] = timing::countdowns[n].start;
        }
        return c;
    }
};

} // namespace tolva

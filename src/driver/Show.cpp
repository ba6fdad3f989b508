#include "driver/Show.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace tolva {

Show::Show(ShowState& showState, SoundDeck& soundDeck)
    : state(showState), deck(soundDeck), objects(showState, soundDeck)
{
}

std::map<std::string, float*> Show::floatValues()
{
    std::map<std::string, float*> values = {
        {"warpTime", &state.warpTime},       {"sceneTime", &state.sceneTime},
        {"columnTime", &objects.columnTime}, {"cascadeTime", &objects.cascadeTime},
        {"scrollPhase", &objects.scrollPhase}, {"swirlPhase", &objects.swirlPhase},
        {"vortexTime", &objects.vortexTime}, {"latticeTime", &objects.latticeTime},
        {"gridTime", &objects.gridTime},     {"colourFuse", &objects.colourFuse},
    };
    for (std::size_t n = 0; n < state.countdown.size(); ++n) {
        values["countdown" + std::to_string(n)] = &state.countdown[n];
    }
    return values;
}

std::map<std::string, bool*> Show::flagValues()
{
    return {{"scene1Pending", &state.scene1Pending}, {"scene2Pending", &state.scene2Pending},
            {"scene3Pending", &state.scene3Pending}, {"voiceOneOn", &state.voiceOneOn},
            {"scene8Pending", &state.scene8Pending}};
}

std::map<std::string, ShowClock*> Show::clocks()
{
    return {{"warpElapsed", &state.warpClock},
            {"scrollerElapsed", &objects.scrollerClock},
            {"fuseTick", &objects.fuseClock},
            {"endElapsed", &objects.endClock}};
}

bool displayAvailable()
{
    static Display* const held = [] {
        const char* name = std::getenv("DISPLAY");
        for (int attempt = 0; name != nullptr && *name != '\0' && attempt < 5; ++attempt) {
            if (Display* display = XOpenDisplay(nullptr)) {
                return display;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a server still resetting
        }
        return static_cast<Display*>(nullptr);
    }();
    return held != nullptr;
}

} // namespace tolva

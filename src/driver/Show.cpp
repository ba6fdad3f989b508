#include "driver/Show.h"

#include "driver/StartUp.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace tolva {

Show::Show(ShowState& showState, SoundDeck& soundDeck)
    : state(showState), deck(soundDeck), scenes(*showState.time)
{
    startUp(state, deck, assets, scenes);
}

NamedValues Show::named()
{
    NamedValues values;
    state.name(values);
    scenes.name(values);
    return values;
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

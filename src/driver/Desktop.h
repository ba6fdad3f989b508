#pragma once

// What the show finds on the desktop it runs on: a display fit for its window, a sound output,
// and the window's events.

#include "sound/SoundDeck.h"

#include <string>

namespace sf {
class Window;
}

namespace tolva {

// Empty when the show's window can be opened on the display; otherwise one line saying why not
// (SFML aborts the process, or dies of an X error, where it cannot).
std::string displayProblem();

// True when a sound output can be opened. Without one, OpenAL Soft and ALSA would report every
// failed attempt on stderr, so both are told to stay quiet before the check.
bool soundOutputAvailable();

// The deck of a show without sound output: everything is asked of it, nothing is heard.
class SilentDeck final : public SoundDeck {
public:
    void loadSamples(SoundId, const std::vector<sf::Int16>&, unsigned) override {}
    void loadFile(SoundId, const std::string&) override {}
    void createSound(SoundId, bool, float) override {}
    void play(SoundId) override {}
    void stop(SoundId) override {}
};

// Takes every event the window has queued, without waiting, and says whether one of them ends
// the show: an Escape press (however short) or the window manager's request to close.
bool endRequested(sf::Window& window);

} // namespace tolva

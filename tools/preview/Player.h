#pragma once

#include "preview/Rehearsal.h"
#include "render/BatchCanvas.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <chrono>
#include <optional>
#include <string>

namespace tolva {

// The preview's window: the show's frames drawn offscreen at 1920x1080 and shown scaled to the
// window with bars, paced by the steady clock, steered from the keyboard, with an overlay.
class Player {
public:
    Player(sf::RenderWindow& window, Rehearsal& show, bool paused);

    // Runs up to iteration `from`, then live until the window is closed. Returns the exit
    // status; `problem` says why when it is not 0.
    int run(long from, std::string& problem);

private:
    using Clock = std::chrono::steady_clock;

    void goTo(long k);
    void advance();
    void render(bool audible);
    void setPaused(bool paused);
    void anchor();
    bool handleEvents();  // false: quit
    void onKey(sf::Keyboard::Key key);
    void redraw();
    void say(const char* what) const;
    std::string overlayText() const;

    sf::RenderWindow& window_;
    Rehearsal& show_;
    sf::RenderTexture frame_;
    BatchCanvas canvas_;
    sf::Font font_;
    bool paused_;
    bool overlay_ = false;
    bool quit_ = false;
    bool dirty_ = true;  // the window needs drawing again
    bool busy_ = false;  // running up to a frame
    long shown_ = -1;  // the iteration whose frame is on screen
    // Live: iteration anchor_ was shown at anchorTime_, the next ones follow 1/fps apart.
    long anchor_ = 0;
    Clock::time_point anchorTime_;
    // For the overlay.
    double stepCpuMs_ = 0;
    unsigned drawCalls_ = 0;
    double framesPerSecond_ = 0;
    int framesCounted_ = 0;
    Clock::time_point countSince_ = Clock::now();
};

} // namespace tolva

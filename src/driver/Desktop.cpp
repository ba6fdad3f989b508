#include "driver/Desktop.h"
#include "driver/Show.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

#include <AL/alc.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fmt/format.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace tolva {

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

std::string displayProblem()
{
    if (!displayAvailable()) {
        return "no display to open the show's window on (is DISPLAY set?)";
    }
    Display* display = XOpenDisplay(nullptr);
    const int depth = display != nullptr ? DefaultDepth(display, DefaultScreen(display)) : 24;
    if (display != nullptr) {
        XCloseDisplay(display);
    }
    // SFML picks a 24-bit visual for the window, which a shallower root window refuses.
    if (depth < 24) {
        return fmt::format("the display has {}-bit colour; the show needs 24-bit colour or more",
                           depth);
    }
    return "";
}

namespace {

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// ALSA writes every device it cannot open to stderr through a handler of its own. OpenAL Soft
// loads the library at run time; loading it here first (and keeping it) lets us replace that
// handler for both.
void quietAlsa()
{
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (alsa == nullptr) {
        return;
    }
    if (void* set = dlsym(alsa, "snd_lib_error_set_handler")) {
        reinterpret_cast<int (*)(Handler)>(set)(ignoreAlsaError);
    }
}

} // namespace

bool soundOutputAvailable()
{
    // OpenAL Soft reads its log level when it first starts; a level the user set is kept.
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    quietAlsa();
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        return false;
    }
    alcCloseDevice(device);
    return true;
}

bool endRequested(sf::Window& window)
{
    bool end = false;
    sf::Event event;
    while (window.pollEvent(event)) {
        if (event.type == sf::Event::Closed
            || (event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Escape)) {
            end = true;
        }
    }
    return end;
}

} // namespace tolva

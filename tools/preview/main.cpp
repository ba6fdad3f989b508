// tolva-preview: the show from any second, in a window, to rehearse or debug it.
//
// The show runs on the capture's virtual time (worktime/WorkClock.h) up to the second asked for,
// undrawn and unheard, then live, paced by the steady clock: every frame it draws is the one the
// capture writes for that moment, and the sound plays from where the capture's mix has it.

#include "driver/Desktop.h"
#include "preview/Rehearsal.h"
#include "show/AssetFolder.h"
#include "tools/preview/Player.h"
#include "worktime/FrameRange.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <SFML/Graphics/RenderWindow.hpp>

#include <cmath>
#include <memory>
#include <regex>

int main(int argc, char** argv)
{
    using namespace tolva;
    double from = 0.0;
    std::string windowSize = "1280x720";
    bool fullscreen = false;
    bool paused = false;

    CLI::App app{"Plays the show from any second in a window, to rehearse or debug it. Keys: Space "
                 "pause, Right/Left one frame forward/back (paused), Page Down/Up 10 s on/back, "
                 "Home the scene's start, 1-8 a scene's start, H overlay, Escape quit.",
                 "tolva-preview"};
    app.add_option("--from", from, "second of the show to start at (from its first black frame)")
        ->default_val(0.0);
    auto* windowOption = app.add_option("--window", windowSize, "window size, WxH (default 1280x720)");
    app.add_flag("--fullscreen", fullscreen, "full screen instead of a window")->excludes(windowOption);
    app.add_flag("--paused", paused, "start paused");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        fmt::print(stderr, "tolva-preview: {} (see --help)\n", error.what());
        return 2;
    }

    runBesideAssets();
    const double end = showLengthBound(Rehearsal::fps);
    if (!std::isfinite(from) || from < 0) {
        fmt::print(stderr, "tolva-preview: --from {} is not a time in the show (seconds, 0 or more)\n", from);
        return 2;
    }
    if (from >= end) {
        fmt::print(stderr, "tolva-preview: --from {} is past the end of the show ({:.1f} s)\n", from, end);
        return 2;
    }
    std::smatch size;
    if (!std::regex_match(windowSize, size, std::regex("([1-9][0-9]{0,4})x([1-9][0-9]{0,4})"))) {
        fmt::print(stderr, "tolva-preview: --window {} is not a size WxH (as 1280x720)\n", windowSize);
        return 2;
    }
    if (const std::string problem = displayProblem(); !problem.empty()) {
        fmt::print(stderr, "tolva-preview: {}\n", problem);
        return 1;
    }
    std::unique_ptr<OpenAlDeck> speakers;
    if (soundOutputAvailable()) {
        speakers = std::make_unique<OpenAlDeck>();
    } else {
        fmt::print(stderr, "tolva-preview: no sound output found; the preview runs without sound\n");
    }

    sf::RenderWindow window;
    if (fullscreen) {
        window.create(sf::VideoMode::getDesktopMode(), "Tolva preview", sf::Style::Fullscreen);
    } else {
        window.create(sf::VideoMode(static_cast<unsigned>(std::stoul(size[1])),
                                    static_cast<unsigned>(std::stoul(size[2]))),
                      "Tolva preview", sf::Style::Default);
        // Centred on the screen (SFML may place it partly off the screen).
        const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
        const auto centre = [](unsigned screen, unsigned window) {
            return screen > window ? static_cast<int>((screen - window) / 2) : 0;
        };
        window.setPosition({centre(desktop.width, window.getSize().x),
                            centre(desktop.height, window.getSize().y)});
    }
    window.setVerticalSyncEnabled(true);
    window.setKeyRepeatEnabled(true);

    Rehearsal show(speakers.get());
    Player player(window, show, paused);
    std::string problem;
    const int status = player.run(frameRange(Rehearsal::fps, from, std::nullopt).first, problem);
    if (!problem.empty()) {
        fmt::print(stderr, "tolva-preview: {}\n", problem);
    }
    return status;
}

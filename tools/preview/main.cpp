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

namespace {

struct PreviewOptions {
    double from = 0.0;
    std::string windowSize = "1280x720";
    bool fullscreen = false;
    bool paused = false;
};

// The window, full screen or of the size asked for and centred on the screen (SFML may place it
// partly off the screen).
void openWindow(sf::RenderWindow& window, const PreviewOptions& options, unsigned width, unsigned height)
{
    if (options.fullscreen) {
        window.create(sf::VideoMode::getDesktopMode(), "Tolva preview", sf::Style::Fullscreen);
    } else {
        window.create(sf::VideoMode(width, height), "Tolva preview", sf::Style::Default);
        const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
        const auto centre = [](unsigned screen, unsigned size) {
            return screen > size ? static_cast<int>((screen - size) / 2) : 0;
        };
        window.setPosition({centre(desktop.width, window.getSize().x),
                            centre(desktop.height, window.getSize().y)});
    }
    window.setVerticalSyncEnabled(true);
    window.setKeyRepeatEnabled(true);
}

// The show's run from the second asked for, in a window opened now; the exit status.
int preview(const PreviewOptions& options, unsigned width, unsigned height)
{
    using namespace tolva;
    std::unique_ptr<OpenAlDeck> speakers;
    if (soundOutputAvailable()) {
        speakers = std::make_unique<OpenAlDeck>();
    } else {
        fmt::print(stderr, "tolva-preview: no sound output found; the preview runs without sound\n");
    }
    sf::RenderWindow window;
    openWindow(window, options, width, height);
    Rehearsal show(speakers.get());
    Player player(window, show, options.paused);
    std::string problem;
    const int status = player.run(frameRange(Rehearsal::fps, options.from, std::nullopt).first, problem);
    if (!problem.empty()) {
        fmt::print(stderr, "tolva-preview: {}\n", problem);
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace tolva;
    PreviewOptions options;
    CLI::App app{"Plays the show from any second in a window, to rehearse or debug it. Keys: Space "
                 "pause, Right/Left one frame forward/back (paused), Page Down/Up 10 s on/back, "
                 "Home the scene's start, 1-8 a scene's start, H overlay, Escape quit.",
                 "tolva-preview"};
    app.add_option("--from", options.from, "second of the show to start at (from its first black frame)")
        ->default_val(0.0);
    auto* windowOption = app.add_option("--window", options.windowSize, "window size, WxH (default 1280x720)");
    app.add_flag("--fullscreen", options.fullscreen, "full screen instead of a window")->excludes(windowOption);
    app.add_flag("--paused", options.paused, "start paused");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        fmt::print(stderr, "tolva-preview: {} (see --help)\n", error.what());
        return 2;
    }

    runBesideAssets();
    if (const auto problem = fromProblem(options.from, Rehearsal::fps)) {
        fmt::print(stderr, "tolva-preview: {}\n", *problem);
        return 2;
    }
    std::smatch size;
    if (!std::regex_match(options.windowSize, size, std::regex("([1-9][0-9]{0,4})x([1-9][0-9]{0,4})"))) {
        fmt::print(stderr, "tolva-preview: --window {} is not a size WxH (as 1280x720)\n", options.windowSize);
        return 2;
    }
    if (const std::string problem = displayProblem(); !problem.empty()) {
        fmt::print(stderr, "tolva-preview: {}\n", problem);
        return 1;
    }
    return preview(options, static_cast<unsigned>(std::stoul(size[1])), static_cast<unsigned>(std::stoul(size[2])));
}

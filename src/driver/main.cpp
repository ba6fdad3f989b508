// Tolva: a self-running audiovisual show. Escape ends it early.

#include "driver/Desktop.h"
#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Letterbox.h"
#include "show/AssetFolder.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <fmt/format.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <unistd.h>

namespace {

// A third of the start-up's processor time went to faulting in, page by page, the large buffers
// that are filled once before the first frame (the pond picture, its texture, the soundtrack).
// glibc backs its large allocations with huge pages when a tunable asks for it, and reads tunables
// only when a process starts, so the show starts itself once more with it set. A caller's own
// GLIBC_TUNABLES is left as it is; if the restart fails the show simply goes on.
void preferHugePages(char** argv)
{
    if (std::getenv("GLIBC_TUNABLES") != nullptr) {
        return;
    }
    setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1);
    execv("/proc/self/exe", argv);
    unsetenv("GLIBC_TUNABLES");
}

} // namespace

int main(int, char** argv)
{
    using namespace tolva;
    preferHugePages(argv);
    runBesideAssets();
    if (const std::string problem = displayProblem(); !problem.empty()) {
        fmt::print(stderr, "tolva: {}\n", problem);
        return 1;
    }
    const bool sound = soundOutputAvailable();
    if (!sound) {
        fmt::print(stderr, "tolva: no sound output found; the show runs without sound\n");
    }

    SteadyTimeSource time;
    sf::RenderWindow window(sf::VideoMode(1920, 1080, 32), "Tolva", sf::Style::Fullscreen,
                            BatchCanvas::targetSettings());
    window.setVerticalSyncEnabled(true);
    window.setMouseCursorVisible(false);
    fitShowView(window);  // a display without a 1920x1080 mode still shows the whole picture

    ShowState state(time);
    const std::unique_ptr<SoundDeck> deck =
        sound ? std::unique_ptr<SoundDeck>(std::make_unique<OpenAlDeck>()) : std::make_unique<SilentDeck>();
    Show show(state, *deck);
    BatchCanvas canvas(&window, &window);
    while (canvas.isOpen()) {
        // Queued events first, so that a tap shorter than a frame still counts.
        const bool escape = endRequested(window) || sf::Keyboard::isKeyPressed(sf::Keyboard::Escape);
        show.iterate(canvas, escape);
    }
    return 0;
}

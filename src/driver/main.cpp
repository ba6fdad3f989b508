// Tolva: a self-running audiovisual show. Escape ends it early.

#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Letterbox.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Keyboard.hpp>

#include <fmt/format.h>

#include <cstdio>

int main()
{
    using namespace tolva;
    if (!displayAvailable()) {
        fmt::print(stderr, "tolva: no display to open the show's window on (is DISPLAY set?)\n");
        return 1;
    }

    SteadyTimeSource time;
    sf::RenderWindow window(sf::VideoMode(1920, 1080, 32), "Tolva", sf::Style::Fullscreen,
                            sf::ContextSettings());
    window.setVerticalSyncEnabled(true);
    window.setMouseCursorVisible(false);
    fitShowView(window);  // a display without a 1920x1080 mode still shows the whole picture

    ShowState state(time);
    OpenAlDeck deck;
    Show show(state, deck);
    BatchCanvas canvas(&window, &window);
    while (canvas.isOpen()) {
        show.iterate(canvas, sf::Keyboard::isKeyPressed(sf::Keyboard::Escape));
    }
    return 0;
}

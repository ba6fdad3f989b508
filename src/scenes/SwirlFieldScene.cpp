#include "scenes/SwirlFieldScene.h"

#include "show/ShowObjects.h"

namespace tolva {

void SwirlFieldScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    using namespace swirl;

    show_.swirlPhase = advancePhase(show_.swirlPhase, state.frameSeconds());
    const float m = state.frameClock.restart().asSeconds();
    state.warpTime = state.warpTime + state.warpClock.getElapsedTime().asSeconds() * m;
    const Frame frame = frameOf(show_.swirlPhase, state.countdown[4]);

    heptagons_.beginFrame(frame);
    for (int i = 1; i <= heptagonSize; ++i) {
        for (int j = 1; j <= heptagonSize; ++j) {
            const HeptagonCell cell = heptagons_.cell(i, j);
            Circle& h = show_.circleCube.at(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
            h.setFillColor(cell.fill);
            h.setPosition(cell.position);
            h.setRadius(cell.radius);
            h.setPointCount(7);
            h.setRotation(cell.rotation);
        }
    }

    squares_.beginFrame(frame);
    for (int k = 1; k <= squareSize; ++k) {
        for (int c = 1; c <= squareSize; ++c) {
            const SquareCell cell = squares_.cell(k, c);
            Rect& r = show_.squareCube.at(static_cast<std::size_t>(k), static_cast<std::size_t>(c));
            r.setFillColor(cell.fill);
            r.setPosition(cell.position);
            r.setSize(sf::Vector2f(25.0f, 25.0f));
        }
    }

    canvas.clear(clearColour(frame));
    for (int k = 1; k <= squareSize; ++k) {
        for (int c = 1; c <= squareSize; ++c) {
            canvas.draw(show_.squareCube.at(static_cast<std::size_t>(k), static_cast<std::size_t>(c)),
                        {"squareCube", k, c});
        }
    }
    for (int i = 1; i <= heptagonSize; ++i) {
        for (int j = 1; j <= heptagonSize; ++j) {
            canvas.draw(show_.circleCube.at(static_cast<std::size_t>(i), static_cast<std::size_t>(j)),
                        {"circleCube", i, j});
        }
    }
    canvas.display();
}

} // namespace tolva

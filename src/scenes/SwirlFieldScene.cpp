#include "scenes/SwirlFieldScene.h"


namespace tolva {

void SwirlFieldScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    using namespace swirl;

    own_.swirlPhase = advancePhase(own_.swirlPhase, state.frameSeconds());
    const float m = state.frameClock.restart().asSeconds();
    state.warpTime = state.warpTime + state.warpClock.getElapsedTime().asSeconds() * m;
    const Frame frame = frameOf(own_.swirlPhase, state.countdown[4]);

    heptagons_.beginFrame(frame);
    for (int i = 1; i <= heptagonSize; ++i) {
        for (int j = 1; j <= heptagonSize; ++j) {
            const HeptagonCell cell = heptagons_.cell(i, j);
            Circle& h = own_.circleCube.cell(i, j);
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
            Rect& r = own_.squareCube.cell(k, c);
            r.setFillColor(cell.fill);
            r.setPosition(cell.position);
            r.setSize(sf::Vector2f(25.0f, 25.0f));
        }
    }

    canvas.clear(clearColour(frame));
    drawCells(canvas, own_.squareCube, squareSize, "squareCube");
    drawCells(canvas, own_.circleCube, heptagonSize, "circleCube");
    canvas.display();
}

} // namespace tolva

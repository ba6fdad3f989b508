#include "scenes/SwirlFieldScene.h"

namespace tolva {

using namespace swirl;

void SwirlFieldScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    own_.swirlPhase = advancePhase(own_.swirlPhase, state.frameSeconds());
    const float midFrameDelta = state.frameClock.restart().asSeconds();
    state.warpTime = state.warpTime + state.warpClock.getElapsedTime().asSeconds() * midFrameDelta;
    const Frame frame = frameOf(own_.swirlPhase, state.countdown[4]);

    heptagons_.beginFrame(frame);
    forCells(heptagonSize, [&](int i, int j) {
        const HeptagonCell cell = heptagons_.cell(i, j);
        Circle& h = own_.circleCube.cell(i, j);
        h.setFillColor(cell.fill);
        h.setPosition(cell.position);
        h.setRadius(cell.radius);
        h.setPointCount(7);
        h.setRotation(cell.rotation);
    });

    squares_.beginFrame(frame);
    forCells(squareSize, [&](int k, int c) {
        const SquareCell cell = squares_.cell(k, c);
        Rect& r = own_.squareCube.cell(k, c);
        r.setFillColor(cell.fill);
        r.setPosition(cell.position);
        r.setSize(sf::Vector2f(25.0f, 25.0f));
    });

    canvas.clear(clearColour(frame));
    drawCells(canvas, own_.squareCube, squareSize, "squareCube");
    drawCells(canvas, own_.circleCube, heptagonSize, "circleCube");
    canvas.display();
}

} // namespace tolva

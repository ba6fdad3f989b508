#include "scenes/SwirlFieldScene.h"

#include "scenes/Formula.h"

namespace tolva {

using namespace swirl;

namespace {

void apply(Circle& heptagon, const HeptagonCell& cell)
{
    heptagon.setFillColor(cell.fill);
    heptagon.setPosition(cell.position);
    heptagon.setRadius(cell.radius);
    heptagon.setPointCount(heptagonPoints);
    heptagon.setRotation(cell.rotation);
}

void apply(Rect& square, const SquareCell& cell)
{
    square.setFillColor(cell.fill);
    square.setPosition(cell.position);
    square.setSize(sf::Vector2f(squareSide, squareSide));
}

} // namespace

void SwirlFieldScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    own_.swirlPhase = advancePhase(own_.swirlPhase, state.frameSeconds());
    const float midFrameDelta = state.frameClock.restart().asSeconds();
    state.warpTime = state.warpTime + state.warpClock.getElapsedTime().asSeconds() * midFrameDelta;
    const Frame frame = frameOf(own_.swirlPhase, state.countdown[4]);

    heptagons_.beginFrame(frame);
    forCells(heptagonSize, [&](int i, int j) { apply(own_.circleCube.cell(i, j), heptagons_.cell(i, j)); });

    squares_.beginFrame(frame);
    forCells(squareSize, [&](int k, int c) { apply(own_.squareCube.cell(k, c), squares_.cell(k, c)); });

    canvas.clear(clearColour(frame));
    drawCells(canvas, own_.squareCube, squareSize, "squareCube");
    drawCells(canvas, own_.circleCube, heptagonSize, "circleCube");
    canvas.display();
}

} // namespace tolva

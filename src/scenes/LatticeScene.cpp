#include "scenes/LatticeScene.h"

#include "scenes/LatticeFormulas.h"

namespace tolva {

using namespace lattice;

namespace {

void apply(Rect& square, const SquareCell& cell)
{
    square.setFillColor(cell.fill);
    square.setPosition(cell.position);
    square.setSize(sf::Vector2f(squareSide, squareSide));
    square.setRotation(cell.rotation);
}

} // namespace

void LatticeScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    const float countdown = state.countdown[6];
    own_.latticeTime =
        advanceLatticeTime(own_.latticeTime, state.frameSeconds(), countdown);
    state.frameClock.restart();
    own_.personTwoSprite.setScale(1.5f, 1.5f);
    squares_.beginFrame(own_.latticeTime);
    forCells(latticeCells, [&](int a, int k) { apply(own_.squareLattice.cell(a, k), squares_.cell(a, k)); });

    canvas.clear(shared_.clearBrown);
    // The picture and the line go first, so the squares pass over them.
    if (showsPicture(countdown)) {
        canvas.draw(own_.personTwoSprite, {"personTwoSprite"});
    }
    if (showsText(countdown)) {
        canvas.draw(own_.trafficText, {"trafficText"});
    }
    // Element [a][k][1] of each cell keeps size 0 and shows nothing: only [a][k][2] is drawn.
    drawCells(canvas, own_.squareLattice, latticeCells, "squareLattice");
    canvas.display();
}

} // namespace tolva

#include "scenes/LatticeScene.h"

#include "scenes/LatticeFormulas.h"

namespace tolva {

using namespace lattice;

void LatticeScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    const float countdown = state.countdown[6];
    own_.latticeTime =
        advanceLatticeTime(own_.latticeTime, state.frameSeconds(), countdown);
    state.frameClock.restart();
    own_.personTwoSprite.setScale(1.5f, 1.5f);
    lattice_.update(own_.latticeTime);

    canvas.clear(shared_.clearBrown);
    // The picture and the line go first, so the squares pass over them.
    if (showsPicture(countdown)) {
        canvas.draw(own_.personTwoSprite, {"personTwoSprite"});
    }
    if (showsText(countdown)) {
        canvas.draw(own_.trafficText, {"trafficText"});
    }
    // Element [a][k][1] of each cell keeps size 0 and shows nothing: only [a][k][2] is drawn.
    drawCells(canvas, lattice_.cells, LatticeTerms::last, "squareLattice");
    canvas.display();
}

} // namespace tolva

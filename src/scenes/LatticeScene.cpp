#include "scenes/LatticeScene.h"

#include "show/ShowObjects.h"
#include "scenes/LatticeFormulas.h"

namespace tolva {

void LatticeScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    const float countdown = state.countdown[6];
    show_.latticeTime =
        lattice::advanceLatticeTime(show_.latticeTime, state.frameSeconds(), countdown);
    state.frameClock.restart();
    show_.personTwoSprite.setScale(1.5f, 1.5f);
    SquareLattice& lattice = lattice_;
    lattice.update(show_.latticeTime);

    canvas.clear(show_.clearBrown);
    // The picture and the line go first, so the squares pass over them.
    if (lattice::showsPicture(countdown)) {
        canvas.draw(show_.personTwoSprite, {"personTwoSprite"});
    }
    if (lattice::showsText(countdown)) {
        canvas.draw(show_.trafficText, {"trafficText"});
    }
    // Element [a][k][1] of each cell keeps size 0 and shows nothing: only [a][k][2] is drawn.
    for (int a = 1; a <= SquareLattice::last; ++a) {
        for (int k = 1; k <= SquareLattice::last; ++k) {
            canvas.draw(lattice.cells.at(static_cast<std::size_t>(a), static_cast<std::size_t>(k)),
                        {"squareLattice", a, k});
        }
    }
    canvas.display();
}

} // namespace tolva

#include "scenes/LatticeScene.h"

#include "driver/ShowObjects.h"

namespace tolva {

void LatticeScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, 6);
    state.frameClock.restart();
    canvas.clear(show_.clearBrown);
    canvas.display();
}

} // namespace tolva

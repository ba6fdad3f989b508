#include "scenes/VortexScene.h"

#include "driver/ShowObjects.h"

namespace tolva {

void VortexScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, 7);
    state.frameClock.restart();
    canvas.clear(sf::Color(0, 0, 0, 255));
    canvas.display();
}

} // namespace tolva

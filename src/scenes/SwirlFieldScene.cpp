#include "scenes/SwirlFieldScene.h"

#include "driver/ShowObjects.h"

namespace tolva {

void SwirlFieldScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, 4);
    state.frameClock.restart();
    canvas.clear(sf::Color(0, 0, 0, 255));
    canvas.display();
}

} // namespace tolva

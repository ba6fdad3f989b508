#include "scenes/PolygonGridsScene.h"

#include "driver/ShowObjects.h"

namespace tolva {

void PolygonGridsScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, 5);
    state.frameClock.restart();
    canvas.clear(sf::Color(0, 0, 0, 255));
    canvas.display();
}

} // namespace tolva

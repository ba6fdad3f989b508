#include "scenes/GreetingsScrollerScene.h"

#include "driver/ShowObjects.h"

namespace tolva {

void GreetingsScrollerScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, 3);
    state.frameClock.restart();
    if (state.scene3Pending) {
        show_.scrollerClock.restart();
        deck.stop(SoundId::voiceFour);
        state.scene3Pending = false;
    }
    canvas.clear(sf::Color(0, 0, 0, 255));
    canvas.display();
}

} // namespace tolva

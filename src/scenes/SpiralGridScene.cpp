#include "scenes/SpiralGridScene.h"

#include "driver/ShowObjects.h"

namespace tolva {

void SpiralGridScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, 1);
    if (state.scene1Pending) {
        deck.play(SoundId::voiceTwo);
        state.scene1Pending = false;
    }
    canvas.clear(sf::Color(0, 0, 0, 255));
    if (state.sceneTime > 21.0f && state.sceneTime < 29.0f && !state.voiceOneOn) {
        deck.stop(SoundId::voiceTwo);
        deck.play(SoundId::voiceOne);
        state.voiceOneOn = true;
    }
    if (state.sceneTime > 29.0f && state.voiceOneOn) {
        state.voiceOneOn = false;
        deck.stop(SoundId::voiceOne);
        deck.play(SoundId::voiceThree);
    }
    canvas.display();
}

} // namespace tolva

#include "scenes/ColumnCascadeScene.h"

#include "driver/ShowObjects.h"

namespace tolva {

void ColumnCascadeScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    countDown(state, 2);
    if (state.scene2Pending) {
        deck.stop(SoundId::voiceThree);
        deck.play(SoundId::klezSound);
        state.scene2Pending = false;
        state.sceneTime = 0.0f;
    }
    state.frameClock.restart();
    canvas.clear(show_.clearBrown);
    canvas.display();
}

} // namespace tolva

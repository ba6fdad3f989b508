#include "scenes/ColumnCascadeScene.h"


namespace tolva {

using namespace cascade;

void ColumnCascadeScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    // Made anew each frame: its first reading covers everything since the frame step began.
    ShowClock cascadeClock(*state.time);
    if (state.scene2Pending) {
        deck.stop(SoundId::voiceThree);
        deck.play(SoundId::klezSound);
        state.scene2Pending = false;
        state.sceneTime = 0.0f;
    }
    own_.columnTime = own_.columnTime + 10.0f * state.frameSeconds();
    state.frameClock.restart();

    terms_.columns(own_.columnTime, shared_.circleGrid);
    terms_.cascade(cascadeClock, own_.cascadeTime, state.countdown[2], own_.squareGrid);

    canvas.clear(shared_.clearBrown);
    drawCells(canvas, shared_.circleGrid, columnCells, "circleGrid");
    // Element [1] of each square cell keeps size 0 and shows nothing, so it is not drawn.
    drawCells(canvas, own_.squareGrid, cascadeCells, "squareGrid");
    const float sceneTime = state.sceneTime;
    if (sceneTime > 7.0f) {
        canvas.draw(own_.personOneSprite, {"personOneSprite"});
    }
    if (sceneTime > 12.0f && sceneTime < 19.0f) {
        canvas.draw(own_.wanderText, {"wanderText"});
    }
    if (sceneTime > 26.0f && sceneTime < 33.0f) {
        // The line keeps its new words and size after the scene.
        own_.wanderText.setScale(1.5f, 1.5f);
        own_.wanderText.setString("Looks like Listenbourg.");
        canvas.draw(own_.wanderText, {"wanderText"});
    }
    canvas.display();
}

} // namespace tolva

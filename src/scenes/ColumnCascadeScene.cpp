#include "scenes/ColumnCascadeScene.h"

#include "show/ShowObjects.h"

namespace tolva {

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
    show_.columnTime = show_.columnTime + 10.0f * state.frameSeconds();
    state.frameClock.restart();

    terms_.columns(show_.columnTime, show_.circleGrid);
    terms_.cascade(cascadeClock, show_.cascadeTime, state.countdown[2], show_.squareGrid);

    canvas.clear(show_.clearBrown);
    const auto at = [](int n) { return static_cast<std::size_t>(n); };
    for (int i = 1; i <= columnCells; ++i) {
        for (int j = 1; j <= columnCells; ++j) {
            canvas.draw(show_.circleGrid.at(at(i), at(j)), {"circleGrid", i, j});
        }
    }
    // Element [1] of each square cell keeps size 0 and shows nothing, so it is not drawn.
    for (int a = 1; a <= cascadeCells; ++a) {
        for (int b = 1; b <= cascadeCells; ++b) {
            canvas.draw(show_.squareGrid.at(at(a), at(b)), {"squareGrid", a, b});
        }
    }
    const float sceneTime = state.sceneTime;
    if (sceneTime > 7.0f) {
        canvas.draw(show_.personOneSprite, {"personOneSprite"});
    }
    if (sceneTime > 12.0f && sceneTime < 19.0f) {
        canvas.draw(show_.wanderText, {"wanderText"});
    }
    if (sceneTime > 26.0f && sceneTime < 33.0f) {
        // The line keeps its new words and size after the scene.
        show_.wanderText.setScale(1.5f, 1.5f);
        show_.wanderText.setString("Looks like Listenbourg.");
        canvas.draw(show_.wanderText, {"wanderText"});
    }
    canvas.display();
}

} // namespace tolva

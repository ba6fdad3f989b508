#include "scenes/ColumnCascadeScene.h"

namespace tolva {

using namespace cascade;

namespace {

void apply(Circle& circle, const ColumnCell& cell)
{
    circle.setFillColor(cell.fill);
    circle.setPosition(cell.position);
    circle.setRadius(cell.radius);
    circle.setPointCount(columnPoints);
    if (!sameBits(circle.getRotation(), columnRotation)) {  // SFML would store it again
        circle.setRotation(columnRotation);
    }
}

// A square that stays where it was keeps SFML's cached transform.
void apply(Rect& square, const CascadeCell& cell)
{
    square.setFillColor(cell.fill);
    square.setSize(sf::Vector2f(squareSide, squareSide));
    const sf::Vector2f now = square.getPosition();
    if (!sameBits(now.x, cell.position.x) || !sameBits(now.y, cell.position.y)) {
        square.setPosition(cell.position);
    }
}

} // namespace

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

    columns_.beginFrame(own_.columnTime);
    forCells(columnCells, [&](int i, int j) { apply(shared_.circleGrid.cell(i, j), columns_.cell(i, j)); });

    // Each square reads and restarts the clock before its update: cascadeTime grows square by
    // square with the time the updates take.
    cascade_.beginFrame(state.countdown[2]);
    forCells(cascadeCells, [&](int a, int b) {
        own_.cascadeTime = own_.cascadeTime + 10.0f * cascadeClock.getElapsedTime().asSeconds();
        cascadeClock.restart();
        apply(own_.squareGrid.cell(a, b), cascade_.cell(a, b, own_.cascadeTime));
    });

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

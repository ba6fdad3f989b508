#include "scenes/SpiralGridScene.h"

namespace tolva {

using namespace spiral;

namespace {

void apply(Circle& circle, const SpiralCell& cell)
{
    circle.setFillColor(cell.fill);
    circle.setPosition(cell.position);
    circle.setRadius(cell.radius);
    circle.setPointCount(cell.points);
    circle.setRotation(cell.rotation);
}

} // namespace

void SpiralGridScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    if (state.scene1Pending) {
        deck.play(SoundId::voiceTwo);
        state.scene1Pending = false;
    }
    terms_.beginFrame(state.warpTime);
    forCells(spiralCells, [&](int i, int j) { apply(shared_.circleGrid.cell(i, j), terms_.cell(i, j)); });

    const TitleTransform title = titleTransform(state.sceneTime);
    own_.titleSprite.setScale(title.scale);
    own_.titleSprite.setRotation(title.rotation);
    own_.titleSprite.setPosition(title.position);

    if (!state.voiceOneOn) {
        layOutCredits(state.warpTime);
    }

    canvas.clear(sf::Color(0, 0, 0, 255));
    drawCells(canvas, shared_.circleGrid, spiralCells, "circleGrid");
    // Strict on both sides: at exactly 21 or 29 neither the title nor the letters show.
    if (state.sceneTime > 21.0f && state.sceneTime < 29.0f) {
        if (!state.voiceOneOn) {
            deck.stop(SoundId::voiceTwo);
            deck.play(SoundId::voiceOne);
            state.voiceOneOn = true;
        }
        canvas.draw(own_.titleSprite, {"titleSprite"});
    }
    if (state.sceneTime > 29.0f && state.voiceOneOn) {
        state.voiceOneOn = false;
        deck.stop(SoundId::voiceOne);
        deck.play(SoundId::voiceThree);
    }
    if (!state.voiceOneOn && state.sceneTime < 21.0f) {
        for (int k = 0; k < creditLetterCount; ++k) {
            canvas.draw(own_.creditLetters[static_cast<std::size_t>(k)], {"creditLetters", k});
        }
    }
    canvas.display();
}

void SpiralGridScene::layOutCredits(float warpTime)
{
    for (int k = 0; k < creditLetterCount; ++k) {
        sf::Text& letter = own_.creditLetters[static_cast<std::size_t>(k)];
        const LetterPlace place = creditLetterPlace(k, warpTime);
        letter.setOutlineThickness(creditOutline);
        letter.setPosition(place.position);
        letter.setFillColor(own_.creditBrown);
        letter.setRotation(place.rotation);
    }
}

} // namespace tolva

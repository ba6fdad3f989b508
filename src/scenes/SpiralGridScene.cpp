#include "scenes/SpiralGridScene.h"

namespace tolva {

using namespace spiral;

void SpiralGridScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    if (state.scene1Pending) {
        deck.play(SoundId::voiceTwo);
        state.scene1Pending = false;
    }
    updateCells(state.warpTime);

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

// The radius and the shade's spiral depend on the cell alone and come from the tables; the time
// term, the point count and the angle are the same for every cell of a frame.
void SpiralGridScene::updateCells(float warpTime)
{
    const float timeTerm = spiralTimeTerm(warpTime);
    const std::size_t points = spiralPointCount(warpTime);
    const float rotation = spiralRotation(warpTime);
    forCells(spiralCells, [&](int i, int j) {
        Circle& circle = shared_.circleGrid.cell(i, j);
        const float s = terms_.shadeBase(i, j) + timeTerm;
        circle.setFillColor(spiralFill(s));
        circle.setPosition(13.0f * asFloat(i) + 350.0f, 13.0f * asFloat(j));
        circle.setRadius(terms_.radius(i, j));
        circle.setPointCount(points);
        circle.setRotation(rotation);
    });
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

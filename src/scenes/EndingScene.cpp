#include "scenes/EndingScene.h"


namespace tolva {

void EndingScene::step(ShowState& state, Canvas& canvas, SoundDeck& deck)
{
    if (state.scene8Pending) {
        deck.play(SoundId::endSound);
        own_.endClock.restart();
        state.scene8Pending = false;
    }
    const sf::Time endElapsed = own_.endClock.getElapsedTime();
    state.frameClock.restart();
    const float c8 = state.countdown[8];
    const float y = endElapsed.asSeconds() * 100 + 50;

    canvas.clear(sf::Color(0, 0, 0, 255));
    sf::Sprite& frogs = own_.frogsSprite;
    frogs.setScale(0.75f, 0.75f);
    if (c8 >= 15.5f) {
        frogs.setPosition(0, -y);  // rising; from here on it stays where it stopped
    }
    sf::Text& dream = own_.dreamText;
    if (c8 >= 12.0f && c8 <= 15.5f) {
        dream.setFillColor(sf::Color(234, 90, 93, 255));
        dream.setCharacterSize(43);
        dream.setPosition(900, 650);
        dream.setOutlineThickness(7.5f);
        dream.setOutlineColor(sf::Color(103, 13, 13, 255));
        dream.setString("What a dream I had...");
    }
    if (c8 >= 6.0f && c8 <= 11.0f) {
        dream.setPosition(405, 200);
        dream.setString("The spring has warmed the pool though. Come swim.");
    }
    canvas.draw(frogs, {"frogsSprite"});
    if (c8 > 12.0f && c8 < 15.5f) {
        canvas.draw(dream, {"dreamText"});
    }
    if (c8 > 6.0f && c8 < 11.0f) {
        canvas.draw(dream, {"dreamText"});
    }
    canvas.display();
    if (c8 <= timing::endCountdown) {
        canvas.close();
    }
}

} // namespace tolva

#pragma once

#include "show/ShowState.h"
#include "render/Shapes.h"
#include "sound/SoundDeck.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <string>
#include <vector>

namespace tolva {

// The greetings line that scrolls through scene 3.
extern const char* const greetingsLine;

// Everything the show creates before its first frame, declared in the order it is created, and
// so destroyed in the reverse order. The constructor runs the start-up sequence in that order.
// Texts keep pointers to their fonts and sprites to their textures, so this never moves.
class ShowObjects {
public:
    ShowObjects(ShowState& state, SoundDeck& deck);
    ShowObjects(const ShowObjects&) = delete;
    ShowObjects& operator=(const ShowObjects&) = delete;

    // Credit letters and the first font.
    std::vector<sf::Text> creditLetters;
    sf::Font nootFont;
    // The title picture.
    sf::Texture titleTexture;
    sf::Sprite titleSprite;
    // The first three voices (on the deck); scene 2's column clock.
    float columnTime = 0.0f;
    // The first character.
    sf::Texture personOneTexture;
    sf::Sprite personOneSprite;
    // The wandering line and the playful font.
    sf::Text wanderText;
    sf::Font toxFont;
    // Two colours.
    sf::Color scrollerColour;
    sf::Color clearBrown;
    // Scene 1's circles, also used by scenes 2 and 7.
    CircleGrid circleGrid{95, 95};
    sf::Color creditBrown;
    // Scene 2's squares.
    SquareGrid squareGrid{125, 125};
    float cascadeTime = 0.0f;
    // Scene 3's field, shader and texts.
    CircleGrid scrollerGrid{75, 75};
    sf::Shader scrollerShader;
    sf::Text greetingsText;
    sf::Font greetingsFont;
    std::vector<sf::Text> welcomeLetters;
    // Scene 3's phase and clock.
    float scrollPhase = 0.0f;
    ShowClock scrollerClock;
    // Scene 4's shapes and phase; scene 7's clock.
    CircleGrid circleCube{111, 111};
    float swirlPhase = 0.0f;
    float vortexTime = 0.0f;
    SquareGrid squareCube{125, 125};
    // Scene 6's clock, character and line.
    float latticeTime = 0.0f;
    sf::Texture personTwoTexture;
    sf::Sprite personTwoSprite;
    sf::Text trafficText;
    // Scene 5's grids, clocks and fuse.
    CircleGrid decagonGrid{95, 95};
    float gridTime = 0.0f;
    ShowClock fuseClock;
    CircleGrid pentagonGrid{95, 95};
    CircleGrid heptagonGrid{95, 95};
    float colourFuse = 100.0f;
    // Scene 7's field.
    CircleGrid fieldGrid{120, 120};
    // Scene 8's picture, clock and closing line.
    sf::Texture frogsTexture;
    sf::Sprite frogsSprite;
    ShowClock endClock;
    sf::Text dreamText;
    sf::Font brevinFont;
};

} // namespace tolva

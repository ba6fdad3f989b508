#pragma once

#include "driver/ShowState.h"
#include "render/Shapes.h"
#include "scenes/SquareLattice.h"
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
// so destroyed in the reverse order. The constructor runs the start-up sequence step by step.
// Texts keep pointers to their fonts and sprites to their textures, so this never moves.
class ShowObjects {
public:
    ShowObjects(ShowState& state, SoundDeck& deck);
    ShowObjects(const ShowObjects&) = delete;
    ShowObjects& operator=(const ShowObjects&) = delete;

    // 3. Credit letters and the first font.
    std::vector<sf::Text> creditLetters;
    sf::Font nootFont;
    // 4. The title picture.
    sf::Texture titleTexture;
    sf::Sprite titleSprite;
    // 5. The first three voices (on the deck); scene 2's column clock.
    float columnTime = 0.0f;
    // 6. The first character.
    sf::Texture personOneTexture;
    sf::Sprite personOneSprite;
    // 7. The wandering line and the playful font.
    sf::Text wanderText;
    sf::Font toxFont;
    // 8. The fourth voice lends three samples to wanderText's colour.
    // 9. Two colours.
    sf::Color scrollerColour;
    sf::Color clearBrown;
    // 10. Scene 1's circles, also used by scenes 2 and 7.
    CircleGrid circleGrid{95, 95};
    sf::Color creditBrown;
    // 11. Scene 2's squares.
    SquareGrid squareGrid{125, 125};
    float cascadeTime = 0.0f;
    // 12.-15. Scene 3's field, shader and texts.
    CircleGrid scrollerGrid{75, 75};
    sf::Shader scrollerShader;
    sf::Text greetingsText;
    sf::Font greetingsFont;
    std::vector<sf::Text> welcomeLetters;
    // 16. The two sound files (on the deck).
    // 17. Scene 3's phase and clock.
    float scrollPhase = 0.0f;
    ShowClock scrollerClock;
    // 18. Scene 4's shapes and phase; scene 7's clock.
    CircleGrid circleCube{111, 111};
    float swirlPhase = 0.0f;
    float vortexTime = 0.0f;
    SquareGrid squareCube{125, 125};
    // 19.-21. Scene 6's lattice, character and line.
    SquareLattice squareLattice{50.0f, 50.0f};
    float latticeTime = 0.0f;
    sf::Texture personTwoTexture;
    sf::Sprite personTwoSprite;
    sf::Text trafficText;
    // 22. Scene 5's grids, clocks and fuse.
    CircleGrid decagonGrid{95, 95};
    float gridTime = 0.0f;
    ShowClock fuseClock;
    CircleGrid pentagonGrid{95, 95};
    CircleGrid heptagonGrid{95, 95};
    float colourFuse = 100.0f;
    // 23. Scene 7's field.
    CircleGrid fieldGrid{120, 120};
    // 24.-26. Scene 8's picture, clock and closing line.
    sf::Texture frogsTexture;
    sf::Sprite frogsSprite;
    ShowClock endClock;
    sf::Text dreamText;
    sf::Font brevinFont;
};

} // namespace tolva

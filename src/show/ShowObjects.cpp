#include "show/ShowObjects.h"

#include "sound/Voices.h"

#include <SFML/Graphics/Rect.hpp>

#include <array>
#include <cstring>

namespace tolva {

const char* const greetingsLine =
    "...Greetings to Lumen Fold, Quasar Kin, Brass Otter, Nullpointer, Pixel Dust, Moth Choir, "
    "Kettles, Saltmarsh, Vox Rex, Ferrofolk & You!";

namespace {

// Loads are never checked: a missing file leaves its object empty and the show goes on.
void loadTexture(sf::Texture& texture, const char* path)
{
    texture.loadFromFile(path, sf::IntRect(0, 0, 0, 0));
}

std::vector<sf::Text> lettersOf(const std::vector<std::string>& letters, const sf::Font& font,
                                unsigned characterSize)
{
    std::vector<sf::Text> texts(letters.size());
    for (std::size_t k = 0; k < letters.size(); ++k) {
        texts[k].setFont(font);
        texts[k].setCharacterSize(characterSize);
        texts[k].setString(letters[k]);
    }
    return texts;
}

} // namespace

ShowObjects::ShowObjects(ShowState& state, SoundDeck& deck)
    : scrollerClock(*state.time), fuseClock(*state.time), endClock(*state.time)
{
    // Credit letters: the three names, one letter a text.
    const std::vector<std::string> credits = {"V", "e", "r", "r", "o", "l", "i", "n", "t", "h",
                                              "a", "x", "C", "o", "b", "b", "l", "e", "t", "a",
                                              "n", "D", "u", "r", "m", "i", "n", "o"};
    nootFont.loadFromFile("fonts/Noot.ttf");
    creditLetters = lettersOf(credits, nootFont, 90);

    // Title picture.
    loadTexture(titleTexture, "graphics/demoname.png");
    titleSprite.setTexture(titleTexture);

    // The first three voices.
    synthesizeFirstThree(deck);
    state.voiceOneOn = false;
    columnTime = 0.0f;

    // First character.
    loadTexture(personOneTexture, "graphics/personOne1.png");
    personOneSprite.setTexture(personOneTexture);
    personOneSprite.setPosition(550, 799);
    personOneSprite.setScale(1.5f, 1.5f);

    // Wandering line.
    toxFont.loadFromFile("fonts/tox.ttf");
    wanderText.setFont(toxFont);
    wanderText.setString("I am not sure where I am...");

    // The fourth voice, whose first samples colour the wandering line.
    const SampleArray four = synthesizeFourth(deck);
    wanderText.setFillColor(wanderColour(four));
    wanderText.setCharacterSize(30);
    wanderText.setPosition(530, 760);
    createVoiceFour(deck);

    // Colours.
    scrollerColour = sf::Color(101, 71, 25, 255);
    clearBrown = sf::Color(39, 17, 11, 255);

    // circleGrid is built as its members are (radius 0, 30 points); creditBrown.
    creditBrown = sf::Color(124, 79, 33, 255);

    // squareGrid likewise; cascadeTime.
    cascadeTime = 0.0f;

    // Scene 3's field, at its starting places.
    for (std::size_t i = 1; i <= 74; ++i) {
        for (std::size_t j = 1; j <= 74; ++j) {
            Circle& circle = scrollerGrid.at(i, j);
            circle.setFillColor(scrollerColour);
            circle.setPosition(static_cast<float>(35 * i + 77), static_cast<float>(35 * j + 35));
        }
    }

    // The shader pair.
    scrollerShader.loadFromFile("shaders/theSingularVertexC.vs", "shaders/ScrollerShaderE.frag");

    // The greetings line, on a second font object of its own.
    greetingsFont.loadFromFile("fonts/Noot.ttf");
    greetingsText.setFont(greetingsFont);
    greetingsText.setCharacterSize(51);
    greetingsText.setString(greetingsLine);

    // Welcome letters, on the first font.
    welcomeLetters = lettersOf({"W", "e", "l", "c", "o", "m", "e"}, nootFont, 150);

    // The two sound files.
    loadSoundFiles(deck);

    // Scene 3's phase and clock.
    scrollPhase = 0.0f;
    scrollerClock.restart();

    // circleCube and squareCube are built as their members are; the phases.
    swirlPhase = 0.0f;
    vortexTime = 0.0f;

    // Scene 6's clock (its lattice belongs to the scene).
    latticeTime = 0.0f;

    // Second character.
    loadTexture(personTwoTexture, "graphics/personTwo2.png");
    personTwoSprite.setTexture(personTwoTexture);
    personTwoSprite.setPosition(1630, 235);

    // The traffic line.
    trafficText.setFont(toxFont);
    trafficText.setString("Traffics away, Worlds away...");
    trafficText.setCharacterSize(30);
    trafficText.setFillColor(sf::Color::Yellow);
    trafficText.setPosition(1330, 217);

    // Scene 5: the fuse clock starts after the decagons are built, the fuse after all three.
    gridTime = 0.0f;
    fuseClock.restart();
    colourFuse = 100.0f;

    // The frogs.
    loadTexture(frogsTexture, "graphics/PirtasFrogs.png");
    frogsSprite.setTexture(frogsTexture);
    frogsSprite.setPosition(1, 1);

    // Scene 8's clock and flag.
    endClock.restart();
    state.scene8Pending = true;

    // The closing line.
    brevinFont.loadFromFile("fonts/brevin.ttf");
    dreamText.setFont(brevinFont);
    dreamText.setString("What a dream I had...");
}

} // namespace tolva

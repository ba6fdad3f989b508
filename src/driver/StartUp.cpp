#include "driver/StartUp.h"

#include "sound/Voices.h"

#include <SFML/Graphics/Rect.hpp>

#include <string>
#include <vector>

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

// The steps are split where the sequence moves on to another scene's things; each keeps the
// order within it, and startUp runs them in turn.

// Scene 1's letters and title, the first three voices, scene 2's character and wandering line.
void upToTheWanderingLine(ShowState& state, SoundDeck& deck, Assets& assets, SceneStates& scenes)
{
    const std::vector<std::string> credits = {"V", "e", "r", "r", "o", "l", "i", "n", "t", "h",
                                              "a", "x", "C", "o", "b", "b", "l", "e", "t", "a",
                                              "n", "D", "u", "r", "m", "i", "n", "o"};
    assets.nootFont.loadFromFile("fonts/Noot.ttf");
    scenes.spiralGrid.creditLetters = lettersOf(credits, assets.nootFont, 90);

    loadTexture(assets.titleTexture, "graphics/demoname.png");
    scenes.spiralGrid.titleSprite.setTexture(assets.titleTexture);

    synthesizeFirstThree(deck);
    state.voiceOneOn = false;
    ColumnCascadeState& columns = scenes.columnCascade;
    columns.columnTime = 0.0f;

    loadTexture(assets.personOneTexture, "graphics/personOne1.png");
    columns.personOneSprite.setTexture(assets.personOneTexture);
    columns.personOneSprite.setPosition(550, 799);
    columns.personOneSprite.setScale(1.5f, 1.5f);

    assets.toxFont.loadFromFile("fonts/tox.ttf");
    columns.wanderText.setFont(assets.toxFont);
    columns.wanderText.setString("I am not sure where I am...");

    // The fourth voice, whose first samples colour the wandering line.
    const SampleArray four = synthesizeFourth(deck);
    columns.wanderText.setFillColor(wanderColour(four));
    columns.wanderText.setCharacterSize(30);
    columns.wanderText.setPosition(530, 760);
    createVoiceFour(deck);
}

// The browns, the grids of scenes 1 to 3 (built as their structs are), scene 3's texts.
void upToTheWelcomeLetters(Assets& assets, SceneStates& scenes)
{
    const sf::Color scrollerColour(101, 71, 25, 255);  // scene 3's field before its first frame
    scenes.shared.clearBrown = sf::Color(39, 17, 11, 255);
    scenes.spiralGrid.creditBrown = sf::Color(124, 79, 33, 255);
    scenes.columnCascade.cascadeTime = 0.0f;

    GreetingsScrollerState& greetings = scenes.greetingsScroller;
    forCells(greetings::fieldSize, [&](int i, int j) {
        Circle& circle = greetings.scrollerGrid.cell(i, j);
        circle.setFillColor(scrollerColour);
        circle.setPosition(static_cast<float>(35 * i + 77), static_cast<float>(35 * j + 35));
    });

    assets.scrollerShader.loadFromFile("shaders/theSingularVertexC.vs", "shaders/ScrollerShaderE.frag");

    // The greetings line, on a second font object of its own.
    assets.greetingsFont.loadFromFile("fonts/Noot.ttf");
    greetings.greetingsText.setFont(assets.greetingsFont);
    greetings.greetingsText.setCharacterSize(51);
    greetings.greetingsText.setString(greetingsLine);

    // The welcome letters, on the first font.
    greetings.welcomeLetters = lettersOf({"W", "e", "l", "c", "o", "m", "e"}, assets.nootFont, 150);
}

// The sound files, the clocks and values of scenes 3, 4, 6 and 7, scene 6's character and line.
void upToTheTrafficLine(SoundDeck& deck, Assets& assets, SceneStates& scenes)
{
    loadSoundFiles(deck);

    scenes.greetingsScroller.scrollPhase = 0.0f;
    scenes.greetingsScroller.scrollerClock.restart();

    scenes.swirlField.swirlPhase = 0.0f;
    scenes.vortex.vortexTime = 0.0f;

    LatticeState& lattice = scenes.lattice;
    lattice.latticeTime = 0.0f;
    // The resting lattice, replaced by the first update before anything is drawn.
    forCells(lattice::latticeCells, [&](int a, int k) {
        Rect& square = lattice.squareLattice.cell(a, k);
        square.setFillColor(sf::Color(101, 71, 25, 255));
        square.setPosition(static_cast<float>(130 + 30 * (a - 1)), static_cast<float>(130 + 30 * (k - 1)));
        square.setSize({25.0f, 25.0f});
    });
    loadTexture(assets.personTwoTexture, "graphics/personTwo2.png");
    lattice.personTwoSprite.setTexture(assets.personTwoTexture);
    lattice.personTwoSprite.setPosition(1630, 235);

    lattice.trafficText.setFont(assets.toxFont);
    lattice.trafficText.setString("Traffics away, Worlds away...");
    lattice.trafficText.setCharacterSize(30);
    lattice.trafficText.setFillColor(sf::Color::Yellow);
    lattice.trafficText.setPosition(1330, 217);
}

// Scene 5's clock and fuse, scene 8's picture, clock and closing line.
void upToTheEnd(ShowState& state, Assets& assets, SceneStates& scenes)
{
    // The fuse clock starts after the decagons are built, the fuse after all three grids.
    scenes.shared.gridTime = 0.0f;
    scenes.polygonGrids.fuseClock.restart();
    scenes.polygonGrids.colourFuse = 100.0f;

    EndingState& ending = scenes.ending;
    loadTexture(assets.frogsTexture, "graphics/PirtasFrogs.png");
    ending.frogsSprite.setTexture(assets.frogsTexture);
    ending.frogsSprite.setPosition(1, 1);

    ending.endClock.restart();
    state.scene8Pending = true;

    assets.brevinFont.loadFromFile("fonts/brevin.ttf");
    ending.dreamText.setFont(assets.brevinFont);
    ending.dreamText.setString("What a dream I had...");
}

} // namespace

void startUp(ShowState& state, SoundDeck& deck, Assets& assets, SceneStates& scenes)
{
    upToTheWanderingLine(state, deck, assets, scenes);
    upToTheWelcomeLetters(assets, scenes);
    upToTheTrafficLine(deck, assets, scenes);
    upToTheEnd(state, assets, scenes);
}

} // namespace tolva

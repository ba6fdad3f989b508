#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace tolva {

// What the show loads from its files, in the order it loads them. Nothing here changes after the
// start-up, so the preview's checkpoints leave it out. Texts keep pointers to these fonts and
// sprites to these textures, so this never moves.
struct Assets {
    Assets() = default;
    Assets(const Assets&) = delete;
    Assets& operator=(const Assets&) = delete;

    sf::Font nootFont;           // the credit and welcome letters
    sf::Texture titleTexture;
    sf::Texture personOneTexture;
    sf::Font toxFont;            // the wandering line and the traffic line
    sf::Shader scrollerShader;
    sf::Font greetingsFont;      // the same file as nootFont, a font object of its own
    sf::Texture personTwoTexture;
    sf::Texture frogsTexture;
    sf::Font brevinFont;         // the closing line
};

} // namespace tolva

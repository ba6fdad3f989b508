#pragma once

#include <SFML/Graphics/Image.hpp>

#include <string>

namespace tolva::glyphs {

// Writes a glyph page as a PNG file. SFML's pages are white with the glyphs in the alpha channel,
// so such a page is written as grey and alpha at the strongest compression (a fifth or so of
// what SFML writes); any other picture as RGBA. False, with the reason on stderr, when it fails.
bool savePage(const sf::Image& page, const std::string& path);

} // namespace tolva::glyphs

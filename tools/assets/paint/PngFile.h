#pragma once

#include <SFML/Graphics/Image.hpp>

#include <string>

namespace tolva::paint {

// Writes a picture as PNG, stored for the show's loader (SFML's stb_image) to decode fast: RGB
// without alpha when every pixel is opaque, the Sub filter on every row and zlib at level 6. Then
// reads the file back through SFML and requires every pixel to come out as painted. False, with
// the reason on stderr, when the file cannot be written or does not read back the same.
bool writePng(const sf::Image& picture, const std::string& path);

} // namespace tolva::paint

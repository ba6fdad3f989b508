#pragma once

#include <SFML/Graphics/RenderTarget.hpp>

namespace tolva {

constexpr unsigned showWidth = 1920;
constexpr unsigned showHeight = 1080;

// Shows the 1920x1080 picture whole on a target of any size: scaled to fit, centred, with bars
// where the aspect ratio differs. On a 1920x1080 target the view stays SFML's default.
void fitShowView(sf::RenderTarget& target);

// Whether the target shows the picture in part of itself (so clears must leave bars black).
bool letterboxed(const sf::RenderTarget& target);

// Clears the picture to the colour, the bars beside a letterboxed one to black. Returns the draw
// calls it took (a clear is none).
unsigned clearPicture(sf::RenderTarget& target, sf::Color color);

} // namespace tolva

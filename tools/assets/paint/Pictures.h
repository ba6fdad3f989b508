#pragma once

// The show's four pictures, painted from code. Each call gives the same pixels
// on every run.

#include <SFML/Graphics/Image.hpp>

namespace tolva::paint {

sf::Image paintTitle();     // graphics/demoname.png: the "Tolva" pixel logo
sf::Image paintDreamer();   // graphics/personOne1.png: the dreamer in a nightcap
sf::Image paintTraveller(); // graphics/personTwo2.png: the frog met on the way
sf::Image paintPond();      // graphics/PirtasFrogs.png: frogs in a pool in spring

} // namespace tolva::paint

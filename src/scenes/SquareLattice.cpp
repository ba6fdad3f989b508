#include "scenes/SquareLattice.h"

namespace tolva {

SquareLattice::SquareLattice(float x, float y)
    : anchor(x, y), cells(static_cast<std::size_t>(size), static_cast<std::size_t>(size))
{
    anchorSquare.setSize({25.0f, 25.0f});
    anchorSquare.setPosition(anchor);
}

void SquareLattice::update(sf::Time, float) {}

} // namespace tolva

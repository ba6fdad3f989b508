#pragma once

#include "render/Shapes.h"
#include "show/ShowState.h"

#include <SFML/Graphics/Color.hpp>

namespace tolva {

// What more than one scene changes or reads: each user is named beside it. A scene may leave
// something here that a later scene sees.
struct SharedState {
    // Scene 1 lays out its spiral here, scene 2 its columns, scene 7 its vortex; each sets what it
    // draws, over what the one before left.
    CircleGrid circleGrid{95, 95};
    // The background of scenes 2 and 6.
    sf::Color clearBrown;
    // Scene 5's clock, which scene 7 carries on from where scene 5 left it.
    float gridTime = 0.0f;

    void name(NamedValues& values) { values.floats["gridTime"] = &gridTime; }
};

} // namespace tolva

#pragma once

#include "scenes/Scene.h"
#include "scenes/SharedState.h"
#include "scenes/SpiralGridFormulas.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <vector>

namespace tolva {

// What scene 1 changes from frame to frame (its circles are circleGrid, shared).
struct SpiralGridState {
    std::vector<sf::Text> creditLetters;  // the three names, one letter a text
    sf::Sprite titleSprite;
    sf::Color creditBrown;                // the letters' fill

    void name(NamedValues& /*values*/) {}
};

// Scene 1: spiral circle grid and credits.
class SpiralGridScene final : public SceneUnit {
public:
    SpiralGridScene(SpiralGridState& state, SharedState& shared) : own_(state), shared_(shared) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    void layOutCredits(float warpTime);

    SpiralGridState& own_;
    SharedState& shared_;
    spiral::SpiralTerms terms_;
};

} // namespace tolva

#pragma once

#include "scenes/Scene.h"
#include "scenes/SharedState.h"
#include "scenes/LatticeFormulas.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

namespace tolva {

// What scene 6 changes from frame to frame (its background is clearBrown, shared). Every frame
// makes each of the lattice's squares over from latticeTime alone.
struct LatticeState {
    float latticeTime = 0.0f;
    SquareGrid squareLattice{lattice::latticeCells + 1, lattice::latticeCells + 1};
    sf::Sprite personTwoSprite;
    sf::Text trafficText;

    void name(NamedValues& values) { values.floats["latticeTime"] = &latticeTime; }
};

// Scene 6: a lattice of turning squares on scene 2's brown, with the second character and the
// traffic line shown for a while underneath.
class LatticeScene final : public SceneUnit {
public:
    LatticeScene(LatticeState& state, SharedState& shared) : own_(state), shared_(shared) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    LatticeState& own_;
    SharedState& shared_;
    lattice::SquareTerms squares_;
};

} // namespace tolva

#pragma once

#include "scenes/Scene.h"
#include "scenes/SquareLattice.h"

namespace tolva {

class ShowObjects;

// Scene 6: a lattice of turning squares on scene 2's brown, with the second character and the
// traffic line shown for a stretch underneath.
class LatticeScene final : public SceneUnit {
public:
    explicit LatticeScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
    SquareLattice lattice_;
};

} // namespace tolva

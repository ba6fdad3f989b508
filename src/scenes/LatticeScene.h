#pragma once

#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 6: rotating square lattice.
class LatticeScene final : public SceneUnit {
public:
    explicit LatticeScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
};

} // namespace tolva

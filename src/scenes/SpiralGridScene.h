#pragma once

#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 1: spiral circle grid and credits.
class SpiralGridScene final : public SceneUnit {
public:
    explicit SpiralGridScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
};

} // namespace tolva

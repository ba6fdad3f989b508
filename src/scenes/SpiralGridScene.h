#pragma once

#include "scenes/Scene.h"
#include "scenes/SpiralGridFormulas.h"

namespace tolva {

class ShowObjects;

// Scene 1: spiral circle grid and credits.
class SpiralGridScene final : public SceneUnit {
public:
    explicit SpiralGridScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    void updateCells(float warpTime);
    void layOutCredits(float warpTime);

    ShowObjects& show_;
    SpiralGridTerms terms_;
};

} // namespace tolva

#pragma once

#include "scenes/Scene.h"
#include "scenes/SwirlFieldFormulas.h"

namespace tolva {

class ShowObjects;

// Scene 4: a field of squares in bands below rational curves, under a cloud of heptagons that
// swirls and spreads as the countdown passes through its phases.
class SwirlFieldScene final : public SceneUnit {
public:
    explicit SwirlFieldScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
    swirl::HeptagonTerms heptagons_;
    swirl::SquareTerms squares_;
};

} // namespace tolva

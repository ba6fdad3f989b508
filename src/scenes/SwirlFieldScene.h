#pragma once

#include "scenes/Scene.h"
#include "scenes/SwirlFieldFormulas.h"
#include "render/Shapes.h"

namespace tolva {

// What scene 4 changes from frame to frame.
struct SwirlFieldState {
    CircleGrid circleCube{swirl::heptagonSize + 1, swirl::heptagonSize + 1};
    float swirlPhase = 0.0f;
    SquareGrid squareCube{swirl::squareSize + 1, swirl::squareSize + 1};

    void name(NamedValues& values) { values.floats["swirlPhase"] = &swirlPhase; }
};

// Scene 4: a field of squares in bands below rational curves, under a cloud of heptagons that
// swirls and spreads as the countdown passes through its phases.
class SwirlFieldScene final : public SceneUnit {
public:
    explicit SwirlFieldScene(SwirlFieldState& state) : own_(state) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    SwirlFieldState& own_;
    swirl::HeptagonTerms heptagons_;
    swirl::SquareTerms squares_;
};

} // namespace tolva

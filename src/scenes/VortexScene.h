#pragma once

#include "scenes/Scene.h"
#include "scenes/SharedState.h"
#include "scenes/VortexFormulas.h"

namespace tolva {

// What scene 7 changes from frame to frame (its vortex is drawn on circleGrid, and it carries on
// scene 5's gridTime: both shared).
struct VortexState {
    float vortexTime = 0.0f;
    CircleGrid fieldGrid{vortex::fieldSide + 1, vortex::fieldSide + 1};

    void name(NamedValues& values) { values.floats["vortexTime"] = &vortexTime; }
};

// Scene 7: heptagon vortex and field. The vortex spins on circleGrid, widening as vortexTime
// grows; the field on fieldGrid shows once countdown7 is below 45 and bursts over the last 6.
class VortexScene final : public SceneUnit {
public:
    VortexScene(VortexState& state, SharedState& shared) : own_(state), shared_(shared) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    VortexState& own_;
    SharedState& shared_;
    vortex::VortexTerms vortex_;
    vortex::FieldTerms field_;
};

} // namespace tolva

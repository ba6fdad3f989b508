#pragma once

#include "scenes/Scene.h"
#include "scenes/VortexFormulas.h"

namespace tolva {

class ShowObjects;

// Scene 7: heptagon vortex and field. The vortex spins on circleGrid, widening as vortexTime
// grows; the field on fieldGrid shows once countdown7 is below 45 and bursts over the last 6.
class VortexScene final : public SceneUnit {
public:
    explicit VortexScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
    VortexTerms vortex_;
    FieldTerms field_;
};

} // namespace tolva

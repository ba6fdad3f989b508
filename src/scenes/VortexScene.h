#pragma once

#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 7: heptagon vortex and field.
class VortexScene final : public SceneUnit {
public:
    explicit VortexScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
};

} // namespace tolva

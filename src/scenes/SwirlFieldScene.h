#pragma once

#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 4: swirl field.
class SwirlFieldScene final : public SceneUnit {
public:
    explicit SwirlFieldScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
};

} // namespace tolva

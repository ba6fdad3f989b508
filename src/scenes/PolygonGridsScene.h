#pragma once

#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 5: polygon grids.
class PolygonGridsScene final : public SceneUnit {
public:
    explicit PolygonGridsScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
};

} // namespace tolva

#pragma once

#include "scenes/PolygonGridsTerms.h"
#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 5: three grids of small polygons (decagons, pentagons, heptagons) recomputed every frame
// from their row, their column and the scene clock gridTime.
class PolygonGridsScene final : public SceneUnit {
public:
    explicit PolygonGridsScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
    polygon::PolygonGridsTerms terms_;
};

} // namespace tolva

#pragma once

#include "scenes/PolygonGridsFormulas.h"
#include "scenes/Scene.h"
#include "scenes/SharedState.h"

namespace tolva {

// What scene 5 changes from frame to frame (its clock gridTime is shared with scene 7).
struct PolygonGridsState {
    explicit PolygonGridsState(TimeSource& time) : fuseClock(time) {}

    CircleGrid decagonGrid{polygon::cellsPerSide + 1, polygon::cellsPerSide + 1};
    ShowClock fuseClock;
    CircleGrid pentagonGrid{polygon::cellsPerSide + 1, polygon::cellsPerSide + 1};
    CircleGrid heptagonGrid{polygon::cellsPerSide + 1, polygon::cellsPerSide + 1};
    float colourFuse = 100.0f;

    void name(NamedValues& values)
    {
        values.floats["colourFuse"] = &colourFuse;
        values.clocks["fuseTick"] = &fuseClock;
    }
};

// Scene 5: three grids of small polygons (decagons, pentagons, heptagons) recomputed every frame
// from their row, their column and the scene clock gridTime.
class PolygonGridsScene final : public SceneUnit {
public:
    PolygonGridsScene(PolygonGridsState& state, SharedState& shared) : own_(state), shared_(shared) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    PolygonGridsState& own_;
    SharedState& shared_;
    polygon::DecagonTerms decagons_;
    polygon::PentagonTerms pentagons_;
    polygon::HeptagonTerms heptagons_;
};

} // namespace tolva

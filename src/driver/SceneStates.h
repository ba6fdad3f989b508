#pragma once

#include "scenes/ColumnCascadeScene.h"
#include "scenes/EndingScene.h"
#include "scenes/GreetingsScrollerScene.h"
#include "scenes/LatticeScene.h"
#include "scenes/PolygonGridsScene.h"
#include "scenes/SharedState.h"
#include "scenes/SpiralGridScene.h"
#include "scenes/SwirlFieldScene.h"
#include "scenes/VortexScene.h"

namespace tolva {

// Everything of the show that changes from frame to frame besides the timing state: each scene's
// own state, declared in its unit, and the part scenes share. It is a plain value: the preview's
// checkpoints copy it whole, so a value added to a scene's state is in them with nothing to list.
struct SceneStates {
    explicit SceneStates(TimeSource& time) : greetingsScroller(time), polygonGrids(time), ending(time) {}

    SharedState shared;
    SpiralGridState spiralGrid;
    ColumnCascadeState columnCascade;
    GreetingsScrollerState greetingsScroller;
    SwirlFieldState swirlField;
    PolygonGridsState polygonGrids;
    LatticeState lattice;
    VortexState vortex;
    EndingState ending;

    // Every state's values by the names each gives them.
    void name(NamedValues& values)
    {
        shared.name(values);
        spiralGrid.name(values);
        columnCascade.name(values);
        greetingsScroller.name(values);
        swirlField.name(values);
        polygonGrids.name(values);
        lattice.name(values);
        vortex.name(values);
        ending.name(values);
    }
};

} // namespace tolva

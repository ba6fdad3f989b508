#pragma once

#include "show/ShowState.h"
#include "render/Canvas.h"
#include "render/Shapes.h"
#include "sound/SoundDeck.h"

namespace tolva {

// A timed scene: the frame loop lowers the scene's countdown and calls step once in every iteration
// in which its gate holds. A step runs its first-frame actions once, clears, draws and presents one
// frame.
class SceneUnit {
public:
    virtual ~SceneUnit() = default;
    virtual void step(ShowState& state, Canvas& canvas, SoundDeck& deck) = 0;
};

// Draws cells [1..last][1..last] of a grid, the outer index first, each under the grid's name and
// its indices.
template <class Shape>
void drawCells(Canvas& canvas, const ShapeGrid<Shape>& grid, int last, const char* name)
{
    forCells(last, [&](int i, int j) { canvas.draw(grid.cell(i, j), {name, i, j}); });
}

} // namespace tolva

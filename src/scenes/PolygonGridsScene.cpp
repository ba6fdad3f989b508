#include "scenes/PolygonGridsScene.h"

#include "scenes/Formula.h"
#include "scenes/PolygonGridsFormulas.h"

namespace tolva {

using namespace polygon;

void PolygonGridsScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    // The first restart of the fuse clock reads the whole show so far: the fuse burns down most
    // of the way in the scene's first frame.
    const float fuseTick = own_.fuseClock.restart().asSeconds();
    const float midFrameDelta = state.frameClock.restart().asSeconds();
    // About 0.05 a frame whatever the frame rate: the scene's pace is tied to its frames.
    shared_.gridTime = advanceGridTime(shared_.gridTime, midFrameDelta);
    const GridFrame frame = gridFrame(shared_.gridTime);
    const sf::Color background = clearColour(frame.gridTime);

    terms_.decagons(frame.gridTime, own_.decagonGrid);
    terms_.pentagons(frame.gridTime, frame.fastPhase, own_.pentagonGrid);
    own_.colourFuse =
        terms_.heptagons(frame.slowPhase, own_.colourFuse, fuseTick, own_.heptagonGrid);

    canvas.measure({{"fuseTick", wide(fuseTick)},
                    {"midFrameDelta", wide(midFrameDelta)},
                    {"fastPhase", wide(frame.fastPhase)},
                    {"slowPhase", wide(frame.slowPhase)}});
    canvas.clear(background);
    drawCells(canvas, own_.decagonGrid, cellsPerSide, "decagonGrid");
    drawCells(canvas, own_.pentagonGrid, cellsPerSide, "pentagonGrid");
    drawCells(canvas, own_.heptagonGrid, cellsPerSide, "heptagonGrid");
    canvas.display();
}

} // namespace tolva

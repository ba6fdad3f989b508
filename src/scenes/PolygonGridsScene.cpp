#include "scenes/PolygonGridsScene.h"

#include "show/ShowObjects.h"
#include "scenes/Formula.h"
#include "scenes/PolygonGridsFormulas.h"

namespace tolva {

namespace {

void drawGrid(Canvas& canvas, const CircleGrid& grid, const char* name)
{
    for (int i = 1; i <= polygon::cellsPerSide; ++i) {
        for (int j = 1; j <= polygon::cellsPerSide; ++j) {
            canvas.draw(grid.at(static_cast<std::size_t>(i), static_cast<std::size_t>(j)),
                        {name, i, j});
        }
    }
}

} // namespace

void PolygonGridsScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    // The first restart of the fuse clock reads the whole show so far: the fuse burns down most
    // of the way in the scene's first frame.
    const float fuseTick = show_.fuseClock.restart().asSeconds();
    const float midFrameDelta = state.frameClock.restart().asSeconds();
    // About 0.05 a frame whatever the frame rate: the scene's pace is tied to its frames.
    show_.gridTime = polygon::advanceGridTime(show_.gridTime, midFrameDelta);
    const polygon::GridFrame frame = polygon::gridFrame(show_.gridTime);
    const sf::Color background = polygon::clearColour(frame.gridTime);

    terms_.decagons(frame.gridTime, show_.decagonGrid);
    terms_.pentagons(frame.gridTime, frame.fastPhase, show_.pentagonGrid);
    show_.colourFuse =
        terms_.heptagons(frame.slowPhase, show_.colourFuse, fuseTick, show_.heptagonGrid);

    canvas.measure({{"fuseTick", wide(fuseTick)},
                    {"midFrameDelta", wide(midFrameDelta)},
                    {"fastPhase", wide(frame.fastPhase)},
                    {"slowPhase", wide(frame.slowPhase)}});
    canvas.clear(background);
    drawGrid(canvas, show_.decagonGrid, "decagonGrid");
    drawGrid(canvas, show_.pentagonGrid, "pentagonGrid");
    drawGrid(canvas, show_.heptagonGrid, "heptagonGrid");
    canvas.display();
}

} // namespace tolva

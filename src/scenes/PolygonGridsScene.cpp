#include "scenes/PolygonGridsScene.h"

#include "scenes/Formula.h"
#include "scenes/PolygonGridsFormulas.h"

namespace tolva {

using namespace polygon;

namespace {

void apply(Circle& circle, const PolygonCell& cell, float radius, std::size_t points)
{
    circle.setFillColor(cell.fill);
    circle.setPosition(cell.position);
    circle.setRadius(radius);
    circle.setPointCount(points);
}

} // namespace

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

    decagons_.beginFrame(frame.gridTime);
    forCells(cellsPerSide, [&](int i, int j) {
        apply(own_.decagonGrid.cell(i, j), decagons_.cell(i, j), decagonRadius, decagonPoints);
    });
    pentagons_.beginFrame(frame.gridTime, frame.fastPhase);
    forCells(cellsPerSide, [&](int i, int j) {
        apply(own_.pentagonGrid.cell(i, j), pentagons_.cell(i, j), pentagonRadius, pentagonPoints);
    });
    // The fuse falls once per cell, before that cell's colour.
    heptagons_.beginFrame(frame.slowPhase);
    float fuse = own_.colourFuse;
    forCells(cellsPerSide, [&](int i, int j) {
        fuse = burnFuse(fuse, fuseTick);
        apply(own_.heptagonGrid.cell(i, j), heptagons_.cell(i, j, fuse), heptagonRadius, heptagonPoints);
    });
    own_.colourFuse = fuse;

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

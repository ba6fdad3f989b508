#include "scenes/VortexScene.h"


namespace tolva {

using namespace vortex;

namespace {

void apply(Circle& shape, const HeptagonCell& cell)
{
    shape.setFillColor(cell.fill);
    shape.setPosition(cell.position);
    shape.setRadius(heptagonRadius);
    shape.setPointCount(heptagonPoints);
}

} // namespace

void VortexScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    const float countdown = state.countdown[7];
    const float midFrameDelta = state.frameClock.restart().asSeconds();

    own_.vortexTime = nextVortexTime(own_.vortexTime, midFrameDelta);
    vortex_.beginFrame(own_.vortexTime);
    forCells(vortexSide, [&](int i, int j) {
        const HeptagonCell cell = vortex_.cell(i, j);
        Circle& shape = shared_.circleGrid.cell(i, j);
        apply(shape, cell);
        shape.setRotation(cell.rotation);
    });

    // Advanced between the two loops: the vortex never sees this frame's step, the field does.
    shared_.gridTime = nextGridTime(shared_.gridTime, midFrameDelta);
    field_.beginFrame(shared_.gridTime, countdown < tailCountdown);
    forCells(fieldSide, [&](int i, int j) { apply(own_.fieldGrid.cell(i, j), field_.cell(i, j)); });

    canvas.clear(sf::Color(0, 0, 0, 255));
    drawCells(canvas, shared_.circleGrid, vortexSide, "circleGrid");
    // Updated all along, the field is only shown from here on.
    if (countdown < fieldShownBelow) {
        drawCells(canvas, own_.fieldGrid, fieldSide, "fieldGrid");
    }
    canvas.display();
}

} // namespace tolva

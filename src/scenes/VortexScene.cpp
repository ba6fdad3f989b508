#include "scenes/VortexScene.h"

#include "show/ShowObjects.h"

namespace tolva {

namespace {

void apply(Circle& shape, const HeptagonLook& look)
{
    shape.setFillColor(look.fill);
    shape.setPosition(look.position);
    shape.setRadius(heptagonRadius);
    shape.setPointCount(heptagonPoints);
}

} // namespace

void VortexScene::step(ShowState& state, Canvas& canvas, SoundDeck& /*deck*/)
{
    const float countdown = state.countdown[7];
    const float midFrameDelta = state.frameClock.restart().asSeconds();

    show_.vortexTime = nextVortexTime(show_.vortexTime, midFrameDelta);
    vortex_.beginFrame(show_.vortexTime);
    for (int i = 1; i <= vortexSide; ++i) {
        for (int j = 1; j <= vortexSide; ++j) {
            const HeptagonLook look = vortex_.cell(i, j);
            Circle& shape = show_.circleGrid.at(static_cast<std::size_t>(i),
                                                static_cast<std::size_t>(j));
            apply(shape, look);
            shape.setRotation(look.rotation);
        }
    }

    // Advanced between the two loops: the vortex never sees this frame's step, the field does.
    show_.gridTime = nextGridTime(show_.gridTime, midFrameDelta);
    field_.beginFrame(show_.gridTime, countdown < tailCountdown);
    for (int i = 1; i <= fieldSide; ++i) {
        for (int j = 1; j <= fieldSide; ++j) {
            apply(show_.fieldGrid.at(static_cast<std::size_t>(i), static_cast<std::size_t>(j)),
                  field_.cell(i, j));
        }
    }

    canvas.clear(sf::Color(0, 0, 0, 255));
    for (int i = 1; i <= vortexSide; ++i) {
        for (int j = 1; j <= vortexSide; ++j) {
            canvas.draw(show_.circleGrid.at(static_cast<std::size_t>(i),
                                            static_cast<std::size_t>(j)),
                        {"circleGrid", i, j});
        }
    }
    // Updated all along, the field is only shown from here on.
    if (countdown < fieldShownBelow) {
        for (int i = 1; i <= fieldSide; ++i) {
            for (int j = 1; j <= fieldSide; ++j) {
                canvas.draw(show_.fieldGrid.at(static_cast<std::size_t>(i),
                                               static_cast<std::size_t>(j)),
                            {"fieldGrid", i, j});
            }
        }
    }
    canvas.display();
}

} // namespace tolva

#pragma once

#include "scenes/Scene.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

namespace tolva {

// What scene 8 changes from frame to frame.
struct EndingState {
    explicit EndingState(TimeSource& time) : endClock(time) {}

    sf::Sprite frogsSprite;
    ShowClock endClock;
    sf::Text dreamText;

    void name(NamedValues& values) { values.clocks["endElapsed"] = &endClock; }
};

// Scene 8: the frogs rise, two closing lines, and the show ends.
class EndingScene final : public SceneUnit {
public:
    explicit EndingScene(EndingState& state) : own_(state) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    EndingState& own_;
};

} // namespace tolva

#pragma once

#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 3: greetings scroller.
class GreetingsScrollerScene final : public SceneUnit {
public:
    explicit GreetingsScrollerScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
};

} // namespace tolva

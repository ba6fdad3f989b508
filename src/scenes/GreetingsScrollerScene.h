#pragma once

#include "scenes/GreetingsScrollerFormulas.h"
#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 3: a drifting field of ten-sided circles, the word Welcome in seven wandering letters, and
// the greetings line scrolling through the shader pair.
class GreetingsScrollerScene final : public SceneUnit {
public:
    explicit GreetingsScrollerScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
    greetings::ScrollerTerms field_;
};

} // namespace tolva

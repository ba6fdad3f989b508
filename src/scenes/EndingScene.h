#pragma once

#include "scenes/Scene.h"

namespace tolva {

class ShowObjects;

// Scene 8: the frogs rise, two closing lines, and the show ends.
class EndingScene final : public SceneUnit {
public:
    explicit EndingScene(ShowObjects& show) : show_(show) {}
    void step(ShowState& state, Canvas& canvas, SoundDeck& deck) override;

private:
    ShowObjects& show_;
};

} // namespace tolva

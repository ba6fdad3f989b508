#pragma once

#include "driver/ShowState.h"
#include "render/Canvas.h"
#include "sound/SoundDeck.h"

namespace tolva {

// A timed scene: the frame loop calls step once in every iteration in which its gate holds. A step
// lowers its countdown, runs its first-frame actions once, clears, draws and presents one frame.
class SceneUnit {
public:
    virtual ~SceneUnit() = default;
    virtual void step(ShowState& state, Canvas& canvas, SoundDeck& deck) = 0;
};

// Each scene's countdown falls by its own rule (see the timeline in driver/Timeline.cpp).
void countDown(ShowState& state, int scene);

} // namespace tolva

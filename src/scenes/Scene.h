#pragma once

#include "show/ShowState.h"
#include "render/Canvas.h"
#include "sound/SoundDeck.h"

namespace tolva {

// A timed scene: the frame loop lowers the scene's countdown and calls step once in every iteration
// in which its gate holds. A step runs its first-frame actions once, clears, draws and presents one
// frame.
class SceneUnit {
public:
    virtual ~SceneUnit() = default;
    virtual void step(ShowState& state, Canvas& canvas, SoundDeck& deck) = 0;
};

} // namespace tolva

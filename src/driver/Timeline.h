#pragma once

#include "scenes/Scene.h"

#include <array>
#include <vector>

namespace tolva {

class ShowObjects;

// Scene 0, the black lead-in: it lives in the loop itself, not in a unit.
void leadIn(ShowState& state, Canvas& canvas);

// What one iteration of the frame loop did, for the inspector and the tests.
struct IterationReport {
    std::vector<int> scenes;  // the scenes that ran, in order
};

// The frame loop: one call is one iteration.
class FrameLoop {
public:
    // units[n] is scene n's unit for n = 1 to 8 (units[0] is unused: scene 0 lives here).
    FrameLoop(ShowClock& scrollerClock, std::array<SceneUnit*, 9> units);

    IterationReport iterate(ShowState& state, Canvas& canvas, SoundDeck& deck, bool escapeDown);

private:
    ShowClock& scrollerClock_;
    std::array<SceneUnit*, 9> units_;
};

} // namespace tolva

#pragma once

#include "scenes/Scene.h"

#include <array>
#include <vector>

namespace tolva {


// Lowers scene n's countdown by its rule in the timing table.
void countDown(ShowState& state, int scene);

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

    // What the loop does for a scene whose gate holds: lower its countdown, then run its step.
    void run(int scene, ShowState& state, Canvas& canvas, SoundDeck& deck);

private:
    ShowClock& scrollerClock_;
    std::array<SceneUnit*, 9> units_;
};

} // namespace tolva

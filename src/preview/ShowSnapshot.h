#pragma once

#include "worktime/WorkClock.h"
#include "driver/SceneStates.h"
#include "show/ShowState.h"

#include <cstddef>
#include <unordered_set>

namespace tolva {

class Show;

// Everything of a running show that changes from frame to frame, taken at the head of an
// iteration: the timing state, the work clock, and the scenes' states, copied whole as values
// (the scenes' own caches are worked out afresh each frame from these). Put back, the show goes on
// exactly as it went on from that head. The assets are not copied: texts and sprites keep pointing
// at the same fonts and textures, which never move.
//
// Shape grids take most of the room (about 100 000 shapes in all), and most of them stay as they
// are for whole scenes: a copied grid shares its shapes with the live one until the show changes
// them, so a snapshot costs about what its scene changes.
class ShowSnapshot {
public:
    ShowSnapshot(Show& show, const WorkClock& clock, long iteration);

    void restore(Show& show, WorkClock& clock) const;

    long iteration() const { return iteration_; }
    // About the bytes it holds, counting grids not in `seen` (which then holds them too).
    std::size_t bytes(std::unordered_set<const void*>& seen) const;

private:
    long iteration_;
    WorkClock clock_;
    ShowState state_;
    SceneStates scenes_;
};

} // namespace tolva

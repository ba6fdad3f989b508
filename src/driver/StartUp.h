#pragma once

#include "driver/SceneStates.h"
#include "show/Assets.h"
#include "sound/SoundDeck.h"

namespace tolva {

// The greetings line that scrolls through scene 3.
extern const char* const greetingsLine;

// The start-up sequence, after the window and the timing state: it loads every file, synthesizes
// the voices and sets up the scenes' texts, sprites, grids, values and clocks, in the show's
// fixed order (the clocks already run, so the first frame's frameDelta holds all of it).
void startUp(ShowState& state, SoundDeck& deck, Assets& assets, SceneStates& scenes);

} // namespace tolva

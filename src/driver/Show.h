#pragma once

#include "driver/SceneStates.h"
#include "driver/Timeline.h"
#include "show/Assets.h"

#include <map>
#include <string>

namespace tolva {

// The show's assets, its scenes' states, its eight scene units and the frame loop over them: what
// the program, the inspector and the tests run alike. Making it runs the start-up sequence.
class Show {
public:
    Show(ShowState& state, SoundDeck& deck);
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    IterationReport iterate(Canvas& canvas, bool escapeDown)
    {
        return loop_.iterate(state, canvas, deck, escapeDown);
    }

    // Scene n (0 to 8) as the loop runs it when its gate holds, whatever the gates say.
    void run(int n, Canvas& canvas) { loop_.run(n, state, canvas, deck); }

    // The show's values by the names the timing state and the scenes' states give them, for the
    // inspector and the tests.
    NamedValues named();
    std::map<std::string, float*> floatValues() { return named().floats; }
    std::map<std::string, bool*> flagValues() { return named().flags; }
    std::map<std::string, ShowClock*> clocks() { return named().clocks; }  // by their reading

    ShowState& state;
    SoundDeck& deck;
    Assets assets;
    SceneStates scenes;

private:
    SpiralGridScene spiralGrid_{scenes.spiralGrid, scenes.shared};
    ColumnCascadeScene columnCascade_{scenes.columnCascade, scenes.shared};
    GreetingsScrollerScene greetingsScroller_{scenes.greetingsScroller, assets.scrollerShader};
    SwirlFieldScene swirlField_{scenes.swirlField};
    PolygonGridsScene polygonGrids_{scenes.polygonGrids, scenes.shared};
    LatticeScene lattice_{scenes.lattice, scenes.shared};
    VortexScene vortex_{scenes.vortex, scenes.shared};
    EndingScene ending_{scenes.ending};
    FrameLoop loop_{scenes.greetingsScroller.scrollerClock,
                    {nullptr, &spiralGrid_, &columnCascade_, &greetingsScroller_, &swirlField_,
                     &polygonGrids_, &lattice_, &vortex_, &ending_}};
};

// True when an X display can be opened (SFML aborts the process when it cannot). The connection
// stays open until the process ends: Xvfb resets itself when its last client leaves and refuses
// connections while it does, so a probe that connected and left right before SFML connects could
// make SFML abort.
bool displayAvailable();

} // namespace tolva

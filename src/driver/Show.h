#pragma once

#include "show/ShowObjects.h"
#include "driver/Timeline.h"
#include "scenes/ColumnCascadeScene.h"
#include "scenes/EndingScene.h"
#include "scenes/GreetingsScrollerScene.h"
#include "scenes/LatticeScene.h"
#include "scenes/PolygonGridsScene.h"
#include "scenes/SpiralGridScene.h"
#include "scenes/SwirlFieldScene.h"
#include "scenes/VortexScene.h"

#include <map>
#include <string>

namespace tolva {

// The show's objects, its eight scene units and the frame loop over them: what the program,
// the inspector and the tests run alike.
class Show {
public:
    Show(ShowState& state, SoundDeck& deck);

    IterationReport iterate(Canvas& canvas, bool escapeDown)
    {
        return loop.iterate(state, canvas, deck, escapeDown);
    }

    // Scene n (0 to 8) as the loop runs it when its gate holds, whatever the gates say.
    void run(int n, Canvas& canvas) { loop.run(n, state, canvas, deck); }

    // The show's values by their names, for the inspector and the tests.
    std::map<std::string, float*> floatValues();
    std::map<std::string, bool*> flagValues();
    std::map<std::string, ShowClock*> clocks();  // by the name of their reading

    ShowState& state;
    SoundDeck& deck;
    ShowObjects objects;
    SpiralGridScene spiralGrid{objects};
    ColumnCascadeScene columnCascade{objects};
    GreetingsScrollerScene greetingsScroller{objects};
    SwirlFieldScene swirlField{objects};
    PolygonGridsScene polygonGrids{objects};
    LatticeScene lattice{objects};
    VortexScene vortex{objects};
    EndingScene ending{objects};
    FrameLoop loop{objects.scrollerClock, units()};

private:
    std::array<SceneUnit*, 9> units()
    {
        return {nullptr, &spiralGrid, &columnCascade, &greetingsScroller, &swirlField,
                &polygonGrids, &lattice, &vortex, &ending};
    }
};

// True when an X display can be opened (SFML aborts the process when it cannot). The connection
// stays open until the process ends: Xvfb resets itself when its last client leaves and refuses
// connections while it does, so a probe that connected and left right before SFML connects could
// make SFML abort.
bool displayAvailable();

} // namespace tolva

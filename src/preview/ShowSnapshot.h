#pragma once

#include "capture/WorkClock.h"
#include "show/ShowObjects.h"
#include "show/ShowState.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <array>
#include <cstddef>
#include <memory>
#include <unordered_set>
#include <vector>

namespace tolva {

class Show;

// Everything of a running show that changes from frame to frame, taken at the head of an
// iteration: the timing state, the work clock, and every value, shape, text and sprite the scenes
// change (the scenes' own caches are worked out afresh each frame from these). Put back, the show
// goes on exactly as it went on from that head. Fonts, textures and the shader are not copied:
// texts and sprites keep pointing at the same ones, which never move.
//
// Shape grids take most of the room (about 100 000 shapes in all), and most of them stay as they
// are for whole scenes, so a snapshot shares each grid with an earlier snapshot that holds the same
// shapes.
class ShowSnapshot {
public:
    // `earlier`: a snapshot whose unchanged grids this one may share, or null.
    ShowSnapshot(Show& show, const WorkClock& clock, long iteration, const ShowSnapshot* earlier);

    void restore(Show& show, WorkClock& clock) const;

    long iteration() const { return iteration_; }
    // About the bytes it holds, counting grids not in `seen` (which then holds them too).
    std::size_t bytes(std::unordered_set<const void*>& seen) const;

private:
    long iteration_;
    WorkClock clock_;
    ShowState state_;

    std::vector<float> floats_;
    std::vector<ShowClock> clocks_;
    std::vector<sf::Color> colours_;
    std::vector<sf::Text> texts_;
    std::vector<sf::Sprite> sprites_;
    std::vector<std::shared_ptr<const CircleGrid>> circleGrids_;
    std::vector<std::shared_ptr<const SquareGrid>> squareGrids_;
};

} // namespace tolva

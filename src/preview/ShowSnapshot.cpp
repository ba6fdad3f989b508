#include "preview/ShowSnapshot.h"

#include "driver/Show.h"

#include <initializer_list>

namespace tolva {

ShowSnapshot::ShowSnapshot(Show& show, const WorkClock& clock, long iteration)
    : iteration_(iteration), clock_(clock), state_(show.state), scenes_(show.scenes)
{
}

void ShowSnapshot::restore(Show& show, WorkClock& clock) const
{
    clock = clock_;
    show.state = state_;
    show.scenes = scenes_;
}

namespace {

// Each glyph: two triangles of vertices, for the fill and for an outline.
std::size_t glyphBytes(const sf::Text& text)
{
    return text.getString().getSize() * 12 * sizeof(sf::Vertex);
}

} // namespace

// Only an estimate for the preview's overlay: a grid or text left out of it here makes the figure
// low, never a checkpoint wrong.
std::size_t ShowSnapshot::bytes(std::unordered_set<const void*>& seen) const
{
    const SceneStates& s = scenes_;
    std::size_t bytes = sizeof *this;
    for (const sf::Text* text : {&s.columnCascade.wanderText, &s.greetingsScroller.greetingsText,
                                 &s.lattice.trafficText, &s.ending.dreamText}) {
        bytes += glyphBytes(*text);
    }
    for (const auto* letters : {&s.spiralGrid.creditLetters, &s.greetingsScroller.welcomeLetters}) {
        for (const sf::Text& letter : *letters) {
            bytes += sizeof(sf::Text) + glyphBytes(letter);
        }
    }
    const auto count = [&](const auto& grid) {
        if (seen.insert(grid.identity()).second) {
            bytes += grid.bytes();
        }
    };
    for (const CircleGrid* grid : {&s.shared.circleGrid, &s.greetingsScroller.scrollerGrid,
                                   &s.swirlField.circleCube, &s.polygonGrids.decagonGrid,
                                   &s.polygonGrids.pentagonGrid, &s.polygonGrids.heptagonGrid,
                                   &s.vortex.fieldGrid}) {
        count(*grid);
    }
    count(s.columnCascade.squareGrid);
    count(s.swirlField.squareCube);
    return bytes;
}

} // namespace tolva

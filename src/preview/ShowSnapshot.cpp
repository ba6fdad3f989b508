#include "preview/ShowSnapshot.h"

#include "driver/Show.h"
#include "scenes/Formula.h"


namespace tolva {

namespace {

// The show's objects that the scenes change, by kind, in one fixed order: taking and restoring
// both walk this one list, so nothing can be taken and not put back.
struct Members {
    std::vector<float*> floats;
    std::vector<ShowClock*> clocks;
    std::vector<sf::Color*> colours;
    std::vector<sf::Text*> texts;
    std::vector<sf::Sprite*> sprites;
    std::vector<CircleGrid*> circleGrids;
    std::vector<SquareGrid*> squareGrids;
};

Members membersOf(ShowObjects& o)
{
    Members m;
    m.floats = {&o.columnTime, &o.cascadeTime, &o.scrollPhase, &o.swirlPhase, &o.vortexTime,
                &o.latticeTime, &o.gridTime, &o.colourFuse};
    m.clocks = {&o.scrollerClock, &o.fuseClock, &o.endClock};
    m.colours = {&o.scrollerColour, &o.clearBrown, &o.creditBrown};
    m.texts = {&o.wanderText, &o.greetingsText, &o.trafficText, &o.dreamText};
    for (std::vector<sf::Text>* letters : {&o.creditLetters, &o.welcomeLetters}) {
        for (sf::Text& letter : *letters) {
            m.texts.push_back(&letter);
        }
    }
    m.sprites = {&o.titleSprite, &o.personOneSprite, &o.personTwoSprite, &o.frogsSprite};
    m.circleGrids = {&o.circleGrid, &o.scrollerGrid, &o.circleCube, &o.decagonGrid,
                     &o.pentagonGrid, &o.heptagonGrid, &o.fieldGrid};
    m.squareGrids = {&o.squareGrid, &o.squareCube};
    return m;
}

// Floats compared by their bits: a NaN radius is a value the show keeps like any other.
bool same(sf::Vector2f a, sf::Vector2f b) { return sameBits(a.x, b.x) && sameBits(a.y, b.y); }

bool sameTransform(const sf::Transformable& a, const sf::Transformable& b)
{
    return same(a.getPosition(), b.getPosition()) && same(a.getOrigin(), b.getOrigin()) &&
           same(a.getScale(), b.getScale()) && sameBits(a.getRotation(), b.getRotation());
}

bool same(const Circle& a, const Circle& b)
{
    return sameTransform(a, b) && sameBits(a.getRadius(), b.getRadius()) &&
           a.getPointCount() == b.getPointCount() && a.getFillColor() == b.getFillColor();
}

bool same(const Rect& a, const Rect& b)
{
    return sameTransform(a, b) && same(a.getSize(), b.getSize()) && a.getFillColor() == b.getFillColor();
}

template <class Shape>
bool sameGrid(const ShapeGrid<Shape>& a, const ShapeGrid<Shape>& b)
{
    const std::vector<Shape>& x = a.cells();
    const std::vector<Shape>& y = b.cells();
    if (x.size() != y.size()) {
        return false;
    }
    for (std::size_t n = 0; n < x.size(); ++n) {
        if (!same(x[n], y[n])) {
            return false;
        }
    }
    return true;
}

// The live grids, each shared with the earlier snapshot's copy if that holds the same shapes.
template <class Shape>
std::vector<std::shared_ptr<const ShapeGrid<Shape>>>
takeGrids(const std::vector<ShapeGrid<Shape>*>& live,
          const std::vector<std::shared_ptr<const ShapeGrid<Shape>>>* earlier)
{
    std::vector<std::shared_ptr<const ShapeGrid<Shape>>> out;
    for (std::size_t n = 0; n < live.size(); ++n) {
        if (earlier != nullptr && sameGrid(*(*earlier)[n], *live[n])) {
            out.push_back((*earlier)[n]);
        } else {
            out.push_back(std::make_shared<const ShapeGrid<Shape>>(*live[n]));
        }
    }
    return out;
}

template <class T>
std::vector<T> values(const std::vector<T*>& pointers)
{
    std::vector<T> out;
    out.reserve(pointers.size());
    for (const T* p : pointers) {
        out.push_back(*p);
    }
    return out;
}

template <class T>
void putBack(const std::vector<T>& saved, const std::vector<T*>& pointers)
{
    for (std::size_t n = 0; n < pointers.size(); ++n) {
        *pointers[n] = saved[n];
    }
}

} // namespace

ShowSnapshot::ShowSnapshot(Show& show, const WorkClock& clock, long iteration,
                           const ShowSnapshot* earlier)
    : iteration_(iteration), clock_(clock), state_(show.state)
{
    const Members m = membersOf(show.objects);
    floats_ = values(m.floats);
    clocks_ = values(m.clocks);
    colours_ = values(m.colours);
    texts_ = values(m.texts);
    sprites_ = values(m.sprites);
    circleGrids_ = takeGrids(m.circleGrids, earlier ? &earlier->circleGrids_ : nullptr);
    squareGrids_ = takeGrids(m.squareGrids, earlier ? &earlier->squareGrids_ : nullptr);
}

void ShowSnapshot::restore(Show& show, WorkClock& clock) const
{
    clock = clock_;
    show.state = state_;
    const Members m = membersOf(show.objects);
    putBack(floats_, m.floats);
    putBack(clocks_, m.clocks);
    putBack(colours_, m.colours);
    putBack(texts_, m.texts);
    putBack(sprites_, m.sprites);
    for (std::size_t n = 0; n < m.circleGrids.size(); ++n) {
        *m.circleGrids[n] = *circleGrids_[n];
    }
    for (std::size_t n = 0; n < m.squareGrids.size(); ++n) {
        *m.squareGrids[n] = *squareGrids_[n];
    }
}

std::size_t ShowSnapshot::bytes(std::unordered_set<const void*>& seen) const
{
    std::size_t bytes = sizeof *this + texts_.size() * sizeof(sf::Text) +
                        sprites_.size() * sizeof(sf::Sprite);
    for (const sf::Text& text : texts_) {
        // Each glyph: two triangles of vertices, for the fill and for an outline.
        bytes += text.getString().getSize() * 12 * sizeof(sf::Vertex);
    }
    for (const auto& grid : circleGrids_) {
        if (seen.insert(grid.get()).second) {
            bytes += grid->cells().size() * sizeof(Circle);
        }
    }
    for (const auto& grid : squareGrids_) {
        if (seen.insert(grid.get()).second) {
            bytes += grid->cells().size() * sizeof(Rect);
        }
    }
    return bytes;
}

} // namespace tolva

#include "render/DrawPlan.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace tolva {

namespace {

// What a way of drawing costs, in pixels painted: a vertex sent costs about as much as this many
// pixels (llvmpipe's setup and the copying into the tiles' lists), a draw call as many as this.
constexpr double vertexCost = 16.0;
constexpr double drawCallCost = 2000.0;

// Batches whose opaque shapes of a tile or more cover the picture fewer times over than this are
// drawn whole: the stencil already writes each pixel once, and what finding the hidden would save
// (rasterizing what is painted over, which a stencil test still costs) is less than its own time.
// Small shapes, however many, are hidden only in part and are not worth the search.
constexpr double plannedOverdraw = 1.5;

// The whole viewport in clip units (2 x 2): the painted area counts in these.
constexpr double viewportClipArea = 4.0;

// A stretch of opaque items is drawn last first from this many on: a lone one paints nothing
// twice, and each stretch costs a draw call.
constexpr std::size_t leastStretch = 2;

// An item of fewer vertices than this reaching beyond a tile goes into the tile's list whole:
// finding which of its few triangles reach in costs more than drawing the others under the
// scissor.
constexpr std::uint32_t leastCutVertices = 24;

// Turns the order of `count` vertices' triangles round, each triangle's corners kept in their order.
void reverseTriangles(sf::Vertex* first, std::size_t count)
{
    static_assert(std::is_trivially_copyable<sf::Vertex>::value, "triangles are moved as bytes");
    if (count < 6) {
        return;
    }
    sf::Vertex held[3];
    for (sf::Vertex *a = first, *b = first + count - 3; a < b; a += 3, b -= 3) {
        std::memcpy(held, a, sizeof held);
        std::memcpy(a, b, sizeof held);
        std::memcpy(b, held, sizeof held);
    }
}

// A size in the viewport's pixels as clip units across and down.
sf::Vector2f clipSize(sf::Vector2i viewport, float pixels)
{
    return {2.0f * pixels / static_cast<float>(viewport.x), 2.0f * pixels / static_cast<float>(viewport.y)};
}

// The opaque whole fans that matter to the search for what is hidden: how many may cover a fine
// block and its margin, and the area within clip space of those a tile or more wide and high.
struct Bulk {
    std::size_t coverers = 0;
    double area = 0;
};

Bulk measureBulk(const std::vector<BatchItem>& items, sf::Vector2i viewport)
{
    const sf::Vector2f cover = clipSize(viewport, static_cast<float>(CoverageMask::fineBlock + 2.0 * Occlusion::marginPixels));
    const sf::Vector2f tile = clipSize(viewport, static_cast<float>(CoverageMask::tileSide));
    Bulk bulk;
    for (const BatchItem& item : items) {
        if (!item.hides()) {
            continue;
        }
        const ClipRect& bounds = item.bounds;
        const double width = static_cast<double>(std::min(bounds.right, 1.0f) - std::max(bounds.left, -1.0f));
        const double height = static_cast<double>(std::min(bounds.top, 1.0f) - std::max(bounds.bottom, -1.0f));
        if (width > 0 && height > 0 && bounds.right - bounds.left >= tile.x && bounds.top - bounds.bottom >= tile.y) {
            bulk.area += width * height;
        }
        if (bounds.right - bounds.left >= cover.x && bounds.top - bounds.bottom >= cover.y) {
            ++bulk.coverers;
        }
    }
    return bulk;
}

double overlap(double low, double high, double from, double to)
{
    return std::max(0.0, std::min(high, to) - std::max(low, from));
}

} // namespace

void DrawPlan::make(Batch& batch, Drawing drawing, sf::Vector2i viewport, TargetTraits& target)
{
    calls_.clear();
    tiles_.clear();
    byTiles_ = false;
    stretches_ = 0;
    fill_ = Fill{};
    // Without an opaque shape large enough to cover a block nothing can be hidden. A batch that
    // paints the picture not much more than once over with large shapes has little to hide from
    // a GPU, which rejects hidden pixels almost for free; a rasterizer on the processor spends as
    // much on a hidden shape as on a shown one, and fine blocks find most of what smaller shapes
    // piled up hide.
    const Bulk bulk = measureBulk(batch.items(), viewport);
    const bool bulky = bulk.area >= plannedOverdraw * viewportClipArea;
    const bool fine = !bulky && target.rastersOnProcessor();
    const bool worthSearching = bulk.coverers > 0 && (drawing != Drawing::cheapest || bulky || fine);
    if (drawing != Drawing::painter) {
        markStretches(batch.items(), target);
    }
    if (drawing != Drawing::painter && worthSearching) {
        planShown(batch, drawing, viewport, fine ? CoverageMask::fineBlock : CoverageMask::coarseBlock);
    } else {
        cutCalls(batch, false);
    }
}

void DrawPlan::markStretches(const std::vector<BatchItem>& items, TargetTraits& target)
{
    if (!target.hasStencil()) {
        return;
    }
    stretch_.assign(items.size(), -1);
    for (std::size_t k = 0; k < items.size();) {
        std::size_t end = k;
        while (end < items.size() && items[end].opaque) {
            ++end;
        }
        if (end - k >= leastStretch && stretches_ < stencilReferences) {
            std::fill(stretch_.begin() + static_cast<std::ptrdiff_t>(k), stretch_.begin() + static_cast<std::ptrdiff_t>(end),
                      stretches_++);
        }
        k = std::max(end, k + 1);
    }
}

void DrawPlan::planShown(Batch& batch, Drawing drawing, sf::Vector2i viewport, int blockSide)
{
    const std::vector<BatchItem>& items = batch.items();
    occlusion_.reset(viewport.x, viewport.y, blockSide);
    occlusion_.walk(items, batch.vertices());
    fill_ = measureFill(items, viewport);
    // Whole, each shape shown paints all of itself; tile by tile, only its tiles where it shows,
    // but a shape in several tiles is sent once for each, and each tile is a draw call or more.
    double wholeVertices = 0;
    double tiledVertices = 0;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const auto tiles = static_cast<double>(occlusion_.tilesEnd(k) - occlusion_.tilesBegin(k));
        const auto vertices = static_cast<double>(items[k].end - items[k].begin);
        wholeVertices += tiles > 0 ? vertices : 0.0;
        tiledVertices += tiles * vertices;
    }
    const double whole = fill_.whole + vertexCost * wholeVertices;
    const double tiled = fill_.tiled + vertexCost * tiledVertices + drawCallCost * static_cast<double>(occlusion_.tileCount());
    if (drawing == Drawing::tiles || (drawing == Drawing::cheapest && tiled < whole)) {
        gatherTiles(batch, viewport);
    } else {
        cutCalls(batch, true);
    }
}

// Summed in the order of the search, from the last item to the first.
DrawPlan::Fill DrawPlan::measureFill(const std::vector<BatchItem>& items, sf::Vector2i viewport) const
{
    Fill fill;
    for (std::size_t k = items.size(); k-- > 0;) {
        if (!occlusion_.shown(k)) {
            continue;
        }
        const Occlusion::Bounds bounds = occlusion_.pixelBounds(items[k].bounds);
        const double area = overlap(bounds.left, bounds.right, 0, viewport.x) * overlap(bounds.bottom, bounds.top, 0, viewport.y);
        if (occlusion_.keptInEveryTile(k)) {
            fill.tiled += area;  // its parts in each of its tiles add up to the whole of it
        } else {
            for (const std::uint16_t* t = occlusion_.tilesBegin(k); t != occlusion_.tilesEnd(k); ++t) {
                const PixelRect tile = occlusion_.tileRect(*t);
                fill.tiled += overlap(bounds.left, bounds.right, tile.left, tile.left + tile.width)
                              * overlap(bounds.bottom, bounds.top, tile.bottom, tile.bottom + tile.height);
            }
        }
        fill.whole += area;
        ++fill.shownItems;
    }
    return fill;
}

void DrawPlan::cutCalls(Batch& batch, bool onlyShown)
{
    const std::vector<BatchItem>& items = batch.items();
    std::vector<sf::Vertex>& vertices = batch.vertices();
    std::size_t end = 0;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const BatchItem& item = items[k];
        if (onlyShown && !occlusion_.shown(k)) {
            continue;
        }
        const int stretch = stretches_ > 0 ? stretch_[k] : -1;
        if (calls_.empty() || calls_.back().texture != item.texture || calls_.back().stretch != stretch) {
            calls_.push_back({item.texture, end, end, stretch});
        }
        if (end != item.begin) {  // up to the first item left out, everything stays where it is
            std::copy(vertices.begin() + item.begin, vertices.begin() + item.end,
                      vertices.begin() + static_cast<std::ptrdiff_t>(end));
        }
        end += item.end - item.begin;
    }
    vertices.resize(end);
    closeCalls(end);
    for (const DrawCall& call : calls_) {
        if (call.stretch >= 0) {
            reverseTriangles(vertices.data() + call.begin, call.end - call.begin);
        }
    }
    vertices_ = vertices.data();
}

void DrawPlan::closeCalls(std::size_t count)
{
    for (std::size_t c = 0; c < calls_.size(); ++c) {
        calls_[c].end = c + 1 < calls_.size() ? calls_[c + 1].begin : count;
    }
}

// Numbers the items shown in each tile, tile by tile, each tile's in the batch's order.
void DrawPlan::sortIntoTiles(std::size_t itemCount)
{
    const auto tileCount = static_cast<std::size_t>(occlusion_.tileCount());
    tileStarts_.assign(tileCount + 1, 0);
    for (std::size_t k = 0; k < itemCount; ++k) {
        for (const std::uint16_t* t = occlusion_.tilesBegin(k); t != occlusion_.tilesEnd(k); ++t) {
            ++tileStarts_[*t + 1u];
        }
    }
    for (std::size_t t = 0; t < tileCount; ++t) {
        tileStarts_[t + 1] += tileStarts_[t];
    }
    tileItems_.resize(tileStarts_[tileCount]);
    for (std::size_t k = 0; k < itemCount; ++k) {
        for (const std::uint16_t* t = occlusion_.tilesBegin(k); t != occlusion_.tilesEnd(k); ++t) {
            tileItems_[tileStarts_[*t]++] = static_cast<std::uint32_t>(k);
        }
    }
    // Each start has moved on to the next tile's: shift them back.
    std::copy_backward(tileStarts_.begin(), tileStarts_.end() - 1, tileStarts_.end());
    tileStarts_[0] = 0;
}

// Each tile's list: its items cut into draw calls. Of a shape of many triangles reaching beyond
// the tile only the triangles reaching into it are sent: the others would draw nothing under the
// tile's scissor.
void DrawPlan::gatherTiles(const Batch& batch, sf::Vector2i viewport)
{
    sortIntoTiles(batch.items().size());
    tiled_.clear();
    const float unitX = 2.0f / static_cast<float>(viewport.x);
    const float unitY = 2.0f / static_cast<float>(viewport.y);
    for (int t = 0; t < occlusion_.tileCount(); ++t) {
        const PixelRect place = occlusion_.tileRect(t);
        // The tile and a pixel round it, in clip space.
        const ClipRect within{static_cast<float>(place.left - 1) * unitX - 1.0f, static_cast<float>(place.bottom - 1) * unitY - 1.0f,
                              static_cast<float>(place.left + place.width + 1) * unitX - 1.0f,
                              static_cast<float>(place.bottom + place.height + 1) * unitY - 1.0f};
        const std::size_t firstCall = calls_.size();
        const std::uint32_t* first = tileItems_.data() + tileStarts_[static_cast<std::size_t>(t)];
        const std::uint32_t* last = tileItems_.data() + tileStarts_[static_cast<std::size_t>(t) + 1];
        appendTileItems(batch, first, last, within);
        if (calls_.size() != firstCall) {
            tiles_.push_back({place, firstCall, calls_.size()});
        }
    }
    closeCalls(tiled_.size());
    vertices_ = tiled_.data();
    byTiles_ = true;
}

void DrawPlan::appendTileItems(const Batch& batch, const std::uint32_t* first, const std::uint32_t* last,
                           const ClipRect& within)
{
    const std::vector<BatchItem>& items = batch.items();
    const std::size_t firstCall = calls_.size();
    while (first != last) {
        const BatchItem& item = items[*first];
        const int stretch = stretches_ > 0 ? stretch_[*first] : -1;
        const std::uint32_t* end = first + 1;
        while (stretch >= 0 && end != last && stretch_[*end] == stretch) {
            ++end;
        }
        if (calls_.size() == firstCall || calls_.back().texture != item.texture || calls_.back().stretch != stretch) {
            calls_.push_back({item.texture, tiled_.size(), tiled_.size(), stretch});
        }
        if (stretch < 0) {
            appendWithin(batch, item, within);
        } else {
            // A stretch's items go last first; an item's own triangles, of one colour, need no turning.
            for (const std::uint32_t* k = end; k-- != first;) {
                appendWithin(batch, items[*k], within);
            }
        }
        first = end;
    }
}

void DrawPlan::appendWithin(const Batch& batch, const BatchItem& item, const ClipRect& within)
{
    const std::vector<sf::Vertex>& vertices = batch.vertices();
    const bool inside = item.bounds.left >= within.left && item.bounds.right <= within.right
                        && item.bounds.bottom >= within.bottom && item.bounds.top <= within.top;
    if (inside || item.end - item.begin < leastCutVertices) {
        tiled_.insert(tiled_.end(), vertices.begin() + item.begin, vertices.begin() + item.end);
        return;
    }
    for (std::uint32_t v = item.begin; v < item.end; v += 3) {
        const sf::Vector2f a = vertices[v].position, b = vertices[v + 1].position, c = vertices[v + 2].position;
        if (std::max({a.x, b.x, c.x}) >= within.left && std::min({a.x, b.x, c.x}) <= within.right
            && std::max({a.y, b.y, c.y}) >= within.bottom && std::min({a.y, b.y, c.y}) <= within.top) {
            tiled_.push_back(vertices[v]);  // three at a time: a range insert costs several times more
            tiled_.push_back(vertices[v + 1]);
            tiled_.push_back(vertices[v + 2]);
        }
    }
}

} // namespace tolva

#pragma once

#include "render/Batch.h"
#include "render/Occlusion.h"

#include <SFML/Graphics/Vertex.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <vector>

namespace sf {
class Texture;
}

namespace tolva {

// How a batch reaches the target. Painter's order draws everything gathered over the whole
// picture. The others leave out what opaque shapes drawn later in the batch hide (see Occlusion),
// drawing each shape shown whole, or tile by tile under a scissor, only in the tiles where it
// shows; `cheapest` takes whichever of the two paints less, and searches for what is hidden only
// where that is worth its time. On a target with a stencil buffer all but painter's order also
// draw each stretch of opaque shapes from its last to its first, every pixel written once, by the
// shape that would have been drawn over it last.
enum class Drawing { painter, whole, tiles, cheapest };

// What a plan asks of the target it is for, each only when it needs the answer.
class TargetTraits {
public:
    virtual ~TargetTraits() = default;
    // An 8-bit stencil, which drawing a stretch last first needs.
    virtual bool hasStencil() = 0;
    // A rasterizer that runs on the processor, where a hidden shape costs as much as a shown one.
    virtual bool rastersOnProcessor() = 0;
};

// One draw call: the plan's vertices [begin, end), all of one texture and one stretch.
struct DrawCall {
    const sf::Texture* texture;  // none for shapes, a font's page for texts
    std::size_t begin;
    std::size_t end;
    int stretch;  // the opaque stretch drawn last first that the triangles belong to, or -1
};

// A tile's draw calls [firstCall, endCall), drawn under a scissor rectangle of its pixels.
struct TileDraw {
    PixelRect rect;
    std::size_t firstCall;
    std::size_t endCall;
};

// How one batch is drawn: the way that paints least, the stretches of opaque items drawn last
// first, and the draw calls in order, each of one texture and one stretch, over the whole picture
// or tile by tile. Plain data for whatever submits it; the plan itself draws nothing.
class DrawPlan {
public:
    // An 8-bit stencil holds this many references besides the cleared 0: no batch has more
    // stretches.
    static constexpr int stencilReferences = 255;

    // viewport: the target's viewport in pixels. Drawn whole, the plan's vertices are the batch's
    // own, the hidden items' closed up and each stretch's turned round in place.
    void make(Batch& batch, Drawing drawing, sf::Vector2i viewport, TargetTraits& target);

    // Valid until the batch or the plan changes.
    const sf::Vertex* vertices() const { return vertices_; }
    const std::vector<DrawCall>& calls() const { return calls_; }
    // Empty when the batch is drawn whole.
    const std::vector<TileDraw>& tiles() const { return tiles_; }
    bool byTiles() const { return byTiles_; }
    // Stretches in the batch, each of which wants a stencil reference of its own.
    int stretches() const { return stretches_; }

    // Pixels the shown items' bounds cover within the viewport, drawn whole and drawn only in the
    // tiles where they show (after a search for what is hidden; the cost model's fill).
    struct Fill {
        double whole = 0;
        double tiled = 0;
        std::size_t shownItems = 0;
    };
    Fill fill() const { return fill_; }

private:
    void markStretches(const std::vector<BatchItem>& items, TargetTraits& target);
    // Searches for what is hidden over a mask of blocks of this side, and lays out the way that
    // paints least.
    void planShown(Batch& batch, Drawing drawing, sf::Vector2i viewport, int blockSide);
    Fill measureFill(const std::vector<BatchItem>& items, sf::Vector2i viewport) const;
    // Cuts the (shown) items' triangles into draw calls of one texture and one stretch (whose
    // triangles go last first), closing up the gaps the hidden ones leave.
    void cutCalls(Batch& batch, bool onlyShown);
    void sortIntoTiles(std::size_t itemCount);
    void gatherTiles(const Batch& batch, sf::Vector2i viewport);
    // Appends a tile's items, in their order but for each stretch's, which go last first, and
    // starts a call wherever the texture or the stretch changes (always at the tile's first).
    void appendTileItems(const Batch& batch, const std::uint32_t* first, const std::uint32_t* last,
                         const ClipRect& within);
    void appendWithin(const Batch& batch, const BatchItem& item, const ClipRect& within);
    // Each call ends where the next begins, the last at the end of `count` vertices.
    void closeCalls(std::size_t count);

    Occlusion occlusion_;
    Fill fill_;
    std::vector<int> stretch_;  // each item's stretch, or -1
    int stretches_ = 0;
    const sf::Vertex* vertices_ = nullptr;
    std::vector<DrawCall> calls_;
    bool byTiles_ = false;
    std::vector<TileDraw> tiles_;
    std::vector<std::uint32_t> tileStarts_;  // where each tile's items start in tileItems_
    std::vector<std::uint32_t> tileItems_;
    std::vector<sf::Vertex> tiled_;          // the tiles' vertices, one tile's after another's
};

} // namespace tolva

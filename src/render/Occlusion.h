#pragma once

#include "render/Batch.h"

#include <SFML/Graphics/Vertex.hpp>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tolva {

// A rectangle of the viewport's pixels, from the bottom left as GL counts them.
struct PixelRect {
    int left;
    int bottom;
    int width;
    int height;
};

// Blocks of the viewport's pixels, in GL's order (columns from the left, rows from the bottom),
// one bit each, set where an opaque shape drawn later paints every pixel of the block. The
// viewport is cut into tiles of whole blocks.
class CoverageMask {
public:
    // Tiles of 160 pixels, a whole number of blocks of either size and of tiles across and down
    // 1920 x 1080 but for the tiles' last row. Coarse blocks suit the huge shapes that hide
    // whole tiles, at little cost of the main thread's time; fine ones find most of what smaller
    // shapes piled up hide, which pays where the rasterizer is the processor itself.
    static constexpr int coarseBlock = 20;
    static constexpr int fineBlock = 4;
    static constexpr int tileSide = 160;  // 12 x 7 tiles at 1920 x 1080

    void reset(int columns, int rows, int blockSide);
    int blockSide() const { return blockSide_; }
    int tileBlocks() const { return tileSide / blockSide_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int tileColumns() const { return tileColumns_; }
    int tileRows() const { return tileRows_; }
    // Whether every block of the row from `first` to `last` (both included) is set.
    bool covered(int row, int first, int last) const
    {
        const std::uint64_t* words = bits_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(words_);
        for (int w = first / 64; w <= last / 64; ++w) {
            const std::uint64_t wanted = bitRange(std::max(first, 64 * w) - 64 * w, std::min(last, 64 * w + 63) - 64 * w);
            if ((words[w] & wanted) != wanted) {
                return false;
            }
        }
        return true;
    }
    void set(int row, int first, int last);
    bool allFull() const { return fullRows_ == rows_; }

private:
    // The bits `first` to `last` (0 to 63, both included) of a word.
    static std::uint64_t bitRange(int first, int last)
    {
        const std::uint64_t upTo = last == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (last + 1)) - 1;
        return upTo & ~((std::uint64_t{1} << first) - 1);
    }

    int blockSide_ = coarseBlock;
    int columns_ = 0;
    int rows_ = 0;
    int words_ = 0;  // 64-bit words a row
    int tileColumns_ = 0;
    int tileRows_ = 0;
    int fullRows_ = 0;
    std::vector<char> rowFull_;
    std::vector<std::uint64_t> bits_;
};

// Blocks from left to right and bottom to top, all included.
struct BlockRect {
    int left;
    int bottom;
    int right;
    int top;
};

// What of a batch can show: the batch's items walked from the last to the first over a coverage
// mask, each kept in the tiles where some block it may touch is not yet covered, and each opaque
// whole fan marking the blocks it covers whole. An item hidden in every tile is left out. Blocks
// are marked only where the fan covers them with a margin, so every pixel of a marked block is
// painted over by an opaque fill later in the batch, and with SFML's alpha blending an opaque fill
// writes its own colour whatever lay below: leaving out what lies under it changes no pixel.
class Occlusion {
public:
    // Pixels of margin around a block that a fan must cover, and around an item's bounds for the
    // blocks it may touch: whatever the rasterizer's edge rules and vertex snapping, what covers a
    // block and this border covers each of its pixels, and what lies beyond it touches none.
    static constexpr double marginPixels = 2.0;

    // An item's bounds in pixels, and the margin its blocks take around them.
    struct Bounds {
        double left, bottom, right, top, margin;
    };

    // The viewport in pixels, and the side of the mask's blocks (one of CoverageMask's sizes).
    void reset(int width, int height, int blockSide = CoverageMask::coarseBlock);
    void walk(const std::vector<BatchItem>& items, const std::vector<sf::Vertex>& vertices);

    bool shown(std::size_t item) const { return shown_[item].end != shown_[item].begin; }
    // The tiles (numbered row by row from the bottom left) where the item may show.
    const std::uint16_t* tilesBegin(std::size_t item) const { return tiles_.data() + shown_[item].begin; }
    const std::uint16_t* tilesEnd(std::size_t item) const { return tiles_.data() + shown_[item].end; }
    // Whether a shown item is kept in every tile it may touch, found to show in one of them
    // without looking tile by tile.
    bool keptInEveryTile(std::size_t item) const { return shown_[item].everyTile; }
    int tileCount() const { return mask_.tileColumns() * mask_.tileRows(); }
    // A tile's pixels within the viewport.
    PixelRect tileRect(int tile) const;
    // Clip bounds in the viewport's pixels, the margin grown with the coordinates.
    Bounds pixelBounds(const ClipRect& clip) const;

private:
    struct Span {
        std::uint32_t begin;
        std::uint32_t end;
        bool everyTile;
    };

    bool footprint(const Bounds& bounds, BlockRect& blocks) const;
    void keepWhereShown(const BlockRect& blocks, std::size_t item);
    void keepInAll(const BlockRect& blocks, std::size_t item);
    bool coveredWithin(const BlockRect& blocks, int tile);
    void markCovered(const sf::Vertex* triangles, std::size_t count, const Bounds& bounds,
                     const BlockRect& blocks);
    void markInscribed(sf::Vector2f centre, double radius, const Bounds& bounds);
    bool gatherEdges(const sf::Vertex* triangles, std::size_t count);

    int width_ = 0;
    int height_ = 0;
    CoverageMask mask_;
    std::vector<Span> shown_;
    std::vector<std::uint16_t> tiles_;
    std::vector<char> tileFull_;
    // A fan's outer edges as bounds on x along y (x > slope * y + offset, or <), and on y alone.
    struct Edge {
        double slope;
        double offset;
    };
    std::vector<Edge> lower_;
    std::vector<Edge> upper_;
    double yAbove_ = 0;
    double yBelow_ = 0;
};

} // namespace tolva

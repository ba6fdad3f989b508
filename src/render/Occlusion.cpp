#include "render/Occlusion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tolva {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

constexpr double marginPixels = Occlusion::marginPixels;
// Far from the viewport GL's own rounding grows with the coordinates (a circle of a million pixels
// is clipped in single precision), so the margin grows with them, by some sixteen units of the
// last place.
constexpr double marginPerPixel = 1.0 / 524288.0;

constexpr int tileSide = CoverageMask::tileSide;

// On coarse blocks, fans at least this many pixels wide and high mark the blocks inside their edges.
constexpr double exactSide = 160.0;

int clampedBlock(double pixels, int side, int blocks)
{
    const double block = std::floor(pixels / side);
    return static_cast<int>(std::min(std::max(block, 0.0), static_cast<double>(blocks - 1)));
}

} // namespace

void CoverageMask::reset(int columns, int rows, int blockSide)
{
    blockSide_ = blockSide;
    columns_ = columns;
    rows_ = rows;
    words_ = (columns + 63) / 64;
    bits_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(words_), 0);
    tileColumns_ = (columns + tileBlocks() - 1) / tileBlocks();
    tileRows_ = (rows + tileBlocks() - 1) / tileBlocks();
    fullRows_ = 0;
    rowFull_.assign(static_cast<std::size_t>(rows), 0);
}

void CoverageMask::set(int row, int first, int last)
{
    std::uint64_t* words = bits_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(words_);
    for (int w = first / 64; w <= last / 64; ++w) {
        words[w] |= bitRange(std::max(first, 64 * w) - 64 * w, std::min(last, 64 * w + 63) - 64 * w);
    }
    char& full = rowFull_[static_cast<std::size_t>(row)];
    if (full == 0 && covered(row, 0, columns_ - 1)) {
        full = 1;
        ++fullRows_;
    }
}

void Occlusion::reset(int width, int height, int blockSide)
{
    width_ = width;
    height_ = height;
    mask_.reset((width + blockSide - 1) / blockSide, (height + blockSide - 1) / blockSide, blockSide);
}

PixelRect Occlusion::tileRect(int tile) const
{
    const int left = (tile % mask_.tileColumns()) * tileSide;
    const int bottom = (tile / mask_.tileColumns()) * tileSide;
    return {left, bottom, std::min(tileSide, width_ - left), std::min(tileSide, height_ - bottom)};
}

void Occlusion::walk(const std::vector<BatchItem>& items, const std::vector<sf::Vertex>& vertices)
{
    shown_.assign(items.size(), Span{0, 0, false});
    tileFull_.assign(static_cast<std::size_t>(tileCount()), 0);
    tiles_.clear();
    const double coverSide = mask_.blockSide() + 2 * marginPixels;
    // From the last to the first: what an item hides is known before the item under it is seen.
    for (std::size_t k = items.size(); k-- > 0 && !mask_.allFull();) {
        const BatchItem& item = items[k];
        const Bounds bounds = pixelBounds(item.bounds);
        BlockRect blocks{};
        if (!footprint(bounds, blocks)) {
            continue;  // touches no pixel of the viewport
        }
        keepWhereShown(blocks, k);
        if (!shown(k) || !item.hides() || !(bounds.right - bounds.left > coverSide && bounds.top - bounds.bottom > coverSide)) {
            continue;
        }
        // A fan marks the blocks inside its edges, row by row. On coarse blocks a small one marks
        // those in its inscribed disc instead: cheaper, and it misses little where blocks are large.
        const bool large = bounds.right - bounds.left > exactSide && bounds.top - bounds.bottom > exactSide;
        if (large || mask_.blockSide() < CoverageMask::coarseBlock) {
            markCovered(vertices.data() + item.begin, (item.end - item.begin) / 3, bounds, blocks);
        } else {
            markInscribed(vertices[item.begin].position, static_cast<double>(item.inscribed), bounds);
        }
    }
}

Occlusion::Bounds Occlusion::pixelBounds(const ClipRect& clip) const
{
    const double halfWidth = 0.5 * static_cast<double>(width_);
    const double halfHeight = 0.5 * static_cast<double>(height_);
    Bounds pixels{(static_cast<double>(clip.left) + 1.0) * halfWidth, (static_cast<double>(clip.bottom) + 1.0) * halfHeight,
                  (static_cast<double>(clip.right) + 1.0) * halfWidth, (static_cast<double>(clip.top) + 1.0) * halfHeight,
                  marginPixels};
    if (!std::isfinite(pixels.left) || !std::isfinite(pixels.bottom) || !std::isfinite(pixels.right)
        || !std::isfinite(pixels.top)) {
        // A text placed at no number: where it lands is GL's to say, so it may touch any pixel.
        return {-infinity, -infinity, infinity, infinity, marginPixels};
    }
    const double largest = std::max(std::max(std::abs(pixels.left), std::abs(pixels.right)),
                                    std::max(std::abs(pixels.bottom), std::abs(pixels.top)));
    pixels.margin += largest * marginPerPixel;
    return pixels;
}

bool Occlusion::footprint(const Bounds& bounds, BlockRect& blocks) const
{
    const double m = bounds.margin;
    if (bounds.right + m <= 0 || bounds.top + m <= 0 || bounds.left - m >= width_ || bounds.bottom - m >= height_) {
        return false;
    }
    const int side = mask_.blockSide();
    blocks = {clampedBlock(bounds.left - m, side, mask_.columns()), clampedBlock(bounds.bottom - m, side, mask_.rows()),
              clampedBlock(bounds.right + m, side, mask_.columns()), clampedBlock(bounds.top + m, side, mask_.rows())};
    return true;
}

void Occlusion::keepWhereShown(const BlockRect& blocks, std::size_t item)
{
    const int tiles = mask_.tileBlocks();
    shown_[item].begin = static_cast<std::uint32_t>(tiles_.size());
    if (blocks.right / tiles - blocks.left / tiles < 2 && blocks.top / tiles - blocks.bottom / tiles < 2) {
        // A shape in at most two tiles each way is looked at whole, and kept in all its tiles if
        // it shows in one: that costs little fill, and looking tile by tile costs time.
        for (int row = blocks.bottom; row <= blocks.top; ++row) {
            if (!mask_.covered(row, blocks.left, blocks.right)) {
                keepInAll(blocks, item);
                return;
            }
        }
        shown_[item].end = shown_[item].begin;
        return;
    }
    for (int ty = blocks.bottom / tiles; ty <= blocks.top / tiles; ++ty) {
        for (int tx = blocks.left / tiles; tx <= blocks.right / tiles; ++tx) {
            const int tile = ty * mask_.tileColumns() + tx;
            if (!coveredWithin(blocks, tile)) {
                tiles_.push_back(static_cast<std::uint16_t>(tile));
            }
        }
    }
    shown_[item].end = static_cast<std::uint32_t>(tiles_.size());
}

void Occlusion::keepInAll(const BlockRect& blocks, std::size_t item)
{
    const int tiles = mask_.tileBlocks();
    for (int ty = blocks.bottom / tiles; ty <= blocks.top / tiles; ++ty) {
        for (int tx = blocks.left / tiles; tx <= blocks.right / tiles; ++tx) {
            tiles_.push_back(static_cast<std::uint16_t>(ty * mask_.tileColumns() + tx));
        }
    }
    shown_[item].end = static_cast<std::uint32_t>(tiles_.size());
    shown_[item].everyTile = true;
}

bool Occlusion::coveredWithin(const BlockRect& blocks, int tile)
{
    char& full = tileFull_[static_cast<std::size_t>(tile)];
    if (full != 0) {
        return true;
    }
    const int tiles = mask_.tileBlocks();
    const int tx = tile % mask_.tileColumns();
    const int ty = tile / mask_.tileColumns();
    const BlockRect within{std::max(blocks.left, tx * tiles), std::max(blocks.bottom, ty * tiles),
                           std::min(blocks.right, std::min(tx * tiles + tiles, mask_.columns()) - 1),
                           std::min(blocks.top, std::min(ty * tiles + tiles, mask_.rows()) - 1)};
    for (int row = within.bottom; row <= within.top; ++row) {
        if (!mask_.covered(row, within.left, within.right)) {
            return false;
        }
    }
    // Blocks once covered stay covered: a tile found covered whole need not be looked at again.
    full = within.left == tx * tiles && within.bottom == ty * tiles
           && within.right == std::min(tx * tiles + tiles, mask_.columns()) - 1
           && within.top == std::min(ty * tiles + tiles, mask_.rows()) - 1;
    return true;
}

// The blocks of each row of the fan's footprint that lie, with the margin, inside every one of
// its outer edges: the fan covers them whole (as its points go once round its centre, what lies
// inside every outer edge lies in one of its triangles).
void Occlusion::markCovered(const sf::Vertex* triangles, std::size_t count, const Bounds& bounds,
                            const BlockRect& blocks)
{
    const double m = bounds.margin;
    if (!gatherEdges(triangles, count)) {
        return;
    }
    const double side = mask_.blockSide();
    for (int row = blocks.bottom; row <= blocks.top; ++row) {
        const double low = row * side - m;          // the block row and the margin, from y low
        const double high = (row + 1) * side + m;   // to y high
        if (!(low > yAbove_ && high < yBelow_) || mask_.covered(row, blocks.left, blocks.right)) {
            continue;
        }
        // x must exceed every lower edge and stay below every upper one, at both ends of the band.
        double left = -infinity;
        for (const Edge& edge : lower_) {
            left = std::max(left, edge.slope * (edge.slope > 0 ? high : low) + edge.offset);
        }
        double right = infinity;
        for (const Edge& edge : upper_) {
            right = std::min(right, edge.slope * (edge.slope > 0 ? low : high) + edge.offset);
        }
        // Blocks whose left side less the margin lies beyond `left`, whose right side and the margin
        // lie before `right`.
        const double first = std::max(std::floor((left + m) / side) + 1, static_cast<double>(blocks.left));
        const double last = std::min(std::ceil((right - m) / side) - 2, static_cast<double>(blocks.right));
        if (first <= last) {
            mask_.set(row, static_cast<int>(first), static_cast<int>(last));
        }
    }
}

// The blocks of each row that lie, with the margin, inside the fan's disc: across the band of
// the row and the margin, the disc is narrowest at the band's end farther from its centre.
void Occlusion::markInscribed(sf::Vector2f centre, double radius, const Bounds& bounds)
{
    const double m = bounds.margin;
    const double x = (static_cast<double>(centre.x) + 1.0) * 0.5 * static_cast<double>(width_);
    const double y = (static_cast<double>(centre.y) + 1.0) * 0.5 * static_cast<double>(height_);
    if (!(radius > m + 4) || x < -radius || y < -radius || x > width_ + radius || y > height_ + radius) {
        return;  // too narrow to cover a block, or beyond the viewport
    }
    // Small fans near the viewport only: block numbers stay far above -1024, where adding 1024
    // and truncating floors a number (rounding can only move the blocks inwards).
    const auto below = [](double blocks) { return static_cast<int>(blocks + 1024.0) - 1024; };
    const double side = mask_.blockSide();
    const int bottom = std::max(below((y - radius + m) / side) + 1, 0);
    const int top = std::min(-below(-(y + radius - m) / side) - 2, mask_.rows() - 1);
    for (int row = bottom; row <= top; ++row) {
        const double far = std::max(y - (row * side - m), (row + 1) * side + m - y);
        const double half = std::sqrt(std::max(radius * radius - far * far, 0.0)) - m;
        const int left = std::max(below((x - half) / side) + 1, 0);
        const int right = std::min(-below(-(x + half) / side) - 2, mask_.columns() - 1);
        if (left <= right) {
            mask_.set(row, left, right);
        }
    }
}

// The fan's outer edges in pixels, each as the half-plane its triangle lies in: a bound on x that
// moves along y, or for a level edge a bound on y. False where an edge has no length.
bool Occlusion::gatherEdges(const sf::Vertex* triangles, std::size_t count)
{
    lower_.clear();
    upper_.clear();
    yAbove_ = -infinity;
    yBelow_ = infinity;
    const double sx = 0.5 * static_cast<double>(width_);
    const double sy = 0.5 * static_cast<double>(height_);
    auto pixel = [&](const sf::Vertex& v, double& x, double& y) {
        x = (static_cast<double>(v.position.x) + 1.0) * sx;
        y = (static_cast<double>(v.position.y) + 1.0) * sy;
    };
    double cx, cy, ax, ay, bx, by;
    pixel(triangles[0], cx, cy);
    pixel(triangles[1], ax, ay);
    pixel(triangles[2], bx, by);
    const double sign = (ax - cx) * (by - cy) - (ay - cy) * (bx - cx) > 0 ? 1.0 : -1.0;
    for (std::size_t k = 0; k < count; ++k) {
        double fx, fy, tx, ty;
        pixel(triangles[3 * k + 1], fx, fy);
        pixel(triangles[3 * k + 2], tx, ty);
        // Inside: sign * ((t - f) x (p - f)) > 0, that is a * x + b * y + c > 0.
        const double dx = tx - fx;
        const double dy = ty - fy;
        const double a = -sign * dy;
        const double b = sign * dx;
        const double c = sign * (dy * fx - dx * fy);
        if (a > 0) {
            lower_.push_back({-b / a, -c / a});
        } else if (a < 0) {
            upper_.push_back({-b / a, -c / a});
        } else if (b > 0) {
            yAbove_ = std::max(yAbove_, -c / b);
        } else if (b < 0) {
            yBelow_ = std::min(yBelow_, -c / b);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace tolva

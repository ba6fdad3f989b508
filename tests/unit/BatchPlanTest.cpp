// The render layer's batch, occlusion and plan, with no GL context and no window: the part any
// renderer shares.

#include "render/Batch.h"
#include "render/DrawPlan.h"
#include "render/Occlusion.h"
#include "render/ShapeGeometry.h"
#include "support/MakeShapes.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/View.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace tolva {
namespace {

using testing::circle;
using testing::rect;

// A batch in the clip space of the show's 1920 x 1080 view, as the canvas gathers it.
Batch showBatch(float pixelsPerUnit = 1.0f)
{
    Batch batch;
    batch.setView(sf::View(sf::FloatRect(0, 0, 1920, 1080)).getTransform(), pixelsPerUnit);
    return batch;
}

const sf::Vector2i showViewport{1920, 1080};

Occlusion walk(const Batch& batch, int blockSide = CoverageMask::coarseBlock)
{
    Occlusion occlusion;
    occlusion.reset(showViewport.x, showViewport.y, blockSide);
    occlusion.walk(batch.items(), batch.vertices());
    return occlusion;
}

struct FakeTarget : TargetTraits {
    bool stencil = true;
    bool processor = false;
    bool hasStencil() override { return stencil; }
    bool rastersOnProcessor() override { return processor; }
};

// The shapes a call draws, in its order, each named by its colour (every shape here has its own).
std::vector<sf::Color> shapesOf(const DrawPlan& plan, const DrawCall& call)
{
    std::vector<sf::Color> shapes;
    for (std::size_t v = call.begin; v < call.end; v += 3) {
        if (shapes.empty() || shapes.back() != plan.vertices()[v].color) {
            shapes.push_back(plan.vertices()[v].color);
        }
    }
    return shapes;
}

// The fan the batch draws is the one SFML builds: same points, same centre, bit for bit.
TEST(ShapeGeometry, CircleFanIsSfmlsOwn)
{
    LocalFan fan;
    for (std::size_t count : {3u, 6u, 7u, 10u, 12u, 25u, 30u}) {
        for (float radius : {0.0f, 1.5f, 15.0f, -7.25f, 123456.7f, 3.0e8f}) {
            circleFan(circle(radius, count, {}, 0, sf::Color::White), fan);
            const sf::CircleShape reference(radius, count);
            ASSERT_EQ(fan.points.size(), count);
            for (std::size_t k = 0; k < count; ++k) {
                EXPECT_EQ(fan.points[k], reference.getPoint(k)) << count << " " << radius << " " << k;
            }
            const sf::FloatRect bounds = reference.getLocalBounds();
            EXPECT_EQ(fan.centre, sf::Vector2f(bounds.left + bounds.width / 2, bounds.top + bounds.height / 2));
        }
    }
}

// The batch works out each shape's matrix itself, keeping the last angle's cosine and sine.
TEST(ShapeGeometry, ModelMatrixIsSfmlsOwn)
{
    ModelTransforms models;
    std::mt19937 random(99);
    std::uniform_real_distribution<float> coordinate(-5000, 5000), angle(-1000, 1000);
    Circle shape;
    for (int k = 0; k < 2000; ++k) {
        shape.setPosition(coordinate(random), coordinate(random));
        if (k % 3 != 0) {  // many shapes of one angle in a row, as the grids draw them
            shape.setRotation(angle(random));
        }
        ASSERT_EQ(std::memcmp(models.of(shape).getMatrix(), shape.getTransform().getMatrix(), 16 * sizeof(float)), 0) << k;
    }
}

// Each shape that may show is one item: its bounds, whether it can hide what lies under it, and
// the disc inside it in pixels (its narrower scale and the view's pixels a unit taken in).
TEST(Batch, GathersEachShapeThatMayShowAsAnItem)
{
    Batch batch = showBatch(0.5f);
    batch.add(rect({100, 50}, {10, 10}, 0, sf::Color::Red));
    batch.add(rect({100, 50}, {10, 10}, 30, sf::Color(0, 255, 0, 254)));
    batch.add(rect({40, 40}, {-100, 500}, 0, sf::Color::Red));  // wholly left of the picture
    batch.add(circle(std::numeric_limits<float>::quiet_NaN(), 30, {500, 500}, 0, sf::Color::Red));
    Circle squeezed = circle(30, 30, {-40, 540}, 0, sf::Color::Blue);  // reaching in from the left
    squeezed.setScale(2, 0.5f);
    batch.add(squeezed);

    const std::vector<BatchItem>& items = batch.items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].begin, 0u);
    EXPECT_EQ(items[0].end, 12u);
    EXPECT_EQ(items[1].begin, items[0].end);
    EXPECT_EQ(items[2].begin, items[1].end);
    EXPECT_EQ(items[2].end, batch.vertices().size());
    EXPECT_NEAR(items[0].bounds.left, 10.0 / 960 - 1, 1e-6);
    EXPECT_NEAR(items[0].bounds.right, 110.0 / 960 - 1, 1e-6);
    EXPECT_NEAR(items[0].bounds.top, 1 - 10.0 / 540, 1e-6);
    EXPECT_NEAR(items[0].bounds.bottom, 1 - 60.0 / 540, 1e-6);

    EXPECT_TRUE(items[0].hides());
    EXPECT_NEAR(items[0].inscribed, 25 * 0.5, 1e-3);
    EXPECT_FALSE(items[1].opaque);
    EXPECT_FALSE(items[1].hides());
    EXPECT_TRUE(items[2].hides());
    EXPECT_NEAR(items[2].inscribed, 30 * std::cos(3.14159265 / 30) * 0.5 * 0.5, 1e-3);
}

// Grids draw many shapes of one radius or size in a row, and the batch keeps the last fans:
// whatever the order, each shape's triangles are those of a batch that holds it alone.
TEST(Batch, KeptFansNeverChangeATriangle)
{
    const sf::Color fill(200, 100, 50);
    const std::vector<Circle> circles = {circle(10, 5, {100, 100}, 0, fill), circle(10, 7, {300, 100}, 0, fill),
                                         circle(12, 7, {500, 100}, 0, fill), circle(12, 7, {700, 100}, 33, fill),
                                         circle(10, 5, {900, 100}, 0, fill)};
    const std::vector<Rect> rects = {rect({10, 10}, {100, 300}, 0, fill), rect({10, 20}, {300, 300}, 0, fill),
                                     rect({10, 20}, {500, 300}, 45, fill), rect({10, 10}, {700, 300}, 0, fill)};
    Batch batch = showBatch();
    for (std::size_t k = 0; k < 5; ++k) {
        batch.add(circles[k]);
        if (k < rects.size()) {
            batch.add(rects[k]);
        }
    }
    ASSERT_EQ(batch.items().size(), 9u);
    for (std::size_t k = 0; k < 9; ++k) {
        Batch alone = showBatch();
        if (k % 2 == 0) {
            alone.add(circles[k / 2]);
        } else {
            alone.add(rects[k / 2]);
        }
        const BatchItem& item = batch.items()[k];
        ASSERT_EQ(item.end - item.begin, alone.vertices().size()) << k;
        EXPECT_EQ(std::memcmp(batch.vertices().data() + item.begin, alone.vertices().data(),
                              alone.vertices().size() * sizeof(sf::Vertex)),
                  0)
            << k;
        EXPECT_EQ(item.inscribed, alone.items()[0].inscribed) << k;
    }
}

// A shape is left out only where an opaque one drawn after it covers all it may touch and a
// margin; a translucent one, or one covering the shape to its edges and no further, hides nothing.
TEST(Occlusion, HidesOnlyUnderOpaqueCoverWithAMargin)
{
    const Rect small = rect({40, 40}, {500, 500}, 0, sf::Color::Red);
    const Rect large = rect({200, 200}, {500, 500}, 0, sf::Color::Red);
    const struct {
        Rect shape;
        Rect cover;
        bool hides;
    } cases[] = {
        {small, rect({200, 200}, {420, 420}, 0, sf::Color::Blue), true},
        {small, rect({200, 200}, {420, 420}, 0, sf::Color(0, 0, 255, 254)), false},
        {small, rect({40, 40}, {500, 500}, 0, sf::Color::Blue), false},
        {small, rect({300, 300}, {520, 330}, 45, sf::Color::Blue), true},
        // the blocks the large shape may touch, 480 to 720 across and down, and two pixels of
        // margin round them: covered, and just not
        {large, rect({246, 246}, {477, 477}, 0, sf::Color::Blue), true},
        {large, rect({244, 244}, {479, 479}, 0, sf::Color::Blue), false},
        // small covers mark the blocks inside the disc inscribed in them (those of the small
        // shape, 480 to 560, and the margin: 59.4 pixels from its centre at the corners)
        {small, rect({124, 124}, {458, 458}, 0, sf::Color::Blue), true},
        {small, rect({116, 116}, {462, 462}, 0, sf::Color::Blue), false},
    };
    for (const auto& [shape, cover, hides] : cases) {
        Batch batch = showBatch();
        batch.add(shape);
        batch.add(cover);
        const Occlusion occlusion = walk(batch);
        EXPECT_EQ(occlusion.shown(0), !hides) << cover.getSize().x << " " << int(cover.getFillColor().a);
        EXPECT_TRUE(occlusion.shown(1));
    }
    // A circle of many points hides what its disc holds.
    Batch under = showBatch();
    under.add(small);
    under.add(circle(62, 30, {458, 458}, 0, sf::Color::Green));
    EXPECT_FALSE(walk(under).shown(0));
}

// Fine blocks see what small shapes hide together, where no coarse block lies inside one of them;
// a gap between them still shows the shape under it.
TEST(Occlusion, FineBlocksFindWhatSmallShapesHideTogether)
{
    const Rect under = rect({20, 20}, {505, 505}, 0, sf::Color::Red);
    for (const float gap : {0.0f, 16.0f}) {
        Batch batch = showBatch();
        batch.add(under);
        for (const sf::Vector2f centre : {sf::Vector2f(500, 500), {530 + gap, 500}, {500, 530}, {530 + gap, 530}}) {
            batch.add(circle(30, 30, centre - sf::Vector2f(30, 30), 0, sf::Color::Blue));
        }
        EXPECT_TRUE(walk(batch, CoverageMask::coarseBlock).shown(0));
        EXPECT_EQ(walk(batch, CoverageMask::fineBlock).shown(0), gap > 0) << gap;
    }
}

// Two or more consecutive opaque shapes are a stretch, drawn from its last shape to its first
// under a stencil reference of its own; a lone one, translucent ones and everything on a
// target without a stencil, or in painter's order, keep their order. A stencil has only so many
// references: past them, opaque shapes keep their order too.
TEST(DrawPlan, DrawsEachOpaqueStretchLastFirst)
{
    const sf::Color t1(10, 10, 10, 100), t2(20, 20, 20, 100), t3(30, 30, 30, 100);
    const sf::Color o1(1, 0, 0), o2(2, 0, 0), o3(3, 0, 0), o4(4, 0, 0), o5(5, 0, 0), o6(6, 0, 0);
    const std::vector<sf::Color> order = {t1, o1, o2, o3, t2, o4, t3, o5, o6};
    const auto gather = [&order] {
        Batch batch = showBatch();
        for (std::size_t k = 0; k < order.size(); ++k) {
            batch.add(rect({50, 50}, {100.0f * static_cast<float>(k), 100}, 0, order[k]));
        }
        return batch;
    };
    FakeTarget target;
    DrawPlan plan;
    Batch batch = gather();
    plan.make(batch, Drawing::cheapest, showViewport, target);
    EXPECT_EQ(plan.stretches(), 2);
    ASSERT_EQ(plan.calls().size(), 4u);
    const std::vector<std::vector<sf::Color>> calls = {{t1}, {o3, o2, o1}, {t2, o4, t3}, {o6, o5}};
    const int stretches[] = {-1, 0, -1, 1};
    for (std::size_t c = 0; c < calls.size(); ++c) {
        EXPECT_EQ(shapesOf(plan, plan.calls()[c]), calls[c]) << c;
        EXPECT_EQ(plan.calls()[c].stretch, stretches[c]) << c;
    }
    for (const auto& [stencil, drawing] : {std::pair(false, Drawing::cheapest), std::pair(true, Drawing::painter)}) {
        target.stencil = stencil;
        batch = gather();
        plan.make(batch, drawing, showViewport, target);
        EXPECT_EQ(plan.stretches(), 0);
        ASSERT_EQ(plan.calls().size(), 1u);
        EXPECT_EQ(shapesOf(plan, plan.calls()[0]), order);
    }

    target.stencil = true;
    batch = showBatch();
    const int pairs = DrawPlan::stencilReferences + 20;
    for (int k = 0; k < pairs; ++k) {
        batch.add(rect({50, 50}, {10, 10}, 0, sf::Color(0, 0, 0)));
        batch.add(rect({50, 50}, {10, 10}, 0, sf::Color(0, 0, 0)));
        batch.add(rect({50, 50}, {10, 10}, 0, sf::Color(0, 0, 0, 100)));
    }
    plan.make(batch, Drawing::cheapest, showViewport, target);
    EXPECT_EQ(plan.stretches(), DrawPlan::stencilReferences);
    int next = 0;
    for (const DrawCall& call : plan.calls()) {
        if (call.stretch >= 0) {
            EXPECT_EQ(call.stretch, next++);
        }
    }
    EXPECT_EQ(next, DrawPlan::stencilReferences);
    EXPECT_EQ(plan.calls().back().stretch, -1);
    EXPECT_EQ(plan.calls().back().end, static_cast<std::size_t>(pairs) * 3 * 12);
}

// Drawn whole, a hidden shape is left out and the gap it leaves closed up, within a stretch too.
TEST(DrawPlan, ClosesUpWhatIsLeftOutOfAWholeDrawing)
{
    const sf::Color glass(0, 0, 255, 100), under(255, 0, 0), cover(0, 255, 0), after(255, 255, 0);
    Batch batch = showBatch();
    batch.add(rect({40, 40}, {1500, 500}, 0, glass));
    batch.add(rect({40, 40}, {500, 500}, 0, under));
    batch.add(rect({200, 200}, {420, 420}, 0, cover));
    batch.add(rect({30, 30}, {1000, 900}, 0, after));
    FakeTarget target;
    DrawPlan plan;
    plan.make(batch, Drawing::whole, showViewport, target);
    EXPECT_FALSE(plan.byTiles());
    ASSERT_EQ(plan.calls().size(), 2u);
    EXPECT_EQ(shapesOf(plan, plan.calls()[0]), std::vector<sf::Color>{glass});
    EXPECT_EQ(shapesOf(plan, plan.calls()[1]), (std::vector<sf::Color>{after, cover}));
    EXPECT_EQ(plan.calls()[1].end, 3u * 12u);
    EXPECT_EQ(plan.fill().shownItems, 3u);
}

// Tile by tile, a picture-wide shape half covered later is drawn in the tiles of the other half
// only, and of a shape of many triangles each tile gets those that reach into it and a pixel
// round it. The tiles are 160 pixels, the last row what is left of the picture.
TEST(DrawPlan, GivesEachTileWhatShowsInIt)
{
    const sf::Color red(255, 0, 0), blue(0, 0, 255), glass(0, 255, 0, 90);
    Batch batch = showBatch();
    batch.add(rect({1920, 1080}, {0, 0}, 0, red));
    batch.add(rect({970, 1100}, {-10, -10}, 0, blue));
    batch.add(circle(300, 60, {660, 240}, 0, glass));
    FakeTarget target;
    DrawPlan plan;
    plan.make(batch, Drawing::tiles, showViewport, target);
    ASSERT_TRUE(plan.byTiles());
    EXPECT_LT(plan.fill().tiled, plan.fill().whole - 0.4 * 1920 * 1080);
    std::size_t glassTriangles = 0;
    for (const TileDraw& tile : plan.tiles()) {
        const PixelRect& place = tile.rect;
        EXPECT_EQ(place.left % 160, 0);
        EXPECT_EQ(place.bottom % 160, 0);
        EXPECT_EQ(place.width, 160);
        EXPECT_EQ(place.height, place.bottom == 960 ? 120 : 160);
        std::set<sf::Uint32> shapes;
        for (std::size_t c = tile.firstCall; c < tile.endCall; ++c) {
            const DrawCall& call = plan.calls()[c];
            for (std::size_t v = call.begin; v < call.end; v += 3) {
                const sf::Color colour = plan.vertices()[v].color;
                shapes.insert(colour.toInteger());
                if (colour != glass) {
                    continue;  // of few triangles: sent whole
                }
                ++glassTriangles;
                float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
                for (std::size_t corner = v; corner < v + 3; ++corner) {
                    const sf::Vector2f p = plan.vertices()[corner].position;
                    left = std::min(left, (p.x + 1) * 960);
                    right = std::max(right, (p.x + 1) * 960);
                    bottom = std::min(bottom, (p.y + 1) * 540);
                    top = std::max(top, (p.y + 1) * 540);
                }
                EXPECT_GE(right, static_cast<float>(place.left - 1) - 0.01f);
                EXPECT_LE(left, static_cast<float>(place.left + place.width + 1) + 0.01f);
                EXPECT_GE(top, static_cast<float>(place.bottom - 1) - 0.01f);
                EXPECT_LE(bottom, static_cast<float>(place.bottom + place.height + 1) + 0.01f);
            }
        }
        if (place.left >= 960) {
            EXPECT_EQ(shapes.count(red.toInteger()), 1u) << place.left << " " << place.bottom;
        } else if (place.left + place.width < 950) {
            EXPECT_EQ(shapes.count(red.toInteger()), 0u) << place.left << " " << place.bottom;
        }
    }
    // The circle lies in twenty tiles: cut, each of its triangles goes only to those it crosses.
    EXPECT_GE(glassTriangles, 60u);
    EXPECT_LT(glassTriangles, 10u * 60u);
}

// The search for what is hidden is made where it pays: always when asked for a way that leaves
// out the hidden, for the cheapest way when large opaque shapes pile up, or on a rasterizer that
// runs on the processor, where small ones piled up are searched over fine blocks.
TEST(DrawPlan, SearchesForWhatIsHiddenWhereItPays)
{
    const auto smallPile = [] {
        Batch batch = showBatch();
        batch.add(rect({20, 20}, {505, 505}, 0, sf::Color::Red));
        for (const sf::Vector2f corner : {sf::Vector2f(470, 470), {500, 470}, {470, 500}, {500, 500}}) {
            batch.add(circle(30, 30, corner, 0, sf::Color::Blue));
        }
        return batch;
    };
    const std::size_t pileVertices = 12 + 4 * 90;
    FakeTarget gpu;
    FakeTarget processor;
    processor.processor = true;
    DrawPlan plan;
    for (const auto& [target, drawing, drawn] :
         {std::tuple(&gpu, Drawing::cheapest, pileVertices), std::tuple(&processor, Drawing::cheapest, pileVertices - 12),
          std::tuple(&gpu, Drawing::whole, pileVertices), std::tuple(&processor, Drawing::painter, pileVertices)}) {
        Batch batch = smallPile();
        plan.make(batch, drawing, showViewport, *target);
        EXPECT_EQ(plan.calls().back().end, drawn) << static_cast<int>(drawing) << " " << target->processor;
    }

    Batch bulky = showBatch();
    bulky.add(rect({20, 20}, {505, 505}, 0, sf::Color::Red));
    bulky.add(rect({1920, 1080}, {0, 0}, 0, sf::Color::Green));
    bulky.add(rect({1940, 1100}, {-10, -10}, 0, sf::Color::Blue));  // covering the edges' blocks too
    plan.make(bulky, Drawing::cheapest, showViewport, gpu);
    EXPECT_EQ(plan.fill().shownItems, 1u);
    EXPECT_EQ(plan.calls().back().end, 12u);
}

} // namespace
} // namespace tolva

// The pictures as the build staged them, checked against how the scenes use them.

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Transform.hpp>

#include "driver/Show.h"
#include "render/Recorder.h"
#include "scenes/SpiralGridFormulas.h"
#include "support/SceneMoments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Figure {
    const char* path;
    std::vector<sf::Transform> placements;
};

unsigned countAlpha(const sf::Image& image, sf::Uint8 alpha)
{
    unsigned n = 0;
    for (unsigned y = 0; y < image.getSize().y; ++y) {
        for (unsigned x = 0; x < image.getSize().x; ++x) {
            n += image.getPixel(x, y).a == alpha;
        }
    }
    return n;
}

// A figure is mostly opaque, mostly clear around it, and every opaque pixel lands in the window.
void expectInsideTheWindow(const Figure& f)
{
    sf::Image image;
    ASSERT_TRUE(image.loadFromFile(f.path)) << f.path;
    const sf::Vector2u size = image.getSize();
    EXPECT_GT(countAlpha(image, 255), size.x * size.y / 5) << f.path;
    EXPECT_GT(countAlpha(image, 0), size.x * size.y / 5) << f.path;
    EXPECT_EQ(image.getPixel(0, 0).a + image.getPixel(size.x - 1, size.y - 1).a, 0) << f.path;
    for (unsigned y = 0; y < size.y; ++y) {
        for (unsigned x = 0; x < size.x; ++x) {
            for (int corner = 0; corner < 4 && image.getPixel(x, y).a != 0; ++corner) {
                for (const sf::Transform& t : f.placements) {
                    const sf::Vector2f p = t.transformPoint(static_cast<float>(x + (corner & 1u)),
                                                            static_cast<float>(y + (corner >> 1)));
                    ASSERT_TRUE(p.x >= 0.0f && p.x <= 1920.0f && p.y >= 0.0f && p.y <= 1080.0f)
                        << f.path << ": pixel (" << x << ", " << y << ") lands at (" << p.x << ", " << p.y << ")";
                }
            }
        }
    }
}

// Where the show's own steps put a sprite: its transform as the recorder saw it drawn.
sf::Transform drawnAt(const tolva::SpriteOp& op)
{
    return sf::Transform().translate(op.position).rotate(op.rotation).scale(op.scale);
}

// The title, the dreamer and the frog, at every place the scenes give them, as their own code
// gives it: scene 1's title moves with x and its y scale, linearly for any one point, so the
// extremes of both over the time it shows suffice; the characters stand still while shown.
TEST(Pictures, FiguresStandOnClearGroundInsideTheWindowWhereverTheScenesPutThem)
{
    if (!tolva::displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    tolva::ManualTimeSource time;
    tolva::ShowState state(time);
    tolva::Recorder recorder;
    tolva::Show show(state, recorder);
    const auto spriteOf = [&](int scene, const char* settings) {
        recorder.forget();
        tolva::testing::playMoment(show, time, {"", scene, settings}, recorder);
        const std::vector<tolva::SpriteOp> sprites = recorder.only<tolva::SpriteOp>();
        EXPECT_EQ(sprites.size(), 1u) << settings;
        return sprites.empty() ? tolva::SpriteOp{} : sprites.front();
    };
    const tolva::SpriteOp title = spriteOf(1, "countdown1=30 sceneTime=25");
    float leftmost = 1e9f, rightmost = -1e9f, shortest = 1e9f, tallest = -1e9f;
    for (int k = 1; k < 8000; ++k) {  // 21 < sceneTime < 29, where the title shows
        const tolva::spiral::TitleTransform t = tolva::spiral::titleTransform(21.0f + static_cast<float>(k) * 0.001f);
        leftmost = std::min(leftmost, t.position.x);
        rightmost = std::max(rightmost, t.position.x);
        shortest = std::min(shortest, t.scale.y);
        tallest = std::max(tallest, t.scale.y);
    }
    std::vector<sf::Transform> titlePlaces;
    for (float x : {leftmost, rightmost}) {
        for (float scaleY : {shortest, tallest}) {
            tolva::SpriteOp at = title;
            at.position.x = x;
            at.scale.y = scaleY;
            titlePlaces.push_back(drawnAt(at));
        }
    }
    const sf::Transform dreamer = drawnAt(spriteOf(2, "countdown1=-0.01 countdown2=20 scene2Pending=0 sceneTime=16"));
    const sf::Transform frog = drawnAt(spriteOf(6, "countdown5=-0.01 countdown6=18"));
    for (const Figure& f : {Figure{"graphics/demoname.png", titlePlaces},
                            Figure{"graphics/personOne1.png", {dreamer}},
                            Figure{"graphics/personTwo2.png", {frog}}}) {
        expectInsideTheWindow(f);
    }
}

TEST(Pictures, PondFillsTheWindowForTheWholeSlide)
{
    sf::Image pond;
    ASSERT_TRUE(pond.loadFromFile("graphics/PirtasFrogs.png"));
    const sf::Vector2u size = pond.getSize();
    EXPECT_TRUE(size.x <= 4096u && size.y <= 4096u) << "one texture on common graphics cards";
    // Scene 8 draws it at 0.75 on black from y = -50 up to about y = -1900: at both ends, and so
    // in between, it covers the whole window, and nothing of it is see-through.
    EXPECT_GE(static_cast<float>(size.x) * 0.75f, 1920.0f);
    EXPECT_GE(-1905.0f + static_cast<float>(size.y) * 0.75f, 1080.0f);
    EXPECT_EQ(countAlpha(pond, 255), size.x * size.y);
}

} // namespace

#include "driver/Show.h"
#include "render/Recorder.h"
#include "render/FrameTape.h"
#include "render/ShapeGeometry.h"
#include "render/TextGeometry.h"
#include "support/PixelCompare.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>

namespace tolva {
namespace {

// The fan the batch draws is the one SFML builds: same points, same centre, bit for bit.
TEST(ShapeGeometry, CircleFanIsSfmlsOwn)
{
    LocalFan fan;
    for (std::size_t count : {3u, 6u, 7u, 10u, 12u, 25u, 30u}) {
        for (float radius : {0.0f, 1.5f, 15.0f, -7.25f, 123456.7f, 3.0e8f}) {
            Circle circle;
            circle.setRadius(radius);
            circle.setPointCount(count);
            circleFan(circle, fan);
            const sf::CircleShape reference(radius, count);
            ASSERT_EQ(fan.points.size(), count);
            for (std::size_t k = 0; k < count; ++k) {
                EXPECT_EQ(fan.points[k], reference.getPoint(k)) << count << " " << radius << " " << k;
            }
            const sf::FloatRect bounds = reference.getLocalBounds();
            EXPECT_EQ(fan.centre.x, bounds.left + bounds.width / 2);
            EXPECT_EQ(fan.centre.y, bounds.top + bounds.height / 2);
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
        if (k % 3 != 0) {  // runs of one angle, as the grids draw them
            shape.setRotation(angle(random));
        }
        const sf::Transform model = models.of(shape);
        const float* mine = model.getMatrix();
        const float* sfml = shape.getTransform().getMatrix();
        for (int e = 0; e < 16; ++e) {
            ASSERT_EQ(std::memcmp(&mine[e], &sfml[e], sizeof(float)), 0) << k << " " << e;
        }
    }
}

// The staged fonts, loaded once for every drawing of the texts' tests.
struct Fonts {
    sf::Font noot;
    sf::Font tox;
    sf::Font brevin;
    bool loaded = false;
};

const Fonts& fonts()
{
    static const std::unique_ptr<Fonts> loaded = [] {
        auto f = std::make_unique<Fonts>();
        f->loaded = f->noot.loadFromFile("fonts/Noot.ttf") && f->tox.loadFromFile("fonts/tox.ttf")
                    && f->brevin.loadFromFile("fonts/brevin.ttf");
        return f;
    }();
    return *loaded;
}

sf::Color colour(std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    return {static_cast<sf::Uint8>(byte(random)), static_cast<sf::Uint8>(byte(random)),
            static_cast<sf::Uint8>(byte(random)), static_cast<sf::Uint8>(byte(random))};
}

// Texts of every kind the show draws and more, between shapes, some off the picture or just
// reaching in (left out only when wholly beyond an edge).
void drawTextsAndShapes(Canvas& canvas)
{
    const Fonts& f = fonts();
    std::mt19937 random(77);
    std::uniform_real_distribution<float> x(-200, 2100), y(-200, 1250), angle(-400, 400), scale(0.3f, 2.5f);
    canvas.clear(sf::Color(40, 20, 60));

    const sf::Font* const faces[] = {&f.noot, &f.tox, &f.brevin};
    const char* const strings[] = {"T", "o", "W", "Tolva greets the world", "AVATAR kerning, Ty.",
                                   "two\nlines\tand a tab", "  spaced  "};
    for (int k = 0; k < 120; ++k) {
        if (k % 3 != 1) {
            Rect rect;
            rect.setSize({scale(random) * 40.0f, scale(random) * 30.0f});
            rect.setPosition(x(random), y(random));
            rect.setRotation(angle(random));
            rect.setFillColor(colour(random));
            canvas.draw(rect, {"test", k, 0});
            Circle circle;
            circle.setRadius(scale(random) * 25.0f);
            circle.setPointCount(static_cast<std::size_t>(3 + k % 28));
            circle.setPosition(x(random), y(random));
            circle.setRotation(angle(random));
            circle.setFillColor(colour(random));
            canvas.draw(circle, {"test", k, 1});
        }
        sf::Text text;
        text.setFont(*faces[k % 3]);
        text.setString(k < 40 ? sf::String(strings[k % 3]) : sf::String(strings[k % 7]));
        text.setCharacterSize(static_cast<unsigned>(k % 4 == 0 ? 60 : 20 + (k * 7) % 90));
        text.setFillColor(colour(random));
        text.setOutlineColor(colour(random));
        text.setOutlineThickness(k % 5 == 0 ? 0.0f : (k % 5 == 1 ? 2.1f : 0.5f * static_cast<float>(k % 7)));
        text.setPosition(x(random), y(random));
        text.setRotation(k % 4 == 0 ? 0.0f : angle(random));
        text.setScale(k % 6 == 0 ? sf::Vector2f(1, 1) : sf::Vector2f(scale(random), scale(random)));
        if (k % 9 == 0) {
            text.setOrigin(25.0f, 40.0f);
        }
        if (k % 11 == 0) {
            text.setStyle(sf::Text::Bold | sf::Text::Italic);
        } else if (k % 13 == 0) {
            text.setStyle(sf::Text::Italic);
        } else if (k % 17 == 0) {
            text.setStyle(sf::Text::Underlined);  // drawn by SFML itself between the batch's runs
        }
        if (k % 10 == 3) {
            text.setLetterSpacing(1.6f);
            text.setLineSpacing(1.3f);
        }
        canvas.draw(text, {"test", k});
    }
    // Shapes wholly beyond each edge, and reaching in by a little.
    const sf::Vector2f places[] = {{-80, 500}, {1990, 500}, {900, -90}, {900, 1150},
                                   {-48, 300}, {1911, 700}, {400, -28}, {1500, 1079}};
    for (const sf::Vector2f place : places) {
        Rect rect;
        rect.setSize({50, 30});
        rect.setPosition(place);
        rect.setRotation(10.0f);
        rect.setFillColor(sf::Color(250, 200, 30, 200));
        canvas.draw(rect, {"edge", 0, 0});
        Circle circle;
        circle.setRadius(30);
        circle.setPointCount(9);
        circle.setPosition(place.x, place.y - 40.0f);
        circle.setFillColor(sf::Color(30, 200, 250, 220));
        canvas.draw(circle, {"edge", 1, 0});
    }
}

TEST(BatchCanvas, DrawsTheSameTextsAsSfml)
{
    ASSERT_TRUE(fonts().loaded);
    FrameTape tape;
    drawTextsAndShapes(tape);
    EXPECT_EQ(testing::differingPixels(testing::rasterize(tape, testing::Way::direct),
                                       testing::rasterize(tape, testing::Way::tiled)), 0u);
}

// One draw call per run of one texture: shapes, texts of one page, shapes again; a culled shape
// does not cut a run, and a text SFML draws itself counts its own draws.
TEST(BatchCanvas, CountsOneDrawCallPerRun)
{
    ASSERT_TRUE(fonts().loaded);
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(320, 200));
    BatchCanvas batch(&target, nullptr);
    Canvas& canvas = batch;
    canvas.clear(sf::Color::Black);
    Rect rect;
    rect.setSize({10, 10});
    canvas.draw(rect, {"r", 0, 0});
    canvas.draw(rect, {"r", 1, 0});
    sf::Text letter("A", fonts().tox, 30);
    letter.setOutlineThickness(2.1f);
    canvas.draw(letter, {"l", 0});
    letter.setString("B");
    canvas.draw(letter, {"l", 1});
    Rect away = rect;
    away.setPosition(-50, -50);
    canvas.draw(away, {"r", 2, 0});
    canvas.draw(letter, {"l", 2});
    EXPECT_EQ(batch.drawCalls(), 0u);  // nothing has reached the target yet
    canvas.draw(rect, {"r", 3, 0});
    letter.setString(" ");
    canvas.draw(letter, {"l", 3});  // nothing to draw: the shapes' run goes on
    canvas.draw(rect, {"r", 4, 0});
    letter.setString("C");
    letter.setCharacterSize(31);
    canvas.draw(letter, {"l", 4});
    letter.setStyle(sf::Text::Underlined);
    canvas.draw(letter, {"l", 5});
    EXPECT_EQ(batch.drawCalls(), 4u + 2u);  // shapes, page 30, shapes, page 31; outline and fill
    canvas.display();
    EXPECT_EQ(batch.drawCalls(), 0u);
    EXPECT_EQ(batch.lastFrameDrawCalls(), 6u);

    EXPECT_EQ(directTextDraws(sf::Text()), 0u);
    EXPECT_EQ(directTextDraws(sf::Text("  ", fonts().tox, 30)), 0u);
    EXPECT_EQ(directTextDraws(sf::Text("a", fonts().tox, 30)), 1u);
}


// Opaque shapes covering the whole picture among everything else: huge and negative radii, not a
// number, infinities, alpha just below opaque, texts and a sprite before and after.
void drawOverCovers(Canvas& canvas)
{
    std::mt19937 random(4242);
    std::uniform_real_distribution<float> x(-300, 2200), y(-300, 1400), angle(-720, 720), huge(900, 1e7f);
    std::uniform_int_distribution<int> byte(0, 255), points(3, 30), kind(0, 9);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    canvas.clear(sf::Color(10, 60, 20));
    sf::Text text("Tolva", fonts().noot, 80);
    text.setOutlineThickness(2.1f);
    sf::Image picture;
    picture.create(64, 48, sf::Color(200, 40, 90, 180));
    sf::Texture texture;
    texture.loadFromImage(picture);
    sf::Sprite sprite(texture);
    for (int k = 0; k < 1500; ++k) {
        const int what = kind(random);
        sf::Color fill = colour(random);
        fill.a = what < 6 ? 255 : (what == 6 ? 254 : fill.a);
        Circle circle;
        circle.setPointCount(static_cast<std::size_t>(points(random)));
        circle.setRotation(angle(random));
        circle.setFillColor(fill);
        if (k % 7 == 0) {
            // Centred near the picture and huge: covers it, or nearly (its edge crossing the picture).
            const float radius = k % 21 == 0 ? -huge(random) : huge(random);
            circle.setRadius(radius);
            circle.setPosition(960.0f - radius + x(random) * 0.2f, 540.0f - radius + y(random) * 0.2f);
        } else {
            circle.setRadius(k % 13 == 0 ? -y(random) * 0.05f : y(random) * 0.05f);
            circle.setPosition(x(random), y(random));
        }
        if (k % 97 == 0) {
            circle.setPosition(k % 2 == 0 ? nan : inf, 500);
        }
        if (k % 101 == 0) {
            circle.setRadius(k % 2 == 0 ? nan : -inf);
        }
        canvas.draw(circle, {"cover", k, 0});
        if (k % 11 == 0) {
            Rect rect;
            rect.setSize({huge(random), k % 33 == 0 ? 1e9f : huge(random)});
            rect.setPosition(-x(random), -y(random));
            rect.setRotation(k % 22 == 0 ? 0.0f : angle(random) * 0.01f);
            rect.setFillColor(fill);
            canvas.draw(rect, {"cover", k, 1});
        }
        if (k % 150 == 0) {
            text.setPosition(x(random), y(random));
            text.setFillColor(colour(random));
            canvas.draw(text, {"text", k});
        }
        if (k % 400 == 0) {
            sprite.setPosition(x(random), y(random));
            canvas.draw(sprite, {"sprite", k});
        }
    }
}

TEST(BatchCanvas, LeavingOutHiddenShapesChangesNoPixel)
{
    ASSERT_TRUE(fonts().loaded);
    FrameTape tape;
    drawOverCovers(tape);
    EXPECT_EQ(testing::differingPixels(testing::rasterize(tape, testing::Way::direct),
                                       testing::rasterize(tape, testing::Way::tiled)), 0u);
    for (const sf::Vector2u size : {sf::Vector2u(1920, 1080), sf::Vector2u(1280, 1024)}) {
        unsigned painterCalls = 0;
        unsigned tiledCalls = 0;
        const sf::Image painter = testing::rasterize(tape, testing::Way::painter, size, &painterCalls);
        const sf::Image tiled = testing::rasterize(tape, testing::Way::tiled, size, &tiledCalls);
        EXPECT_GT(tiledCalls, painterCalls + 50) << "drawn tile by tile";
        EXPECT_EQ(testing::differingPixels(painter, tiled), 0u) << size.x << "x" << size.y;
    }
}

// Real frames of every scene drawn in painter's order and drawn as the show draws them, read back
// and compared byte for byte. The show is built once for all moments.
class SceneFrames : public ::testing::TestWithParam<testing::SceneMoment> {
protected:
    static void SetUpTestSuite()
    {
        if (displayAvailable()) {
            world = new World;
        }
    }
    static void TearDownTestSuite()
    {
        delete world;
        world = nullptr;
    }

    struct World {
        ManualTimeSource time;
        ShowState state{time};
        Recorder deck{false};
        Show show{state, deck};
    };
    static World* world;
};
SceneFrames::World* SceneFrames::world = nullptr;

// SFML shape by shape, the batch in painter's order and the batch as the show draws it: one picture.
TEST_P(SceneFrames, AreThoseOfSfmlShapeByShape)
{
    if (world == nullptr) {
        GTEST_SKIP() << "needs an X display";
    }
    FrameTape tape;
    testing::playMoment(world->show, world->time, GetParam(), tape);
    const sf::Image direct = testing::rasterize(tape, testing::Way::direct);
    const sf::Image painter = testing::rasterize(tape, testing::Way::painter);
    const sf::Image shown = testing::rasterize(tape, testing::Way::tiled);
    EXPECT_EQ(testing::differingPixels(direct, painter), 0u);
    EXPECT_EQ(testing::differingPixels(painter, shown), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryScene, SceneFrames, ::testing::ValuesIn(testing::sceneMoments()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tolva

#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/DirectCanvas.h"
#include "render/FrameTape.h"
#include "render/Letterbox.h"
#include "render/Recorder.h"
#include "support/MakeShapes.h"
#include "support/SceneMoments.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

namespace tolva {
namespace {

using testing::circle;
using testing::rect;

// A drawing's tape rendered shape by shape through SFML or through the batched canvas (in
// painter's order, or leaving out what is hidden: shapes whole, tile by tile, or the cheaper),
// read back and compared byte for byte.
bool samePixels(const sf::Image& a, const sf::Image& b)
{
    return a.getSize() == b.getSize()
           && std::memcmp(a.getPixelsPtr(), b.getPixelsPtr(), 4 * std::size_t{a.getSize().x} * a.getSize().y) == 0;
}

enum class Way { direct, painter, whole, tiles, cheapest };

// On a target of another size the show's picture is letterboxed, as on a screen without 1920x1080.
// A target without a stencil buffer takes the settings SFML gives by default.
sf::Image rasterize(const FrameTape& tape, Way way, sf::Vector2u size = {1920, 1080},
                           unsigned* drawCalls = nullptr, bool stencil = true)
{
    sf::RenderTexture target;
    target.create(size.x, size.y, stencil ? BatchCanvas::targetSettings() : sf::ContextSettings());
    fitShowView(target);
    if (way == Way::direct) {
        DirectCanvas canvas(target);
        tape.replay(canvas);
    } else {
        BatchCanvas canvas(&target, nullptr);
        const Drawing drawings[] = {Drawing::painter, Drawing::whole, Drawing::tiles, Drawing::cheapest};
        canvas.setDrawing(drawings[static_cast<int>(way) - 1]);
        tape.replay(canvas);
        canvas.display();
        if (drawCalls != nullptr) {
            *drawCalls = canvas.lastFrameDrawCalls();
        }
    }
    target.display();
    return target.getTexture().copyToImage();
}

// The staged fonts, loaded once for every drawing of the texts' tests.
struct Fonts {
    sf::Font noot, tox, brevin;
    bool loaded = noot.loadFromFile("fonts/Noot.ttf") && tox.loadFromFile("fonts/tox.ttf")
                  && brevin.loadFromFile("fonts/brevin.ttf");
};

const Fonts& fonts()
{
    static const Fonts loaded;
    return loaded;
}

sf::Color colour(std::mt19937& random) { return sf::Color(static_cast<sf::Uint32>(random())); }

// Opaque shapes covering the whole picture among everything else: huge and negative radii, not a
// number, infinities, alpha just below opaque, texts and a sprite before and after. Then texts of
// every kind the show draws and more, between shapes, some off the picture or just reaching in
// (left out only when wholly beyond an edge).
void drawCoversThenTexts(Canvas& canvas)
{
    std::mt19937 random(4242);
    std::uniform_real_distribution<float> x(-300, 2200), y(-300, 1400), angle(-720, 720), huge(900, 1e7f),
        scale(0.3f, 2.5f);
    std::uniform_int_distribution<int> points(3, 30), kind(0, 9);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    canvas.clear(sf::Color(10, 60, 20));
    sf::Text cover("Tolva", fonts().noot, 80);
    cover.setOutlineThickness(2.1f);
    sf::Image picture;
    picture.create(64, 48, sf::Color(200, 40, 90, 180));
    sf::Texture texture;
    texture.loadFromImage(picture);
    sf::Sprite sprite(texture);
    for (int k = 0; k < 1500; ++k) {
        const int what = kind(random);
        sf::Color fill = colour(random);
        fill.a = what < 6 ? 255 : (what == 6 ? 254 : fill.a);
        Circle shape = circle(0, static_cast<std::size_t>(points(random)), {}, angle(random), fill);
        if (k % 7 == 0) {
            // Centred near the picture and huge: covers it, or nearly (its edge crossing the picture).
            const float radius = k % 21 == 0 ? -huge(random) : huge(random);
            shape.setRadius(radius);
            shape.setPosition(960.0f - radius + x(random) * 0.2f, 540.0f - radius + y(random) * 0.2f);
        } else {
            shape.setRadius(k % 13 == 0 ? -y(random) * 0.05f : y(random) * 0.05f);
            shape.setPosition(x(random), y(random));
        }
        if (k % 97 == 0) {
            shape.setPosition(k % 2 == 0 ? nan : inf, 500);
        }
        if (k % 101 == 0) {
            shape.setRadius(k % 2 == 0 ? nan : -inf);
        }
        canvas.draw(shape, {"cover", k, 0});
        if (k % 11 == 0) {
            const sf::Vector2f size(huge(random), k % 33 == 0 ? 1e9f : huge(random));
            const sf::Vector2f place(-x(random), -y(random));
            canvas.draw(rect(size, place, k % 22 == 0 ? 0.0f : angle(random) * 0.01f, fill), {"cover", k, 1});
        }
        if (k % 150 == 0) {
            cover.setPosition(x(random), y(random));
            cover.setFillColor(colour(random));
            canvas.draw(cover, {"text", k});
        }
        if (k % 400 == 0) {
            sprite.setPosition(x(random), y(random));
            canvas.draw(sprite, {"sprite", k});
        }
    }

    const sf::Font* const faces[] = {&fonts().noot, &fonts().tox, &fonts().brevin};
    const char* const strings[] = {"T", "o", "W", "Tolva greets the world", "AVATAR kerning, Ty.",
                                   "two\nlines\tand a tab", "  spaced  "};
    for (int k = 0; k < 120; ++k) {
        if (k % 3 != 1) {
            const sf::Vector2f size(scale(random) * 40.0f, scale(random) * 30.0f);
            canvas.draw(rect(size, {x(random), y(random)}, angle(random), colour(random)), {"test", k, 0});
        }
        sf::Text text(k < 40 ? strings[k % 3] : strings[k % 7], *faces[k % 3],
                      static_cast<unsigned>(k % 4 == 0 ? 60 : 20 + (k * 7) % 90));
        text.setFillColor(colour(random));
        text.setOutlineColor(colour(random));
        text.setOutlineThickness(k % 5 == 0 ? 0.0f : (k % 5 == 1 ? 2.1f : 0.5f * static_cast<float>(k % 7)));
        text.setPosition(x(random), y(random));
        text.setRotation(k % 4 == 0 ? 0.0f : angle(random));
        text.setScale(k % 6 == 0 ? sf::Vector2f(1, 1) : sf::Vector2f(scale(random), scale(random)));
        text.setOrigin(k % 9 == 0 ? sf::Vector2f(25, 40) : sf::Vector2f());
        // Underlined is drawn by SFML itself between the batch's draw calls.
        text.setStyle(k % 11 == 0 ? sf::Text::Bold | sf::Text::Italic
                                  : (k % 13 == 0 ? sf::Text::Italic : (k % 17 == 0 ? sf::Text::Underlined : 0)));
        text.setLetterSpacing(k % 10 == 3 ? 1.6f : 1.0f);
        text.setLineSpacing(k % 10 == 3 ? 1.3f : 1.0f);
        canvas.draw(text, {"test", k});
    }
    // Shapes wholly beyond each edge, and reaching in by a little.
    for (const sf::Vector2f place : {sf::Vector2f(-80, 500), {1990, 500}, {900, -90}, {900, 1150},
                                     {-48, 300}, {1911, 700}, {400, -28}, {1500, 1079}}) {
        canvas.draw(rect({50, 30}, place, 10.0f, sf::Color(250, 200, 30, 200)), {"edge", 0, 0});
        canvas.draw(circle(30, 9, place - sf::Vector2f(0, 40), 0, sf::Color(30, 200, 250, 220)), {"edge", 1, 0});
    }
}

// SFML shape by shape, the batch in painter's order and the batch leaving out what is hidden
// every way it can (the cheapest also on a target without a stencil, where its opaque stretches
// keep their order): one picture, at the show's size and letterboxed.
TEST(BatchCanvas, DrawsTheSamePixelsAsSfml)
{
    ASSERT_TRUE(fonts().loaded);
    FrameTape tape;
    drawCoversThenTexts(tape);
    for (const sf::Vector2u size : {sf::Vector2u(1920, 1080), sf::Vector2u(1280, 1024)}) {
        unsigned painterCalls = 0;
        unsigned tiledCalls = 0;
        const sf::Image painter = rasterize(tape, Way::painter, size, &painterCalls);
        EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::tiles, size, &tiledCalls)));
        EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::whole, size)));
        EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::cheapest, size)));
        EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::cheapest, size, nullptr, false)));
        if (size == sf::Vector2u(1920, 1080)) {  // SFML alone leaves the bars to the clear colour
            EXPECT_TRUE(samePixels(rasterize(tape, Way::direct), painter));
        }
        EXPECT_GT(tiledCalls, painterCalls + 50) << "drawn tile by tile";
    }
}

// Opaque stretches drawn last first under the stencil, each pixel by the shape SFML would have
// left on top, over more stretches in a frame than the stencil has references (a sprite between
// batches, translucent shapes between stretches).
TEST(BatchCanvas, PaintsWhatSfmlLeavesOnTopOfMoreStretchesThanTheStencilHolds)
{
    sf::Texture texture;
    ASSERT_TRUE(texture.create(16, 16));
    sf::Sprite sprite(texture);
    sprite.setPosition(900, 500);
    FrameTape tape;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> x(-100, 1900), y(-100, 1060), side(4, 160);
    tape.clear(sf::Color(20, 40, 60));
    for (int batch = 0; batch < 3; ++batch) {
        for (int k = 0; k < 200; ++k) {
            sf::Color translucent = colour(random);
            translucent.a = 100;
            for (int opaque = 0; opaque < 2; ++opaque) {
                const sf::Color fill(static_cast<sf::Uint8>(random()), static_cast<sf::Uint8>(random()), static_cast<sf::Uint8>(random()));
                tape.draw(rect({side(random), side(random)}, {x(random), y(random)}, 0.0f, fill), {"r", k, opaque});
            }
            tape.draw(circle(side(random), 7, {x(random), y(random)}, 0.0f, translucent), {"c", k, 0});
        }
        tape.draw(sprite, {"s", batch});
    }
    const sf::Image painter = rasterize(tape, Way::painter);
    EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::whole)));
    EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::tiles)));
}

// One draw call for each change of texture: shapes, texts of one page, shapes again; a culled
// shape does not cut a call, and a text SFML draws itself counts its own draws.
TEST(BatchCanvas, CountsADrawCallForEachChangeOfTexture)
{
    ASSERT_TRUE(fonts().loaded);
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(320, 200));
    BatchCanvas batch(&target, nullptr);
    Canvas& canvas = batch;
    const Rect square = rect({10, 10}, {}, 0, sf::Color::White);
    sf::Text letter("A", fonts().tox, 30);
    letter.setOutlineThickness(2.1f);
    canvas.clear(sf::Color::Black);
    canvas.draw(square, {"r", 0, 0});
    canvas.draw(letter, {"l", 0});
    canvas.draw(rect({10, 10}, {-50, -50}, 0, sf::Color::White), {"r", 1, 0});
    letter.setString("B");
    canvas.draw(letter, {"l", 1});
    EXPECT_EQ(batch.drawCalls(), 0u);  // nothing has reached the target yet
    canvas.draw(square, {"r", 2, 0});
    letter.setString(" ");
    canvas.draw(letter, {"l", 2});  // nothing to draw: the shapes' call goes on
    canvas.draw(square, {"r", 3, 0});
    letter.setString("C");
    letter.setCharacterSize(31);
    canvas.draw(letter, {"l", 3});
    letter.setStyle(sf::Text::Underlined);
    canvas.draw(letter, {"l", 4});
    EXPECT_EQ(batch.drawCalls(), 4u + 2u);  // shapes, page 30, shapes, page 31; outline and fill
    canvas.display();
    EXPECT_EQ(batch.lastFrameDrawCalls(), 6u);
}

// On a screen without a 1920x1080 mode the picture is scaled to fit, whole, and centred between
// black bars where the aspect ratio differs.
TEST(Letterbox, APictureIn1920x1080CoordinatesAppearsWholeBetweenBlackBars)
{
    FrameTape tape;
    tape.clear(sf::Color::Blue);
    // Red squares in the four corners of the 1920x1080 picture, green in its middle.
    for (const sf::Vector2f corner : {sf::Vector2f(0, 0), {1800, 0}, {0, 960}, {1800, 960}, {900, 480}}) {
        const bool middle = corner.x == 900;
        tape.draw(rect({120, 120}, corner, 0, middle ? sf::Color::Green : sf::Color::Red), {"test", middle, 0});
    }
    const sf::Image image = rasterize(tape, Way::cheapest, {1280, 1024});
    // Scaled by 2/3 to 1280x720, rows 152 to 871: the corners land on the screen's sides.
    for (const sf::Vector2u corner : {sf::Vector2u(2, 154), {1277, 154}, {2, 869}, {1277, 869}}) {
        EXPECT_EQ(image.getPixel(corner.x, corner.y), sf::Color::Red);
    }
    EXPECT_EQ(image.getPixel(640, 512), sf::Color::Green);
    EXPECT_EQ(image.getPixel(100, 512), sf::Color::Blue);
    for (const unsigned row : {0u, 150u, 873u, 1023u}) {
        EXPECT_EQ(image.getPixel(640, row), sf::Color::Black) << row;
    }
}

// Real frames of every scene, SFML shape by shape, the batch in painter's order and the batch
// leaving out what is hidden, shapes whole and tile by tile: one picture. The show is built once for all moments.
TEST(SceneFrames, AreThoseOfSfmlShapeByShape)
{
    if (!displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    ManualTimeSource time;
    ShowState state{time};
    Recorder deck{false};
    Show show{state, deck};
    for (const testing::SceneMoment& moment : testing::sceneMoments()) {
        SCOPED_TRACE(moment.name);
        FrameTape tape;
        testing::playMoment(show, time, moment, tape);
        const sf::Image painter = rasterize(tape, Way::painter);
        EXPECT_TRUE(samePixels(rasterize(tape, Way::direct), painter));
        EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::whole)));
        EXPECT_TRUE(samePixels(painter, rasterize(tape, Way::tiles)));
    }
}

} // namespace
} // namespace tolva

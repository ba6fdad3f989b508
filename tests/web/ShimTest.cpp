// The browser build's stand-ins for SFML against SFML itself, bit for bit: transforms, placed
// objects, views, texts laid out from the glyph export, sprites and times. Texts need the glyph
// exporter's output, made here from the run folder's fonts (an X display, for SFML's fonts).

#include "ShimProbe.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/View.hpp>
#include <SFML/System/Time.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <unistd.h>
#include <string>

namespace {

using namespace tolva;

shim::Matrix matrixOf(const sf::Transform& transform)
{
    shim::Matrix out;
    std::memcpy(out.data(), transform.getMatrix(), sizeof(float) * 16);
    return out;
}

shim::Box boxOf(const sf::FloatRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

// Equal to the bit (memcmp: -0 is not 0, and a NaN is itself).
template <class T>
::testing::AssertionResult same(const T& a, const T& b)
{
    if (std::memcmp(&a, &b, sizeof(T)) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "differ";
}

void place(sf::Transformable& object, const shim::Placement& p)
{
    object.setPosition(p.x, p.y);
    object.setRotation(p.rotation);
    object.setScale(p.scaleX, p.scaleY);
    object.setOrigin(p.originX, p.originY);
}

struct Random {
    std::mt19937 engine{20261208};
    float in(float low, float high) { return std::uniform_real_distribution<float>(low, high)(engine); }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine); }
    shim::Placement placement()
    {
        return {in(-3000, 3000), in(-3000, 3000), in(-720, 720), in(-4, 4), in(-4, 4), in(-200, 200), in(-200, 200)};
    }
};

TEST(WebShim, TransformChainsMatchSfmlToTheBit)
{
    Random random;
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<shim::TransformStep> steps;
        sf::Transform real;
        for (int k = random.pick(1, 6); k > 0; --k) {
            shim::TransformStep step{random.pick(0, 5), random.in(-500, 500), random.in(-500, 500),
                                     random.in(-500, 500), random.in(-3, 3), random.placement()};
            sf::Transformable object;
            switch (step.kind) {
            case 0: real.translate(step.a, step.b); break;
            case 1: real.rotate(step.a); break;
            case 2: real.rotate(step.a, step.b, step.c); break;
            case 3: real.scale(step.a / 100, step.b / 100); step.a /= 100; step.b /= 100; break;
            case 4: real.scale(step.a / 100, step.b / 100, step.c, step.d); step.a /= 100; step.b /= 100; break;
            default:
                place(object, step.placement);
                real *= object.getTransform();
                break;
            }
            steps.push_back(step);
        }
        const shim::Point point{random.in(-2000, 2000), random.in(-2000, 2000)};
        const shim::Box rect{random.in(-500, 500), random.in(-500, 500), random.in(-300, 300), random.in(-300, 300)};
        const shim::ChainResult got = shim::chain(steps, point, rect);
        const sf::Vector2f moved = real.transformPoint(point[0], point[1]);
        ASSERT_TRUE(same(got.matrix, matrixOf(real))) << "trial " << trial;
        ASSERT_TRUE(same(got.inverse, matrixOf(real.getInverse()))) << "trial " << trial;
        ASSERT_TRUE(same(got.point, shim::Point{moved.x, moved.y})) << "trial " << trial;
        ASSERT_TRUE(same(got.rect, boxOf(real.transformRect(sf::FloatRect(rect[0], rect[1], rect[2], rect[3])))))
            << "trial " << trial;
    }
}

TEST(WebShim, PlacedObjectsAndViewsMatchSfmlToTheBit)
{
    Random random;
    for (int trial = 0; trial < 1000; ++trial) {
        const shim::Placement p = random.placement();
        const float moveX = random.in(-50, 50), moveY = random.in(-50, 50), turn = random.in(-400, 400);
        const float grow = random.in(0.5f, 2);
        sf::Transformable object;
        place(object, p);
        object.move(moveX, moveY);
        object.rotate(turn);
        object.scale(grow, grow);
        ASSERT_TRUE(same(shim::placed(p, moveX, moveY, turn, grow), matrixOf(object.getTransform()))) << trial;
        sf::Transformable turned;
        place(turned, p);
        turned.rotate(turn);
        ASSERT_TRUE(same(shim::placedRotation(p, turn), turned.getRotation())) << trial;

        sf::View view(sf::Vector2f(p.x, p.y), sf::Vector2f(random.in(1, 4000), random.in(-4000, -1)));
        view.setRotation(p.rotation);
        const sf::Vector2f size = view.getSize();
        ASSERT_TRUE(same(shim::view(p.x, p.y, size.x, size.y, p.rotation), matrixOf(view.getTransform()))) << trial;
    }
    const sf::View show(sf::FloatRect(0, 0, 1920, 1080));
    EXPECT_TRUE(same(shim::view(960, 540, 1920, 1080, 0), matrixOf(show.getTransform())));
}

TEST(WebShim, SpritesAndTimesMatchSfml)
{
    Random random;
    sf::Texture texture;
    ASSERT_TRUE(texture.create(300, 200));
    for (int trial = 0; trial < 200; ++trial) {
        const shim::Placement p = random.placement();
        const std::array<int, 4> rect = trial % 2 == 0 ? std::array<int, 4>{0, 0, 0, 0}
                                                       : std::array<int, 4>{random.pick(0, 100), random.pick(0, 100),
                                                                            random.pick(-300, 300), random.pick(-200, 200)};
        sf::Sprite sprite(texture);
        if (rect[2] != 0) {
            sprite.setTextureRect(sf::IntRect(rect[0], rect[1], rect[2], rect[3]));
        }
        place(sprite, p);
        ASSERT_TRUE(same(shim::spriteBounds(300, 200, rect, p, false), boxOf(sprite.getLocalBounds()))) << trial;
        ASSERT_TRUE(same(shim::spriteBounds(300, 200, rect, p, true), boxOf(sprite.getGlobalBounds()))) << trial;

        const float seconds = random.in(-1000, 1000);
        ASSERT_EQ(shim::microsecondsOf(seconds), sf::seconds(seconds).asMicroseconds()) << seconds;
        ASSERT_TRUE(same(shim::secondsThroughTime(seconds), sf::seconds(seconds).asSeconds())) << seconds;
    }
}

// The show's pictures decoded as SFML decodes them, whole or in part, and a file that is not there
// or not a picture leaving the texture empty.
TEST(WebShim, TexturesHoldThePicturesSfmlLoads)
{
    for (const char* path : {"graphics/demoname.png", "graphics/PirtasFrogs.png"}) {
        for (const std::array<int, 4> area : {std::array<int, 4>{0, 0, 0, 0}, std::array<int, 4>{10, 20, 30, 40},
                                              std::array<int, 4>{-5, -5, 100000, 100000},
                                              std::array<int, 4>{50, 6, 100000, 7}}) {
            sf::Texture real;
            ASSERT_TRUE(real.loadFromFile(path, sf::IntRect(area[0], area[1], area[2], area[3]))) << path;
            const sf::Image image = real.copyToImage();
            const shim::Picture got = shim::loadTexture(path, area);
            ASSERT_TRUE(got.loaded) << path;
            ASSERT_EQ(got.width, image.getSize().x) << path << " " << area[0];
            ASSERT_EQ(got.height, image.getSize().y) << path << " " << area[0];
            ASSERT_EQ(got.pixels.size(), static_cast<std::size_t>(got.width) * got.height * 4);
            EXPECT_EQ(std::memcmp(got.pixels.data(), image.getPixelsPtr(), got.pixels.size()), 0) << path;
        }
    }
    sf::Texture real;
    EXPECT_FALSE(real.loadFromFile("graphics/demoname.png", sf::IntRect(100000, 0, 10, 10)));
    EXPECT_FALSE(shim::loadTexture("graphics/demoname.png", {100000, 0, 10, 10}).loaded);
    for (const char* path : {"graphics/no-such-picture.png", "shaders/ScrollerShaderE.frag"}) {
        const shim::Picture got = shim::loadTexture(path, {0, 0, 0, 0});
        EXPECT_FALSE(got.loaded) << path;
        EXPECT_EQ(got.width, 0u) << path;
        EXPECT_TRUE(got.pixels.empty()) << path;
    }
}

// The run folder's fonts, exported once for all the text tests.
class WebShimText : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        exported_ = std::filesystem::temp_directory_path() / ("tolva-glyphs-" + std::to_string(::getpid()));
        std::filesystem::create_directories(exported_);
        const std::string command = std::string(TOLVA_GLYPHS) + " fonts " + exported_.string();
        exportStatus_ = std::system(command.c_str());
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(exported_); }

    // Every way the show sets a text, and the characters it can hold, laid out both ways.
    static void expectSameLayouts(const std::string& file, std::initializer_list<unsigned> sizes,
                                  std::vector<float> outlines);

    static std::filesystem::path exported_;
    static int exportStatus_;
};

std::filesystem::path WebShimText::exported_;
int WebShimText::exportStatus_ = -1;

void WebShimText::expectSameLayouts(const std::string& file, std::initializer_list<unsigned> sizes,
                                    std::vector<float> outlines)
{
    ASSERT_EQ(exportStatus_, 0);
    sf::Font font;
    ASSERT_TRUE(font.loadFromFile("fonts/" + file));
    ASSERT_TRUE(shim::loadFont((exported_ / file).string()));
    std::string printable;
    for (char c = ' '; c <= '~'; ++c) {
        printable += c;
    }
    const std::vector<std::string> strings = {
        "...Greetings to Lumen Fold, Quasar Kin, Brass Otter & You!", "What a dream I had...",
        "W", "AVAWAT fi ffl To. Ty,", printable, "two\nlines\r and\ta tab\n\n", " leading space", ""};
    Random random;
    for (const unsigned size : sizes) {
        for (const float outline : outlines) {
            for (const std::string& string : strings) {
                for (const unsigned style : {0u, static_cast<unsigned>(sf::Text::Italic)}) {
                    shim::TextSettings settings{string, size, outline, style, random.in(0.5f, 2), random.in(0.5f, 2),
                                                random.placement()};
                    if (style == 0) {
                        settings.letterSpacing = settings.lineSpacing = 1;
                    }
                    sf::Text text(string, font, size);
                    text.setOutlineThickness(outline);
                    text.setStyle(style);
                    text.setLetterSpacing(settings.letterSpacing);
                    text.setLineSpacing(settings.lineSpacing);
                    place(text, settings.placement);
                    const shim::TextLayout layout = shim::layText(settings);
                    const std::string where = file + " " + std::to_string(size) + " " + std::to_string(outline)
                                              + " '" + string + "'";
                    ASSERT_TRUE(same(layout.local, boxOf(text.getLocalBounds()))) << where;
                    ASSERT_TRUE(same(layout.global, boxOf(text.getGlobalBounds()))) << where;
                    for (std::size_t k = 0; k < layout.characters.size(); ++k) {
                        const sf::Vector2f at = text.findCharacterPos(k);
                        ASSERT_TRUE(same(layout.characters[k], shim::Point{at.x, at.y})) << where << " at " << k;
                    }
                }
            }
        }
    }
}

TEST_F(WebShimText, TheShowsFontsLayTextsOutAsSfmlDoes)
{
    // Each size with the outlines the show gives it there.
    expectSameLayouts("Noot.ttf", {51}, {0.f});
    expectSameLayouts("Noot.ttf", {90, 150}, {0.f, 2.1f});
    expectSameLayouts("Noot.ttf", {117, 118, 119, 120}, {0.f, 2.75f});
    expectSameLayouts("tox.ttf", {30}, {0.f});
    expectSameLayouts("brevin.ttf", {30}, {0.f});
    expectSameLayouts("brevin.ttf", {43}, {0.f, 7.5f});
}

TEST_F(WebShimText, AGlyphNotExportedIsEmptyAndNamedOnce)
{
    ASSERT_EQ(exportStatus_, 0);
    ASSERT_TRUE(shim::loadFont((exported_ / "tox.ttf").string()));
    ::testing::internal::CaptureStderr();
    const shim::GlyphProbe accented = shim::glyph(0xe9, 30, 0);
    shim::glyph(0xe9, 30, 0);
    const shim::GlyphProbe otherSize = shim::glyph('a', 31, 0);
    const std::string console = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(accented.advance, 0.f);
    EXPECT_EQ(accented.bounds, (shim::Box{0, 0, 0, 0}));
    EXPECT_EQ(otherSize.advance, 0.f);
    EXPECT_NE(console.find("U+00E9 at size 30"), std::string::npos) << console;
    EXPECT_EQ(console.find("U+00E9", console.find("U+00E9") + 1), std::string::npos) << "named twice: " << console;
    EXPECT_NE(console.find("U+0061 at size 31"), std::string::npos) << console;
    EXPECT_GT(shim::glyph('a', 30, 0).advance, 0.f);  // the set itself is there
}

TEST_F(WebShimText, KerningAndLineSpacingAreSfmls)
{
    ASSERT_EQ(exportStatus_, 0);
    sf::Font font;
    ASSERT_TRUE(font.loadFromFile("fonts/tox.ttf"));  // the one of the three with kerning
    ASSERT_TRUE(shim::loadFont((exported_ / "tox.ttf").string()));
    int kerned = 0;
    for (unsigned a = ' '; a <= '~'; ++a) {
        for (unsigned b = ' '; b <= '~'; ++b) {
            const float real = font.getKerning(a, b, 30);
            ASSERT_TRUE(same(shim::kerning(a, b, 30), real)) << a << " " << b;
            kerned += real != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(kerned, 0) << "a font without kerning tests nothing here";
    EXPECT_TRUE(same(shim::lineSpacing(30), font.getLineSpacing(30)));
    EXPECT_EQ(shim::kerning(0, 'A', 30), 0.f);
}

} // namespace

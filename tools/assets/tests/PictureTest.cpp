// The pictures as the build staged them, checked against how the scenes use them.

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Transform.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float windowWidth = 1920.0f, windowHeight = 1080.0f;

sf::Image loaded(const std::string& path)
{
    sf::Image image;
    EXPECT_TRUE(image.loadFromFile(path)) << path;
    return image;
}

struct Coverage {
    unsigned opaque = 0, clear = 0, total = 0;
};

Coverage coverage(const sf::Image& image)
{
    Coverage c;
    for (unsigned y = 0; y < image.getSize().y; ++y) {
        for (unsigned x = 0; x < image.getSize().x; ++x) {
            sf::Uint8 a = image.getPixel(x, y).a;
            c.opaque += a == 255;
            c.clear += a == 0;
            ++c.total;
        }
    }
    return c;
}

// Every visible pixel of a sprite, placed by a transform, lies inside the window.
void expectInsideWindow(const sf::Image& image, const sf::Transform& transform, const std::string& what)
{
    for (unsigned y = 0; y < image.getSize().y; ++y) {
        for (unsigned x = 0; x < image.getSize().x; ++x) {
            if (image.getPixel(x, y).a == 0) {
                continue;
            }
            for (float dy : {0.0f, 1.0f}) {
                for (float dx : {0.0f, 1.0f}) {
                    sf::Vector2f p = transform.transformPoint(static_cast<float>(x) + dx, static_cast<float>(y) + dy);
                    ASSERT_TRUE(p.x >= 0.0f && p.x <= windowWidth && p.y >= 0.0f && p.y <= windowHeight)
                        << what << ": pixel (" << x << ", " << y << ") lands at (" << p.x << ", " << p.y << ")";
                }
            }
        }
    }
}

TEST(Pictures, TitleLogoStaysInTheWindowHoweverSceneOneStretchesIt)
{
    sf::Image title = loaded("graphics/demoname.png");
    Coverage c = coverage(title);
    EXPECT_GT(c.clear, c.total / 3) << "the logo stands on a transparent ground";
    EXPECT_GT(c.opaque, c.total / 5);
    // Scene 1: position (1330 + sin(5t), 100), rotation 15 degrees, scale
    // (4.7, 4.7 + atan(t) + cos(4.7 t)): y scale between 3.7 and 7.25.
    for (float sx : {1329.0f, 1331.0f}) {
        for (float scaleY : {3.7f, 4.7f, 6.0f, 7.25f}) {
            sf::Transform t;
            t.translate(sx, 100.0f).rotate(15.0f).scale(4.7f, scaleY);
            expectInsideWindow(title, t, "title");
        }
    }
}

TEST(Pictures, CharactersFitWhereTheyStand)
{
    struct Placement {
        const char* path;
        float x, y;
    };
    for (const Placement& p : {Placement{"graphics/personOne1.png", 550.0f, 799.0f},
                               Placement{"graphics/personTwo2.png", 1630.0f, 235.0f}}) {
        sf::Image image = loaded(p.path);
        sf::Transform t;
        t.translate(p.x, p.y).scale(1.5f, 1.5f);
        expectInsideWindow(image, t, p.path);
        // A figure on a transparent ground, its corners see-through.
        Coverage c = coverage(image);
        EXPECT_GT(c.opaque, c.total / 5) << p.path;
        EXPECT_GT(c.clear, c.total / 5) << p.path;
        sf::Vector2u size = image.getSize();
        for (sf::Vector2u corner : {sf::Vector2u(0, 0), sf::Vector2u(size.x - 1, 0), sf::Vector2u(0, size.y - 1),
                                    sf::Vector2u(size.x - 1, size.y - 1)}) {
            EXPECT_EQ(image.getPixel(corner.x, corner.y).a, 0) << p.path;
        }
    }
}

TEST(Pictures, PondFillsTheWindowForTheWholeSlide)
{
    sf::Image pond = loaded("graphics/PirtasFrogs.png");
    sf::Vector2u size = pond.getSize();
    EXPECT_TRUE(size.x <= 4096u && size.y <= 4096u) << "one texture on common graphics cards";
    // Scene 8 draws it at 0.75 from y = -50 up to about y = -1900 on black: at
    // both ends, and so in between, it covers the whole window.
    const float scale = 0.75f;
    EXPECT_GE(static_cast<float>(size.x) * scale, windowWidth);
    for (float top : {-50.0f, -1905.0f}) {
        EXPECT_GE(top + static_cast<float>(size.y) * scale, windowHeight) << "uncovered at top " << top;
    }
    // Nothing of it is see-through, or the black would show.
    EXPECT_EQ(coverage(pond).opaque, size.x * size.y);
}

} // namespace

// The pictures as the build staged them, checked against how the scenes use them.

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Transform.hpp>

#include <gtest/gtest.h>

namespace {

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

TEST(Pictures, FiguresStandOnClearGroundInsideTheWindowWhereverTheScenesPutThem)
{
    struct Figure {
        const char* path;
        std::vector<sf::Transform> placements;
    };
    // Scene 1 puts the title at (1330 + sin(5t), 100), turned 15 degrees, scaled
    // (4.7, 4.7 + atan(t) + cos(4.7 t)): a point moves linearly with x and the y scale, so their
    // extremes suffice. The characters stand at 1.5 times their size.
    std::vector<sf::Transform> title;
    for (float x : {1329.0f, 1331.0f}) {
        for (float scaleY : {3.7f, 7.25f}) {
            title.push_back(sf::Transform().translate(x, 100.0f).rotate(15.0f).scale(4.7f, scaleY));
        }
    }
    for (const Figure& f : {Figure{"graphics/demoname.png", title},
                            Figure{"graphics/personOne1.png", {sf::Transform().translate(550.0f, 799.0f).scale(1.5f, 1.5f)}},
                            Figure{"graphics/personTwo2.png", {sf::Transform().translate(1630.0f, 235.0f).scale(1.5f, 1.5f)}}}) {
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

// The menu icon's scaling: the title picture fitted whole and centred into a square.
#include "IconScaling.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using tolva::icon::fitSquare;
using tolva::icon::Pixels;
using Rgba = std::array<int, 4>;

Pixels filled(int width, int height, Rgba colour)
{
    Pixels p;
    p.width = width;
    p.height = height;
    for (int i = 0; i < width * height; ++i) {
        for (int c : colour) {
            p.rgba.push_back(static_cast<std::uint8_t>(c));
        }
    }
    return p;
}

Rgba at(const Pixels& p, int x, int y)
{
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) +
                           static_cast<std::size_t>(x)) * 4U;
    return {p.rgba[i], p.rgba[i + 1], p.rgba[i + 2], p.rgba[i + 3]};
}

// Fitted whole and centred: '#' the picture's colour, '.' transparent.
TEST(IconScaling, APictureIsFittedWholeAndCentredWithTransparentBars)
{
    struct Case {
        int width, height, size;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {40, 20, 8, {"........", "........", "########", "########", "########", "########", "........", "........"}},
        {20, 40, 4, {".##.", ".##.", ".##.", ".##."}},
        {1, 1, 3, {"###", "###", "###"}},  // enlarged
    };
    for (const Case& c : cases) {
        const Pixels icon = fitSquare(filled(c.width, c.height, {200, 100, 50, 255}), c.size);
        ASSERT_EQ(icon.width, c.size);
        ASSERT_EQ(icon.height, c.size);
        for (int y = 0; y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                const Rgba expected = c.rows[y][x] == '#' ? Rgba{200, 100, 50, 255} : Rgba{0, 0, 0, 0};
                EXPECT_EQ(at(icon, x, y), expected) << c.width << "x" << c.height << " at " << x << "," << y;
            }
        }
    }
}

TEST(IconScaling, TransparentPixelsDoNotDarkenTheirNeighbours)
{
    // Left half opaque red, right half transparent green: averaged with premultiplied alpha the
    // pixel stays pure red at half coverage; a plain average would turn it olive.
    Pixels picture = filled(2, 2, {255, 0, 0, 255});
    for (int y = 0; y < 2; ++y) {
        const std::size_t i = (static_cast<std::size_t>(y) * 2U + 1U) * 4U;
        picture.rgba[i + 0] = 0;
        picture.rgba[i + 1] = 255;
        picture.rgba[i + 2] = 0;
        picture.rgba[i + 3] = 0;
    }
    EXPECT_EQ(at(fitSquare(picture, 1), 0, 0), (Rgba{255, 0, 0, 128}));
}

TEST(IconScaling, AnEdgeInsideAPixelGivesPartialCoverageEvenlyOnBothSides)
{
    // 3x1 into 2x2: the picture is 2/3 of a pixel high, from 2/3 to 4/3.
    const Pixels icon = fitSquare(filled(3, 1, {10, 20, 30, 255}), 2);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(at(icon, x, 0), (Rgba{10, 20, 30, 85}));
        EXPECT_EQ(at(icon, x, 1), (Rgba{10, 20, 30, 85}));
    }
}

TEST(IconScaling, AnEmptyPictureGivesATransparentIcon)
{
    const Pixels icon = fitSquare(Pixels{}, 3);
    EXPECT_EQ(icon.rgba, std::vector<std::uint8_t>(36, 0));
}

} // namespace

// The menu icon's scaling: the title picture fitted whole and centred into a square.
#include "IconScaling.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using tolva::icon::Pixels;

TEST(IconScaling, APictureIsFittedWholeAndCentredWithPartialCoverageAtItsEdges)
{
    // A picture in one colour, its right half optionally transparent green. Expected icon:
    // '.' transparent, else the picture's colour at alpha '#' 255, 'h' 128, 'p' 85.
    struct Case {
        int width, height;
        bool clearRight;
        int size;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {40, 20, false, 8, {"........", "........", "########", "########", "########", "########", "........", "........"}},
        {20, 40, false, 4, {".##.", ".##.", ".##.", ".##."}},
        {1, 1, false, 3, {"###", "###", "###"}},  // enlarged
        {3, 1, false, 2, {"pp", "pp"}},           // 2/3 of a pixel high, from 2/3 to 4/3
        // Averaged with premultiplied alpha the colour stays at half coverage; a plain average
        // would mix in the invisible green.
        {2, 2, true, 1, {"h"}},
        {0, 0, false, 3, {"...", "...", "..."}},
    };
    for (const Case& c : cases) {
        Pixels picture{c.width, c.height, {}};
        for (int i = 0; i < c.width * c.height; ++i) {
            const bool clear = c.clearRight && i % c.width >= c.width / 2;
            for (int v : clear ? std::array{0, 255, 0, 0} : std::array{200, 100, 50, 255}) {
                picture.rgba.push_back(static_cast<std::uint8_t>(v));
            }
        }
        const Pixels icon = tolva::icon::fitSquare(picture, c.size);
        ASSERT_EQ(icon.rgba.size(), static_cast<std::size_t>(c.size * c.size * 4));
        for (int i = 0; i < c.size * c.size; ++i) {
            const char expected = c.rows[static_cast<std::size_t>(i / c.size)][static_cast<std::size_t>(i % c.size)];
            const int alpha = expected == '#' ? 255 : expected == 'h' ? 128 : 85;
            const std::vector<int> want = expected == '.' ? std::vector<int>{0, 0, 0, 0} : std::vector<int>{200, 100, 50, alpha};
            const auto at = icon.rgba.begin() + i * 4;
            EXPECT_EQ(std::vector<int>(at, at + 4), want)
                << c.width << "x" << c.height << " at " << i % c.size << "," << i / c.size;
        }
    }
}

} // namespace

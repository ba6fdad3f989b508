// The title logo: "Tolva" as pixel art, meant to be blown up about five times
// without smoothing. Letters are drawn on a coarse grid (each cell 3 x 3 pixels),
// their outer corners rounded off, then shaded row by row like an old 16-colour
// logo: a sunrise gradient, a highlight along the top edges, a dark rim, a drop
// shadow, a frog sitting on the "o" and the letters' reflection in a pool.

#include "Pictures.h"
#include "Raster.h"

#include <array>
#include <string>
#include <vector>

namespace tolva::paint {

namespace {

constexpr int titleWidth = 110;
constexpr int titleHeight = 45;
constexpr int cell = 3;
constexpr int gridTop = 10;     // letters' top pixel row
constexpr int gridRows = 8;
constexpr int baseline = gridTop + gridRows * cell; // first row under the letters

struct Glyph {
    std::array<const char*, gridRows> rows;
};

// Capital T and l reach the top; o, v and a stand three cells lower.
const Glyph glyphT{{"######", "######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##.."}};
const Glyph glyphO{{"......", "......", "......", ".####.", "##..##", "##..##", "##..##", ".####."}};
const Glyph glyphL{{"##..", "##..", "##..", "##..", "##..", "##..", "##..", ".###"}};
const Glyph glyphV{{"......", "......", "......", "##..##", "##..##", "##..##", ".####.", "..##.."}};
const Glyph glyphA{{"......", "......", "......", ".####.", "....##", ".#####", "##..##", ".#####"}};

// The frog on the "o": O rim, G green, L light belly, W eye white, B pupil, D mouth.
const std::array<const char*, 9> frogRows{
    "..OO.....OO..",
    ".OWBO...OBWO.",
    ".OGGOOOOOGGO.",
    "OGGGGGGGGGGGO",
    "OGDGGGGGGGDGO",
    "OGGDDDDDDDGGO",
    ".OGLLLLLLLGO.",
    "OGGOLLLLLOGGO",
    "OOOOOOOOOOOOO",
};

using Mask = std::vector<std::vector<bool>>;

Colour sunrise(int y)
{
    // Top to bottom of the letters: butter yellow, orange, rose.
    float t = static_cast<float>(y - gridTop) / static_cast<float>(gridRows * cell - 1);
    Colour top = rgb(255, 232, 110), middle = rgb(250, 150, 52), bottom = rgb(222, 70, 118);
    Colour c = t < 0.5f ? mix(top, middle, t * 2.0f) : mix(middle, bottom, (t - 0.5f) * 2.0f);
    // Quantise to a few bands: a pixel logo has a palette, not a smooth ramp.
    auto band = [](float v) { return std::round(v * 12.0f) / 12.0f; };
    return {band(c.r), band(c.g), band(c.b), 1.0f};
}

} // namespace

sf::Image paintTitle()
{
    Mask letters(titleHeight, std::vector<bool>(titleWidth, false));
    const std::vector<const Glyph*> word{&glyphT, &glyphO, &glyphL, &glyphV, &glyphA};
    int width = 0;
    for (const Glyph* g : word) {
        width += static_cast<int>(std::string(g->rows[0]).size()) * cell + cell;
    }
    width -= cell;
    int left = (titleWidth - width) / 2 - 1;
    int x = left;
    int oLeft = 0;
    for (const Glyph* g : word) {
        int cols = static_cast<int>(std::string(g->rows[0]).size());
        if (g == &glyphO) {
            oLeft = x;
        }
        for (int row = 0; row < gridRows; ++row) {
            for (int col = 0; col < cols; ++col) {
                if (g->rows[static_cast<std::size_t>(row)][col] != '#') {
                    continue;
                }
                for (int dy = 0; dy < cell; ++dy) {
                    for (int dx = 0; dx < cell; ++dx) {
                        letters[static_cast<std::size_t>(gridTop + row * cell + dy)]
                               [static_cast<std::size_t>(x + col * cell + dx)] = true;
                    }
                }
            }
        }
        x += cols * cell + cell;
    }
    auto on = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < titleWidth && py < titleHeight
               && letters[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)];
    };
    // Round the outer corners: a pixel whose two outward neighbours are both empty goes.
    Mask rounded = letters;
    for (int py = 0; py < titleHeight; ++py) {
        for (int px = 0; px < titleWidth; ++px) {
            if (!on(px, py)) {
                continue;
            }
            bool up = on(px, py - 1), down = on(px, py + 1), l = on(px - 1, py), r = on(px + 1, py);
            if ((!up && !l) || (!up && !r) || (!down && !l) || (!down && !r)) {
                rounded[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)] = false;
            }
        }
    }
    letters = rounded;

    Raster raster(titleWidth, titleHeight);
    const Colour rim = rgb(44, 18, 58);
    const Colour shadow = rgb(44, 18, 58, 0.55f);
    auto put = [&](int px, int py, Colour c) {
        if (px >= 0 && py >= 0 && px < titleWidth && py < titleHeight) {
            raster.blend(px, py, c, 1.0f);
        }
    };
    auto nearLetter = [&](int px, int py) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (on(px + dx, py + dy)) {
                    return true;
                }
            }
        }
        return false;
    };

    // Pool under the word: the letters' reflection, broken into dashes, and a
    // few quiet ripples; both fade with depth.
    const Colour deep = rgb(40, 96, 128), shallow = rgb(110, 186, 204);
    for (int py = baseline + 2; py < titleHeight - 1; ++py) {
        int depth = py - (baseline + 2);
        int shift = (depth % 2 == 0) ? 1 : 0;
        float fade = 1.0f - static_cast<float>(depth) / 10.0f;
        int mirrored = baseline - 1 - depth * 2;
        for (int px = left - 2; px < left + width + 4; ++px) {
            bool reflected = on(px + shift, mirrored) || on(px + shift, mirrored - 1);
            if (reflected && (px + 3 * depth) % 7 != 0) {
                Colour c = mix(sunrise(std::max(gridTop, mirrored)), deep, 0.35f + 0.07f * static_cast<float>(depth));
                put(px, py, withAlpha(c, fade));
            } else if (depth % 2 == 0 && (px * 5 + depth * 7) % 17 < 4) {
                put(px, py, withAlpha(depth == 0 ? shallow : deep, 0.8f * fade));
            }
        }
    }
    // Drop shadow, rim, fill with its highlight.
    for (int py = 0; py < titleHeight; ++py) {
        for (int px = 0; px < titleWidth; ++px) {
            if (!on(px, py) && on(px - 2, py - 2)) {
                put(px, py, shadow);
            }
        }
    }
    for (int py = 0; py < titleHeight; ++py) {
        for (int px = 0; px < titleWidth; ++px) {
            if (!on(px, py) && nearLetter(px, py)) {
                put(px, py, rim);
            }
        }
    }
    for (int py = 0; py < titleHeight; ++py) {
        for (int px = 0; px < titleWidth; ++px) {
            if (!on(px, py)) {
                continue;
            }
            Colour c = sunrise(py);
            if (!on(px, py - 1) || !on(px - 1, py)) {
                c = mix(c, rgb(255, 255, 230), 0.6f);           // lit edge
            } else if (!on(px, py + 1) || !on(px + 1, py)) {
                c = scaled(c, 0.78f);                           // shaded edge
            }
            put(px, py, c);
        }
    }
    // A glint on the T.
    put(left + 2, gridTop + 1, rgb(255, 255, 255));
    put(left + 3, gridTop + 1, rgb(255, 255, 255));

    // The frog sits on the "o".
    const int frogWidth = 13;
    int fx = oLeft + (6 * cell - frogWidth) / 2;
    int fy = gridTop + 3 * cell - 9;
    for (int row = 0; row < 9; ++row) {
        for (int col = 0; col < frogWidth; ++col) {
            char k = frogRows[static_cast<std::size_t>(row)][col];
            Colour c;
            switch (k) {
            case 'O': c = rgb(22, 58, 30); break;
            case 'G': c = rgb(104, 196, 72); break;
            case 'L': c = rgb(206, 236, 132); break;
            case 'W': c = rgb(255, 252, 230); break;
            case 'B': c = rgb(10, 10, 16); break;
            case 'D': c = rgb(42, 110, 44); break;
            default: continue;
            }
            put(fx + col, fy + row, c);
        }
    }
    return raster.toImage();
}

} // namespace tolva::paint

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

// The word laid out on the letters' grid: which pixels are letter, and where the word and its
// "o" begin.
struct Word {
    Mask letters;
    int left = 0;
    int width = 0;
    int oLeft = 0;
};

bool isOn(const Mask& letters, int px, int py)
{
    return px >= 0 && py >= 0 && px < titleWidth && py < titleHeight
           && letters[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)];
}

void stamp(Mask& letters, const Glyph& g, int x)
{
    int cols = static_cast<int>(std::string(g.rows[0]).size());
    for (int row = 0; row < gridRows; ++row) {
        for (int col = 0; col < cols; ++col) {
            if (g.rows[static_cast<std::size_t>(row)][col] != '#') {
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
}

// Round the outer corners: a pixel whose two outward neighbours are both empty goes.
Mask rounded(const Mask& letters)
{
    Mask out = letters;
    for (int py = 0; py < titleHeight; ++py) {
        for (int px = 0; px < titleWidth; ++px) {
            if (!isOn(letters, px, py)) {
                continue;
            }
            bool up = isOn(letters, px, py - 1), down = isOn(letters, px, py + 1);
            bool l = isOn(letters, px - 1, py), r = isOn(letters, px + 1, py);
            if ((!up && !l) || (!up && !r) || (!down && !l) || (!down && !r)) {
                out[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)] = false;
            }
        }
    }
    return out;
}

Word layOutWord()
{
    Word word;
    word.letters = Mask(titleHeight, std::vector<bool>(titleWidth, false));
    const std::vector<const Glyph*> glyphs{&glyphT, &glyphO, &glyphL, &glyphV, &glyphA};
    for (const Glyph* g : glyphs) {
        word.width += static_cast<int>(std::string(g->rows[0]).size()) * cell + cell;
    }
    word.width -= cell;
    word.left = (titleWidth - word.width) / 2 - 1;
    int x = word.left;
    for (const Glyph* g : glyphs) {
        if (g == &glyphO) {
            word.oLeft = x;
        }
        stamp(word.letters, *g, x);
        x += static_cast<int>(std::string(g->rows[0]).size()) * cell + cell;
    }
    word.letters = rounded(word.letters);
    return word;
}

// The logo's layers, each painted over the ones before.
class TitlePainter {
public:
    explicit TitlePainter(const Word& word) : word_(word), raster_(titleWidth, titleHeight) {}

    void pool();
    void dropShadow();
    void rim();
    void fill();
    void glint();
    void frog();
    sf::Image image() const { return raster_.toImage(); }

private:
    bool on(int px, int py) const { return isOn(word_.letters, px, py); }
    void put(int px, int py, Colour c)
    {
        if (px >= 0 && py >= 0 && px < titleWidth && py < titleHeight) {
            raster_.blend(px, py, c, 1.0f);
        }
    }
    bool nearLetter(int px, int py) const
    {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (on(px + dx, py + dy)) {
                    return true;
                }
            }
        }
        return false;
    }

    const Word& word_;
    Raster raster_;
};

// Pool under the word: the letters' reflection, broken into dashes, and a few quiet ripples; both
// fade with depth.
void TitlePainter::pool()
{
    const Colour deep = rgb(40, 96, 128), shallow = rgb(110, 186, 204);
    for (int py = baseline + 2; py < titleHeight - 1; ++py) {
        int depth = py - (baseline + 2);
        int shift = (depth % 2 == 0) ? 1 : 0;
        float fade = 1.0f - static_cast<float>(depth) / 10.0f;
        int mirrored = baseline - 1 - depth * 2;
        for (int px = word_.left - 2; px < word_.left + word_.width + 4; ++px) {
            bool reflected = on(px + shift, mirrored) || on(px + shift, mirrored - 1);
            if (reflected && (px + 3 * depth) % 7 != 0) {
                Colour c = mix(sunrise(std::max(gridTop, mirrored)), deep, 0.35f + 0.07f * static_cast<float>(depth));
                put(px, py, withAlpha(c, fade));
            } else if (depth % 2 == 0 && (px * 5 + depth * 7) % 17 < 4) {
                put(px, py, withAlpha(depth == 0 ? shallow : deep, 0.8f * fade));
            }
        }
    }
}

void TitlePainter::dropShadow()
{
    const Colour shadow = rgb(44, 18, 58, 0.55f);
    for (int py = 0; py < titleHeight; ++py) {
        for (int px = 0; px < titleWidth; ++px) {
            if (!on(px, py) && on(px - 2, py - 2)) {
                put(px, py, shadow);
            }
        }
    }
}

void TitlePainter::rim()
{
    const Colour rim = rgb(44, 18, 58);
    for (int py = 0; py < titleHeight; ++py) {
        for (int px = 0; px < titleWidth; ++px) {
            if (!on(px, py) && nearLetter(px, py)) {
                put(px, py, rim);
            }
        }
    }
}

// The letters' fill with its lit and shaded edges.
void TitlePainter::fill()
{
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
}

// A glint on the T.
void TitlePainter::glint()
{
    put(word_.left + 2, gridTop + 1, rgb(255, 255, 255));
    put(word_.left + 3, gridTop + 1, rgb(255, 255, 255));
}

// The frog sits on the "o".
void TitlePainter::frog()
{
    const int frogWidth = 13;
    int fx = word_.oLeft + (6 * cell - frogWidth) / 2;
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
}

} // namespace

sf::Image paintTitle()
{
    const Word word = layOutWord();
    TitlePainter painter(word);
    painter.pool();
    painter.dropShadow();
    painter.rim();
    painter.fill();
    painter.glint();
    painter.frog();
    return painter.image();
}

} // namespace tolva::paint

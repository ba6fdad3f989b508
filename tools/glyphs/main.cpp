// tolva-glyphs: measures the show's fonts through SFML and writes, beside each font file, what
// the browser build lays its texts out from (X.ttf.glyphs) and the glyph pages (X.ttf.N.png).
//
//   tolva-glyphs FONTS_DIR OUT_DIR
//
// Needs a display (SFML's glyph pages are GL textures): run it under Xvfb when there is none.

#include "PagePng.h"
#include "web/sfml/FontExport.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace tolva::glyphs;

// Every character the show's texts can hold, at every size the show gives a text on a font, each
// with the outlines it is measured or drawn with there (the fill, outline 0, always): the credit
// letters (90, outline 2.1), the Welcome letters (150, 2.1) and the greetings line (51 as started,
// then 117 to 120 with 2.75) on Noot; the wandering and traffic lines (30) on tox; the closing line
// (30 as started, then 43 with 7.5) on brevin. A glyph asked for beyond these is drawn empty and
// named on the browser's console.
struct SizePlan {
    unsigned size;
    std::vector<float> outlines;
};

struct FontPlan {
    const char* file;
    std::vector<SizePlan> sizes;
};

const std::vector<FontPlan>& plans()
{
    static const std::vector<FontPlan> all = {
        {"Noot.ttf",
         {{51, {0.f}}, {90, {0.f, 2.1f}}, {117, {0.f, 2.75f}}, {118, {0.f, 2.75f}}, {119, {0.f, 2.75f}},
          {120, {0.f, 2.75f}}, {150, {0.f, 2.1f}}}},
        {"tox.ttf", {{30, {0.f}}}},
        {"brevin.ttf", {{30, {0.f}}, {43, {0.f, 7.5f}}}},
    };
    return all;
}

constexpr sf::Uint32 firstPrintable = 0x20;
constexpr sf::Uint32 lastPrintable = 0x7e;
// A text's position of a character asks for the glyph of a carriage return (its layout skips
// it); tabs and line feeds go along.
constexpr sf::Uint32 controls[] = {'\t', '\n', '\r'};

GlyphMetrics metricsOf(const sf::Glyph& glyph)
{
    GlyphMetrics metrics;
    metrics.advance = glyph.advance;
    metrics.bounds[0] = glyph.bounds.left;
    metrics.bounds[1] = glyph.bounds.top;
    metrics.bounds[2] = glyph.bounds.width;
    metrics.bounds[3] = glyph.bounds.height;
    metrics.textureRect[0] = glyph.textureRect.left;
    metrics.textureRect[1] = glyph.textureRect.top;
    metrics.textureRect[2] = glyph.textureRect.width;
    metrics.textureRect[3] = glyph.textureRect.height;
    return metrics;
}

// One size: its glyphs in every outline (which fills the size's page), its kerning and lines.
SizeExport measure(const sf::Font& font, unsigned size, const std::vector<float>& outlines)
{
    SizeExport out;
    out.characterSize = size;
    out.lineSpacing = font.getLineSpacing(size);
    out.underlinePosition = font.getUnderlinePosition(size);
    out.underlineThickness = font.getUnderlineThickness(size);
    for (const float outline : outlines) {
        GlyphSet set;
        set.outline = outline;
        for (const sf::Uint32 c : controls) {
            set.glyphs[c] = metricsOf(font.getGlyph(c, size, false, outline));
        }
        for (sf::Uint32 c = firstPrintable; c <= lastPrintable; ++c) {
            set.glyphs[c] = metricsOf(font.getGlyph(c, size, false, outline));
        }
        out.sets.push_back(set);
    }
    for (sf::Uint32 a = firstPrintable; a <= lastPrintable; ++a) {
        for (sf::Uint32 b = firstPrintable; b <= lastPrintable; ++b) {
            if (const float kerning = font.getKerning(a, b, size); kerning != 0.f) {
                out.kerning[pairKey(a, b)] = kerning;
            }
        }
    }
    const sf::Vector2u page = font.getTexture(size).getSize();
    out.pageWidth = page.x;
    out.pageHeight = page.y;
    return out;
}

// The page written, then read back as the browser reads it (stb_image, as SFML's own loader) and
// compared pixel for pixel.
bool savePageChecked(const sf::Image& page, const std::string& path)
{
    sf::Image back;
    const bool same = savePage(page, path) && back.loadFromFile(path) && back.getSize() == page.getSize()
                      && std::memcmp(back.getPixelsPtr(), page.getPixelsPtr(),
                                     static_cast<std::size_t>(page.getSize().x) * page.getSize().y * 4) == 0;
    if (!same) {
        std::fprintf(stderr, "tolva-glyphs: %s does not read back as written\n", path.c_str());
    }
    return same;
}

bool exportFont(const FontPlan& plan, const std::string& fontsDir, const std::string& outDir)
{
    const std::string source = fontsDir + "/" + plan.file;
    sf::Font font;
    if (!font.loadFromFile(source)) {
        std::fprintf(stderr, "tolva-glyphs: cannot load %s\n", source.c_str());
        return false;
    }
    FontExport exported;
    exported.family = font.getInfo().family;
    const std::string target = outDir + "/" + plan.file;
    for (const auto& [size, outlines] : plan.sizes) {
        exported.sizes.push_back(measure(font, size, outlines));
        const std::string page = target + "." + std::to_string(size) + ".png";
        if (!savePageChecked(font.getTexture(size).copyToImage(), page)) {
            return false;
        }
    }
    const std::string bytes = writeFontExport(exported);
    std::ofstream out(target + ".glyphs", std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "tolva-glyphs: cannot write %s.glyphs\n", target.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tolva-glyphs FONTS_DIR OUT_DIR\n");
        return 2;
    }
    for (const FontPlan& plan : plans()) {
        if (!exportFont(plan, argv[1], argv[2])) {
            return 1;
        }
    }
    return 0;
}

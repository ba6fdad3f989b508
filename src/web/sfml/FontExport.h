#pragma once

// The glyph export of a font: what the native build measures through SFML and FreeType and
// writes beside each font file, and what the browser build lays texts out from. Plain types, so
// that the exporter (on real SFML) and the browser's font both use this one reader and writer.
//
// The file, little-endian: "TOLVAGLY", u32 version, the family name (u32 length, bytes), u32 count
// of sizes, and per size: u32 character size, f32 line spacing, underline position and thickness,
// u32 page width and height, u32 count of glyph sets, per set u8 bold, f32 outline thickness,
// u32 count and per glyph u32 code point, f32 advance, f32 left, top, width, height, i32 the page
// rectangle's left, top, width, height; then u32 count of kerning pairs, per pair u32 first,
// u32 second, f32 kerning (pairs not listed kern by 0).

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tolva::glyphs {

struct GlyphMetrics {
    float advance = 0;
    float bounds[4] = {0, 0, 0, 0};  // left, top, width, height
    std::int32_t textureRect[4] = {0, 0, 0, 0};
};

struct GlyphSet {
    bool bold = false;
    float outline = 0;
    std::map<std::uint32_t, GlyphMetrics> glyphs;
};

struct SizeExport {
    unsigned characterSize = 0;
    float lineSpacing = 0;
    float underlinePosition = 0;
    float underlineThickness = 0;
    unsigned pageWidth = 0;
    unsigned pageHeight = 0;
    std::vector<GlyphSet> sets;
    std::map<std::uint64_t, float> kerning;  // by pairKey(first, second)
};

struct FontExport {
    std::string family;
    std::vector<SizeExport> sizes;
};

inline std::uint64_t pairKey(std::uint32_t first, std::uint32_t second)
{
    return (static_cast<std::uint64_t>(first) << 32) | second;
}

std::uint32_t floatBits(float value);

std::string writeFontExport(const FontExport& font);

// False, with what is wrong, for anything but a whole, well-formed export.
bool parseFontExport(const char* bytes, std::size_t count, FontExport& out, std::string& problem);

} // namespace tolva::glyphs

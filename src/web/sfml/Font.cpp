#include <SFML/Graphics/Font.hpp>

#include "FontExport.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

using namespace tolva;

namespace sf {

// What one export holds, as SFML's glyphs, looked up by character size and then by (bold,
// outline); shared by copies of the font and never changed after loading.
struct Font::Data {
    struct SizeData {
        glyphs::SizeExport metrics;
        std::map<std::pair<bool, std::uint32_t>, std::unordered_map<Uint32, Glyph>> sets;
    };

    std::string family;
    std::map<unsigned, SizeData> sizes;
    std::string pagePrefix;  // the page of size N is pagePrefix + N + ".png"
    mutable std::set<std::tuple<Uint32, unsigned, bool, std::uint32_t>> reported;

    const SizeData* size(unsigned characterSize) const
    {
        const auto found = sizes.find(characterSize);
        return found == sizes.end() ? nullptr : &found->second;
    }

    const Glyph* find(Uint32 code, unsigned characterSize, bool bold, float outline) const
    {
        const SizeData* at = size(characterSize);
        if (at == nullptr) {
            return nullptr;
        }
        const auto set = at->sets.find({bold, glyphs::floatBits(outline)});
        if (set == at->sets.end()) {
            return nullptr;
        }
        const auto glyph = set->second.find(code);
        return glyph == set->second.end() ? nullptr : &glyph->second;
    }

    void take(glyphs::FontExport&& font)
    {
        family = font.family;
        for (glyphs::SizeExport& exported : font.sizes) {
            SizeData& size = sizes[exported.characterSize];
            for (const glyphs::GlyphSet& set : exported.sets) {
                auto& glyphsOfSet = size.sets[{set.bold, glyphs::floatBits(set.outline)}];
                for (const auto& [code, metrics] : set.glyphs) {
                    Glyph& glyph = glyphsOfSet[code];
                    glyph.advance = metrics.advance;
                    glyph.bounds = FloatRect(metrics.bounds[0], metrics.bounds[1], metrics.bounds[2],
                                             metrics.bounds[3]);
                    glyph.textureRect = IntRect(metrics.textureRect[0], metrics.textureRect[1],
                                                metrics.textureRect[2], metrics.textureRect[3]);
                }
            }
            exported.sets.clear();
            size.metrics = std::move(exported);
        }
    }
};

namespace {

const Glyph& emptyGlyph()
{
    static const Glyph glyph;
    return glyph;
}

// The page of a font without glyphs, as SFML makes it: transparent, with the white 2x2 block
// in its corner that underlines are drawn from.
void makeEmptyPage(Texture& page)
{
    std::vector<Uint8> pixels(128 * 128 * 4, 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            Uint8* pixel = &pixels[static_cast<std::size_t>((y * 128 + x) * 4)];
            pixel[0] = pixel[1] = pixel[2] = pixel[3] = 255;
        }
    }
    page.setPixels(std::move(pixels), Vector2u(128, 128));
    page.setSmooth(true);
}

} // namespace

Font::Font() = default;
Font::~Font() = default;
Font::Font(const Font& copy) : m_data(copy.m_data), m_info(copy.m_info) {}

Font& Font::operator=(const Font& right)
{
    m_data = right.m_data;
    m_info = right.m_info;
    m_pages.clear();
    return *this;
}

bool Font::loadFromFile(const std::string& filename)
{
    m_data.reset();
    m_pages.clear();
    m_info = Info();
    const std::string exportPath = filename + ".glyphs";
    std::ifstream in(exportPath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto data = std::make_shared<Data>();
    std::string problem;
    if (bytes.empty()) {
        problem = "cannot read the file";
    } else {
        glyphs::FontExport font;
        if (glyphs::parseFontExport(bytes.data(), bytes.size(), font, problem)) {
            data->take(std::move(font));
        } else {
            problem = "damaged: " + problem;
        }
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "Failed to load font \"%s\" (%s: %s)\n", filename.c_str(), exportPath.c_str(),
                     problem.c_str());
        return false;
    }
    data->pagePrefix = filename + ".";
    m_info.family = data->family;
    m_data = std::move(data);
    return true;
}

const Glyph& Font::getGlyph(Uint32 codePoint, unsigned int characterSize, bool bold, float outlineThickness) const
{
    if (!m_data) {
        return emptyGlyph();
    }
    if (const Glyph* glyph = m_data->find(codePoint, characterSize, bold, outlineThickness)) {
        return *glyph;
    }
    // A gap in the export: seen once on the console, drawn as nothing.
    const auto key = std::make_tuple(codePoint, characterSize, bold, glyphs::floatBits(outlineThickness));
    if (m_data->reported.insert(key).second) {
        std::fprintf(stderr, "tolva: font \"%s\" has no glyph U+%04X at size %u%s, outline %g: drawn empty\n",
                     m_info.family.c_str(), codePoint, characterSize, bold ? " bold" : "",
                     static_cast<double>(outlineThickness));
    }
    return emptyGlyph();
}

float Font::getKerning(Uint32 first, Uint32 second, unsigned int characterSize) const
{
    if (first == 0 || second == 0 || !m_data) {
        return 0.f;
    }
    const Data::SizeData* size = m_data->size(characterSize);
    if (size == nullptr) {
        return 0.f;
    }
    const auto found = size->metrics.kerning.find(glyphs::pairKey(first, second));
    return found == size->metrics.kerning.end() ? 0.f : found->second;
}

float Font::getLineSpacing(unsigned int characterSize) const
{
    const Data::SizeData* size = m_data ? m_data->size(characterSize) : nullptr;
    return size ? size->metrics.lineSpacing : 0.f;
}

float Font::getUnderlinePosition(unsigned int characterSize) const
{
    const Data::SizeData* size = m_data ? m_data->size(characterSize) : nullptr;
    return size ? size->metrics.underlinePosition : 0.f;
}

float Font::getUnderlineThickness(unsigned int characterSize) const
{
    const Data::SizeData* size = m_data ? m_data->size(characterSize) : nullptr;
    return size ? size->metrics.underlineThickness : 0.f;
}

const Texture& Font::getTexture(unsigned int characterSize) const
{
    auto found = m_pages.find(characterSize);
    if (found != m_pages.end()) {
        return found->second;
    }
    Texture& page = m_pages[characterSize];
    const bool exported = m_data && m_data->size(characterSize) != nullptr;
    if (!exported || !page.loadFromFile(m_data->pagePrefix + std::to_string(characterSize) + ".png")) {
        makeEmptyPage(page);
    }
    page.setSmooth(true);
    return page;
}

} // namespace sf

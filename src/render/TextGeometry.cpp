#include "render/TextGeometry.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>

#include <cmath>

namespace tolva {
namespace {

// One glyph's quad as two triangles, as SFML 2.5.1 lays it: the glyph's box and its texture
// rectangle both widened by one pixel, the italic shear applied to the top and bottom edges, and
// the outline glyph moved up and left by the thickness. The operations keep SFML's order.
void addGlyphQuad(std::vector<sf::Vertex>& vertices, sf::Vector2f position, sf::Color color,
                  const sf::Glyph& glyph, float italicShear, float outlineThickness)
{
    const float padding = 1.0f;

    const float left = glyph.bounds.left - padding;
    const float top = glyph.bounds.top - padding;
    const float right = glyph.bounds.left + glyph.bounds.width + padding;
    const float bottom = glyph.bounds.top + glyph.bounds.height + padding;

    const float u1 = static_cast<float>(glyph.textureRect.left) - padding;
    const float v1 = static_cast<float>(glyph.textureRect.top) - padding;
    const float u2 = static_cast<float>(glyph.textureRect.left + glyph.textureRect.width) + padding;
    const float v2 = static_cast<float>(glyph.textureRect.top + glyph.textureRect.height) + padding;

    const sf::Vector2f topLeft(position.x + left - italicShear * top - outlineThickness,
                               position.y + top - outlineThickness);
    const sf::Vector2f topRight(position.x + right - italicShear * top - outlineThickness,
                                position.y + top - outlineThickness);
    const sf::Vector2f bottomLeft(position.x + left - italicShear * bottom - outlineThickness,
                                  position.y + bottom - outlineThickness);
    const sf::Vector2f bottomRight(position.x + right - italicShear * bottom - outlineThickness,
                                   position.y + bottom - outlineThickness);

    vertices.emplace_back(topLeft, color, sf::Vector2f(u1, v1));
    vertices.emplace_back(topRight, color, sf::Vector2f(u2, v1));
    vertices.emplace_back(bottomLeft, color, sf::Vector2f(u1, v2));
    vertices.emplace_back(bottomLeft, color, sf::Vector2f(u1, v2));
    vertices.emplace_back(topRight, color, sf::Vector2f(u2, v1));
    vertices.emplace_back(bottomRight, color, sf::Vector2f(u2, v2));
}

bool drawsGlyph(sf::Uint32 c) { return c != ' ' && c != '\n' && c != '\t' && c != '\r'; }

bool finite(sf::Vector2f p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The advances SFML lays a text's glyphs out with, a space's and a line's widened by the text's
// spacing factors.
struct Spacing {
    float whitespace;
    float letter;
    float line;
};

Spacing spacingOf(const sf::Font& font, const sf::Text& text, unsigned size, bool bold)
{
    // SFML asks for these glyphs before any other: asking in the same order keeps the font's
    // page filled in the same order as when the text draws itself.
    font.getGlyph(L'x', size, bold);
    float whitespaceWidth = font.getGlyph(L' ', size, bold).advance;
    const float letterSpacing = (whitespaceWidth / 3.f) * (text.getLetterSpacing() - 1.f);
    whitespaceWidth += letterSpacing;
    const float lineSpacing = font.getLineSpacing(size) * text.getLineSpacing();
    return {whitespaceWidth, letterSpacing, lineSpacing};
}

} // namespace

bool buildTextTriangles(const sf::Text& text, TextTriangles& out)
{
    out.vertices.clear();
    out.outlineCount = 0;
    const sf::Uint32 style = text.getStyle();
    if ((style & (sf::Text::Underlined | sf::Text::StrikeThrough)) != 0) {
        return false;
    }
    const sf::Font* font = text.getFont();
    const sf::String& string = text.getString();
    if (font == nullptr || string.isEmpty()) {
        return true;
    }
    const unsigned size = text.getCharacterSize();
    const bool bold = (style & sf::Text::Bold) != 0;
    const float italicShear = (style & sf::Text::Italic) != 0 ? 0.209f : 0.f;
    const float thickness = text.getOutlineThickness();

    const Spacing spacing = spacingOf(*font, text, size, bold);

    // The outline's and the fill's quads go to two arrays in SFML; the fill's wait here.
    static thread_local std::vector<sf::Vertex> fill;
    fill.clear();
    float x = 0.f;
    float y = static_cast<float>(size);
    sf::Uint32 previous = 0;
    for (std::size_t i = 0; i < string.getSize(); ++i) {
        const sf::Uint32 current = string[i];
        if (current == '\r') {
            continue;
        }
        x += font->getKerning(previous, current, size);
        previous = current;
        if (!drawsGlyph(current)) {
            switch (current) {
            case L' ': x += spacing.whitespace; break;
            case L'\t': x += spacing.whitespace * 4; break;
            case L'\n': y += spacing.line; x = 0; break;
            default: break;
            }
            continue;
        }
        if (thickness != 0) {
            const sf::Glyph& glyph = font->getGlyph(current, size, bold, thickness);
            addGlyphQuad(out.vertices, sf::Vector2f(x, y), text.getOutlineColor(), glyph,
                         italicShear, thickness);
        }
        const sf::Glyph& glyph = font->getGlyph(current, size, bold);
        addGlyphQuad(fill, sf::Vector2f(x, y), text.getFillColor(), glyph, italicShear, 0);
        x += glyph.advance + spacing.letter;
    }
    out.outlineCount = out.vertices.size();
    out.vertices.insert(out.vertices.end(), fill.begin(), fill.end());
    return true;
}

unsigned directTextDraws(const sf::Text& text)
{
    if (text.getFont() == nullptr) {
        return 0;
    }
    bool anyQuad = (text.getStyle() & (sf::Text::Underlined | sf::Text::StrikeThrough)) != 0;
    const sf::String& string = text.getString();
    for (std::size_t i = 0; i < string.getSize() && !anyQuad; ++i) {
        anyQuad = drawsGlyph(string[i]);
    }
    if (string.isEmpty() || !anyQuad) {
        return 0;
    }
    return text.getOutlineThickness() != 0 ? 2u : 1u;
}

void appendTextTriangles(const std::vector<sf::Vertex>& local, const ClipTransform& transform,
                         std::vector<sf::Vertex>& out)
{
    out.reserve(out.size() + local.size());
    for (std::size_t k = 0; k + 2 < local.size(); k += 3) {
        const sf::Vector2f a = transform.apply(local[k].position);
        const sf::Vector2f b = transform.apply(local[k + 1].position);
        const sf::Vector2f c = transform.apply(local[k + 2].position);
        if (finite(a) && finite(b) && finite(c)) {
            out.emplace_back(a, local[k].color, local[k].texCoords);
            out.emplace_back(b, local[k + 1].color, local[k + 1].texCoords);
            out.emplace_back(c, local[k + 2].color, local[k + 2].texCoords);
        }
    }
}

} // namespace tolva

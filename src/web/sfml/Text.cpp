#include <SFML/Graphics/Text.hpp>

#include <algorithm>

// The layout is SFML's, operation for operation: a text's bounds and character positions place
// the show's lines, and a reordered sum could move them by a bit.
namespace sf {

Text::Text()
    : m_string(), m_font(nullptr), m_characterSize(30), m_letterSpacingFactor(1.f), m_lineSpacingFactor(1.f),
      m_style(Regular), m_fillColor(255, 255, 255), m_outlineColor(0, 0, 0), m_outlineThickness(0), m_bounds(),
      m_geometryNeedUpdate(false)
{
}

Text::Text(const String& string, const Font& font, unsigned int characterSize) : Text()
{
    m_string = string;
    m_font = &font;
    m_characterSize = characterSize;
    m_geometryNeedUpdate = true;
}

void Text::setString(const String& string)
{
    if (m_string != string) {
        m_string = string;
        m_geometryNeedUpdate = true;
    }
}

void Text::setFont(const Font& font)
{
    if (m_font != &font) {
        m_font = &font;
        m_geometryNeedUpdate = true;
    }
}

void Text::setCharacterSize(unsigned int size)
{
    if (m_characterSize != size) {
        m_characterSize = size;
        m_geometryNeedUpdate = true;
    }
}

void Text::setLetterSpacing(float spacingFactor)
{
    if (m_letterSpacingFactor != spacingFactor) {
        m_letterSpacingFactor = spacingFactor;
        m_geometryNeedUpdate = true;
    }
}

void Text::setLineSpacing(float spacingFactor)
{
    if (m_lineSpacingFactor != spacingFactor) {
        m_lineSpacingFactor = spacingFactor;
        m_geometryNeedUpdate = true;
    }
}

void Text::setStyle(Uint32 style)
{
    if (m_style != style) {
        m_style = style;
        m_geometryNeedUpdate = true;
    }
}

void Text::setOutlineThickness(float thickness)
{
    if (thickness != m_outlineThickness) {
        m_outlineThickness = thickness;
        m_geometryNeedUpdate = true;
    }
}

Vector2f Text::findCharacterPos(std::size_t index) const
{
    if (!m_font) {
        return Vector2f();
    }
    if (index > m_string.getSize()) {
        index = m_string.getSize();
    }
    const bool isBold = (m_style & Bold) != 0;
    float whitespaceWidth = m_font->getGlyph(L' ', m_characterSize, isBold).advance;
    const float letterSpacing = (whitespaceWidth / 3.f) * (m_letterSpacingFactor - 1.f);
    whitespaceWidth += letterSpacing;
    const float lineSpacing = m_font->getLineSpacing(m_characterSize) * m_lineSpacingFactor;

    Vector2f position;
    Uint32 prevChar = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const Uint32 curChar = m_string[i];
        position.x += m_font->getKerning(prevChar, curChar, m_characterSize);
        prevChar = curChar;
        switch (curChar) {
        case ' ': position.x += whitespaceWidth; continue;
        case '\t': position.x += whitespaceWidth * 4; continue;
        case '\n':
            position.y += lineSpacing;
            position.x = 0;
            continue;
        default: break;
        }
        position.x += m_font->getGlyph(curChar, m_characterSize, isBold).advance + letterSpacing;
    }
    return getTransform().transformPoint(position);
}

FloatRect Text::getLocalBounds() const
{
    ensureGeometryUpdate();
    return m_bounds;
}

namespace {

// The running bounds of a layout, starting where SFML starts them.
struct Extent {
    float minX;
    float minY;
    float maxX = 0.f;
    float maxY = 0.f;

    void takeWhitespace(float x, float y, Uint32 c, float whitespaceWidth, float lineSpacing, float& nextX,
                        float& nextY)
    {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        switch (c) {
        case L' ': x += whitespaceWidth; break;
        case L'\t': x += whitespaceWidth * 4; break;
        case L'\n':
            y += lineSpacing;
            x = 0;
            break;
        default: break;
        }
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
        nextX = x;
        nextY = y;
    }

    void takeGlyph(float x, float y, const FloatRect& bounds, float italicShear, float outline)
    {
        const float left = bounds.left;
        const float top = bounds.top;
        const float right = bounds.left + bounds.width;
        const float bottom = bounds.top + bounds.height;
        if (outline != 0) {
            minX = std::min(minX, x + left - italicShear * bottom - outline);
            maxX = std::max(maxX, x + right - italicShear * top - outline);
            minY = std::min(minY, y + top - outline);
            maxY = std::max(maxY, y + bottom - outline);
        } else {
            minX = std::min(minX, x + left - italicShear * bottom);
            maxX = std::max(maxX, x + right - italicShear * top);
            minY = std::min(minY, y + top);
            maxY = std::max(maxY, y + bottom);
        }
    }
};

} // namespace

void Text::ensureGeometryUpdate() const
{
    if (!m_font || !m_geometryNeedUpdate) {
        return;
    }
    m_geometryNeedUpdate = false;
    m_bounds = FloatRect();
    if (m_string.isEmpty()) {
        return;
    }
    const bool isBold = (m_style & Bold) != 0;
    const float italicShear = (m_style & Italic) != 0 ? 0.209f : 0.f;  // 12 degrees
    // SFML asks for 'x' first (for the strike-through's height); the bounds do not need it.
    float whitespaceWidth = m_font->getGlyph(L' ', m_characterSize, isBold).advance;
    const float letterSpacing = (whitespaceWidth / 3.f) * (m_letterSpacingFactor - 1.f);
    whitespaceWidth += letterSpacing;
    const float lineSpacing = m_font->getLineSpacing(m_characterSize) * m_lineSpacingFactor;
    float x = 0.f;
    float y = static_cast<float>(m_characterSize);

    Extent extent{static_cast<float>(m_characterSize), static_cast<float>(m_characterSize)};
    Uint32 prevChar = 0;
    for (std::size_t i = 0; i < m_string.getSize(); ++i) {
        const Uint32 curChar = m_string[i];
        if (curChar == L'\r') {
            continue;
        }
        x += m_font->getKerning(prevChar, curChar, m_characterSize);
        prevChar = curChar;
        if (curChar == L' ' || curChar == L'\n' || curChar == L'\t') {
            extent.takeWhitespace(x, y, curChar, whitespaceWidth, lineSpacing, x, y);
            continue;
        }
        if (m_outlineThickness != 0) {
            const Glyph& outlined = m_font->getGlyph(curChar, m_characterSize, isBold, m_outlineThickness);
            extent.takeGlyph(x, y, outlined.bounds, italicShear, m_outlineThickness);
        }
        const Glyph& glyph = m_font->getGlyph(curChar, m_characterSize, isBold);
        if (m_outlineThickness == 0) {
            extent.takeGlyph(x, y, glyph.bounds, italicShear, 0);
        }
        x += glyph.advance + letterSpacing;
    }
    m_bounds.left = extent.minX;
    m_bounds.top = extent.minY;
    m_bounds.width = extent.maxX - extent.minX;
    m_bounds.height = extent.maxY - extent.minY;
}

} // namespace sf

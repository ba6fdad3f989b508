#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/System/String.hpp>

#include <cstddef>

namespace sf {

// A text's settings and its layout's bounds, laid out as SFML lays it out. The triangles are the
// renderer's to build (the show's text geometry does it).
class Text : public Transformable {
public:
    enum Style { Regular = 0, Bold = 1 << 0, Italic = 1 << 1, Underlined = 1 << 2, StrikeThrough = 1 << 3 };

    Text();
    Text(const String& string, const Font& font, unsigned int characterSize = 30);

    void setString(const String& string);
    void setFont(const Font& font);
    void setCharacterSize(unsigned int size);
    void setLineSpacing(float spacingFactor);
    void setLetterSpacing(float spacingFactor);
    void setStyle(Uint32 style);
    void setFillColor(const Color& color) { m_fillColor = color; }
    void setOutlineColor(const Color& color) { m_outlineColor = color; }
    void setOutlineThickness(float thickness);

    const String& getString() const { return m_string; }
    const Font* getFont() const { return m_font; }
    unsigned int getCharacterSize() const { return m_characterSize; }
    float getLetterSpacing() const { return m_letterSpacingFactor; }
    float getLineSpacing() const { return m_lineSpacingFactor; }
    Uint32 getStyle() const { return m_style; }
    const Color& getFillColor() const { return m_fillColor; }
    const Color& getOutlineColor() const { return m_outlineColor; }
    float getOutlineThickness() const { return m_outlineThickness; }

    Vector2f findCharacterPos(std::size_t index) const;
    FloatRect getLocalBounds() const;
    FloatRect getGlobalBounds() const { return getTransform().transformRect(getLocalBounds()); }

private:
    void ensureGeometryUpdate() const;

    String m_string;
    const Font* m_font;
    unsigned int m_characterSize;
    float m_letterSpacingFactor;
    float m_lineSpacingFactor;
    Uint32 m_style;
    Color m_fillColor;
    Color m_outlineColor;
    float m_outlineThickness;
    mutable FloatRect m_bounds;
    mutable bool m_geometryNeedUpdate;
};

} // namespace sf

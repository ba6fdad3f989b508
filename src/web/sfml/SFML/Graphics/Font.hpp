#pragma once

#include <SFML/Graphics/Glyph.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <map>
#include <memory>
#include <string>

namespace sf {

// A font as the native build exported it beside the font file ("X.ttf.glyphs" and one page
// picture per character size): the glyphs' metrics and page rectangles, the kerning and the line
// metrics for every size and outline the show uses. A glyph that was not exported is empty and
// named once on the console; a missing or damaged export leaves the whole font empty, as a font
// file that does not load leaves it natively.
class Font {
public:
    struct Info {
        std::string family;
    };

    Font();
    ~Font();
    Font(const Font& copy);
    Font& operator=(const Font& right);

    bool loadFromFile(const std::string& filename);
    const Info& getInfo() const { return m_info; }
    const Glyph& getGlyph(Uint32 codePoint, unsigned int characterSize, bool bold,
                          float outlineThickness = 0) const;
    float getKerning(Uint32 first, Uint32 second, unsigned int characterSize) const;
    float getLineSpacing(unsigned int characterSize) const;
    float getUnderlinePosition(unsigned int characterSize) const;
    float getUnderlineThickness(unsigned int characterSize) const;
    const Texture& getTexture(unsigned int characterSize) const;

    struct Data;

private:
    std::shared_ptr<Data> m_data;  // what was loaded; shared by copies, never changed after loading
    Info m_info;
    mutable std::map<unsigned int, Texture> m_pages;  // decoded when first asked for
};

} // namespace sf

#pragma once

#include <SFML/Config.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <string>
#include <vector>

namespace sf {

// A picture in memory (RGBA, rows top to bottom). Nothing here talks to a GPU: the page's
// renderer uploads the pixels into the slot `handle` when `version` has moved since it last did.
class Texture {
public:
    bool create(unsigned int width, unsigned int height);
    bool loadFromFile(const std::string& filename, const IntRect& area = IntRect());
    bool loadFromMemory(const void* data, std::size_t size, const IntRect& area = IntRect());
    // Whole RGBA rows; a size of zero empties the texture.
    void setPixels(std::vector<Uint8> pixels, Vector2u size);

    Vector2u getSize() const { return m_size; }
    const std::vector<Uint8>& getPixels() const { return m_pixels; }
    void setSmooth(bool smooth);
    bool isSmooth() const { return m_smooth; }
    void setRepeated(bool repeated);
    bool isRepeated() const { return m_repeated; }

    mutable unsigned handle = 0;  // the renderer's own name for it
    unsigned version = 0;         // bumped whenever the pixels or the flags change

private:
    std::vector<Uint8> m_pixels;
    Vector2u m_size;
    bool m_smooth = false;
    bool m_repeated = false;
};

} // namespace sf

#pragma once

#include "render/ShapeGeometry.h"

#include <SFML/Graphics/Vertex.hpp>

#include <cstddef>
#include <vector>

namespace sf {
class Text;
}

namespace tolva {

// A text's triangles exactly as sf::Text builds them, in the text's own coordinates: the
// outline's quads first (when it has an outline), then the fill's, texture coordinates in pixels
// of the font's page for the text's size.
struct TextTriangles {
    std::vector<sf::Vertex> vertices;
    std::size_t outlineCount = 0;  // the first outlineCount vertices are the outline's
};

// Rebuilds the text's triangles. False for underlined or struck-through texts, which are not
// rebuilt here: their owner draws them through SFML. A text without a font gives no triangles.
bool buildTextTriangles(const sf::Text& text, TextTriangles& out);

// How many draw calls sf::RenderTarget::draw makes for the text: SFML skips an empty vertex
// array, and draws an outlined text's outline and fill separately.
unsigned directTextDraws(const sf::Text& text);

// Appends the triangles taken to clip space. A triangle with a vertex that is not a finite number
// would show nothing and is left out.
void appendTextTriangles(const std::vector<sf::Vertex>& local, const ClipTransform& transform,
                         std::vector<sf::Vertex>& out);

} // namespace tolva

#pragma once

#include "render/ShapeGeometry.h"
#include "render/TextGeometry.h"

#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <cstdint>
#include <vector>

namespace sf {
class Text;
class Texture;
}

namespace tolva {

// A shape or text the batch holds: its triangles [begin, end) and their bounds in clip space.
struct BatchItem {
    std::uint32_t begin;
    std::uint32_t end;
    ClipRect bounds;
    const sf::Texture* texture;  // none for a shape, the font's page for a text
    // An untextured fill of alpha 255: with SFML's alpha blending it writes its own colour
    // wherever it lies, whatever lay below.
    bool opaque;
    // An opaque shape whose triangles are its whole fan (see appendTriangles): it hides all that
    // lies inside its edges. Never worked out for anything else, which hides nothing.
    bool wholeFan;
    float inscribed;  // a whole fan's inscribed radius in pixels, round its centre (its first vertex)

    bool hides() const { return opaque && wholeFan; }
};

// Shapes and texts gathered into one triangle list in draw order, already in clip space: the
// same triangles SFML would draw object by object. It knows nothing of how they are drawn.
class Batch {
public:
    Batch();

    // The view the next shapes are drawn through: its projection, and its pixels a unit (the
    // least of across and down; a view is never turned).
    void setView(const sf::Transform& projection, float pixelsPerUnit);
    void add(const Circle& circle);
    void add(const Rect& rect);
    // False for a text the batch cannot draw (underlined or struck through): its owner draws it.
    bool add(const sf::Text& text);
    void clear();

    bool empty() const { return vertices_.empty(); }
    const std::vector<BatchItem>& items() const { return items_; }
    const std::vector<sf::Vertex>& vertices() const { return vertices_; }
    // The plan closes up what it leaves out and turns stretches round, in place.
    std::vector<sf::Vertex>& vertices() { return vertices_; }

private:
    // `inscribed`: the fan's inscribed radius in its own units, negative until worked out.
    void appendShape(const LocalFan& fan, float& inscribed, const sf::Transformable& shape, sf::Color color);
    // Notes what was appended since `begin` as an item, with its bounds; nothing if nothing was.
    void addItem(std::size_t begin, const sf::Texture* texture, bool opaque, bool wholeFan, float inscribed);

    sf::Transform projection_;
    float pixelsPerUnit_ = 1.0f;
    std::vector<sf::Vertex> vertices_;
    std::vector<BatchItem> items_;
    TextTriangles text_;
    ModelTransforms models_;
    // The last fans built: grids often draw many shapes of one radius or size in a row.
    LocalFan circleFan_;
    std::uint32_t circleRadiusBits_ = 0;
    std::size_t circlePoints_ = 0;
    float circleInscribed_ = 0.0f;
    LocalFan rectFan_;
    float rectInscribed_ = 0.0f;
    sf::Vector2f rectSize_{-1.0f, -1.0f};
};

} // namespace tolva

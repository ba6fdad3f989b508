#pragma once

#include "render/Shapes.h"

#include <SFML/Graphics/Vertex.hpp>

#include <cstdint>
#include <vector>

namespace tolva {

// The fill of a shape exactly as SFML builds it: the outline points in local coordinates, and the
// fan centre at the middle of the points' bounds.
struct LocalFan {
    sf::Vector2f centre;
    std::vector<sf::Vector2f> points;
};

void circleFan(const Circle& circle, LocalFan& fan);
void rectFan(const Rect& rect, LocalFan& fan);

// sf::Transformable::getTransform's matrix, worked out the same way to the bit, with the cosine
// and sine of the last angle kept: grids often turn every shape by the same angle.
class ModelTransforms {
public:
    sf::Transform of(const sf::Transformable& shape);

private:
    std::uint32_t rotationBits_ = 0;
    float cosine_ = 1.0f;
    float sine_ = -0.0f;
};

// The shape's transform followed by the view's projection, as one matrix worked out the way
// OpenGL's fixed pipeline does: projection times model-view in single precision, then applied to
// each point as a plain dot product. Points taken to clip space this way are the very points the
// GPU rasterizes when SFML draws the shape on its own, so the batch covers the same pixels.
class ClipTransform {
public:
    ClipTransform(const sf::Transform& model, const sf::Transform& projection);
    sf::Vector2f apply(sf::Vector2f p) const
    {
        return {(p.x * x0_ + p.y * x1_) + x3_, (p.x * y0_ + p.y * y1_) + y3_};
    }

private:
    float x0_, x1_, x3_, y0_, y1_, y3_;
};

// Appends the fan's triangles, in clip space, as a triangle list. Triangles with a vertex that
// is not a finite number would show nothing and are left out, and so are shapes wholly beyond one
// edge of clip space. Asked to (`wholeFan` not null), tells whether the triangles appended are the
// whole fan, every point finite and every triangle turning the same way round the centre: as
// SFML's points go once round, the triangles then tile a convex polygon once, and what lies
// inside every outer edge lies in one of them.
void appendTriangles(const LocalFan& fan, const ClipTransform& transform, sf::Color color,
                     std::vector<sf::Vertex>& out, bool* wholeFan = nullptr);

// The radius of a disc round the fan's centre that lies inside every edge of the fan.
float inscribedRadius(const LocalFan& fan);

// An axis-aligned rectangle of clip space.
struct ClipRect {
    float left;
    float bottom;
    float right;
    float top;
};

} // namespace tolva

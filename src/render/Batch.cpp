#include "render/Batch.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Text.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tolva {

Batch::Batch()
{
    vertices_.reserve(1 << 20);
}

void Batch::setView(const sf::Transform& projection, float pixelsPerUnit)
{
    projection_ = projection;
    pixelsPerUnit_ = pixelsPerUnit;
}

void Batch::clear()
{
    vertices_.clear();
    items_.clear();
}

void Batch::add(const Circle& circle)
{
    // With a radius that is not a finite number every point of the fan is not one either, so the
    // shape shows nothing; several scenes draw thousands of such circles a frame.
    const float radius = circle.getRadius();
    if (!std::isfinite(radius)) {
        return;
    }
    std::uint32_t bits = 0;
    std::memcpy(&bits, &radius, sizeof bits);
    if (bits != circleRadiusBits_ || circle.getPointCount() != circlePoints_ || circleFan_.points.empty()) {
        circleFan(circle, circleFan_);
        circleInscribed_ = -1.0f;
        circleRadiusBits_ = bits;
        circlePoints_ = circle.getPointCount();
    }
    appendShape(circleFan_, circleInscribed_, circle, circle.getFillColor());
}

void Batch::add(const Rect& rect)
{
    const sf::Vector2f size = rect.getSize();
    if (std::memcmp(&size, &rectSize_, sizeof size) != 0) {
        rectFan(rect, rectFan_);
        rectInscribed_ = -1.0f;
        rectSize_ = size;
    }
    appendShape(rectFan_, rectInscribed_, rect, rect.getFillColor());
}

bool Batch::add(const sf::Text& text)
{
    if (!buildTextTriangles(text, text_)) {
        return false;
    }
    if (text_.vertices.empty()) {
        return true;
    }
    const sf::Texture* page = &text.getFont()->getTexture(text.getCharacterSize());
    const std::size_t begin = vertices_.size();
    appendTextTriangles(text_.vertices, ClipTransform(models_.of(text), projection_), vertices_);
    addItem(begin, page, false, false, 0.0f);
    return true;
}

void Batch::appendShape(const LocalFan& fan, float& inscribed, const sf::Transformable& shape, sf::Color color)
{
    const std::size_t begin = vertices_.size();
    const bool opaque = color.a == 255;
    bool wholeFan = false;
    appendTriangles(fan, ClipTransform(models_.of(shape), projection_), color, vertices_, opaque ? &wholeFan : nullptr);
    if (wholeFan && inscribed < 0) {
        inscribed = inscribedRadius(fan);  // worked out once a fan, and only for fans that may hide
    }
    // Turned, the fan's disc stays a disc; scaled, it is at least as wide as its narrower scale.
    const sf::Vector2f scale = shape.getScale();
    const float narrower = std::min(std::abs(scale.x), std::abs(scale.y));
    addItem(begin, nullptr, opaque, wholeFan, wholeFan ? inscribed * narrower * pixelsPerUnit_ : 0.0f);
}

void Batch::addItem(std::size_t begin, const sf::Texture* texture, bool opaque, bool wholeFan, float inscribed)
{
    if (vertices_.size() == begin) {
        return;
    }
    const sf::Vector2f first = vertices_[begin].position;
    ClipRect bounds{first.x, first.y, first.x, first.y};
    const auto take = [&bounds](sf::Vector2f p) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::min(bounds.bottom, p.y);
        bounds.top = std::max(bounds.top, p.y);
    };
    if (texture == nullptr) {
        // A shape's triangles all start at its fan's centre: the two other corners are enough.
        for (std::size_t k = begin; k < vertices_.size(); k += 3) {
            take(vertices_[k + 1].position);
            take(vertices_[k + 2].position);
        }
    } else {
        for (std::size_t k = begin + 1; k < vertices_.size(); ++k) {
            take(vertices_[k].position);
        }
    }
    items_.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(vertices_.size()), bounds,
                      texture, opaque, wholeFan, inscribed});
}

} // namespace tolva

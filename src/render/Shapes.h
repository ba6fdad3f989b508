#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Transformable.hpp>

#include <cstddef>
#include <vector>

namespace tolva {

// The circle and rectangle shapes of the scenes. They keep SFML's own transform (so angles,
// positions and the transform matrix are SFML's to the bit) but no vertex storage: the outline
// points are computed when the shape is drawn, so setting a radius or a point count costs nothing.
class Circle : public sf::Transformable {
public:
    void setRadius(float radius) { radius_ = radius; }
    void setPointCount(std::size_t count) { pointCount_ = count; }
    void setFillColor(sf::Color color) { fill_ = color; }
    float getRadius() const { return radius_; }
    std::size_t getPointCount() const { return pointCount_; }
    sf::Color getFillColor() const { return fill_; }

private:
    float radius_ = 0.0f;
    std::size_t pointCount_ = 30;
    sf::Color fill_ = sf::Color::White;
};

class Rect : public sf::Transformable {
public:
    void setSize(sf::Vector2f size) { size_ = size; }
    void setFillColor(sf::Color color) { fill_ = color; }
    sf::Vector2f getSize() const { return size_; }
    sf::Color getFillColor() const { return fill_; }

private:
    sf::Vector2f size_{0.0f, 0.0f};
    sf::Color fill_ = sf::Color::White;
};

// The cells [i][j] of a nested shape collection that the scenes use. The nested collections
// repeat every shape many times over, but the scenes only ever touch one element per cell, so only
// that one exists. Indices are the formulas' own (row 0 and column 0 exist and stay as built).
template <class Shape>
class ShapeGrid {
public:
    ShapeGrid(std::size_t outer, std::size_t inner, const Shape& prototype = Shape())
        : outer_(outer), inner_(inner), cells_(outer * inner, prototype)
    {
    }

    Shape& at(std::size_t i, std::size_t j) { return cells_[i * inner_ + j]; }
    const Shape& at(std::size_t i, std::size_t j) const { return cells_[i * inner_ + j]; }
    std::size_t outer() const { return outer_; }
    const std::vector<Shape>& cells() const { return cells_; }

private:
    std::size_t outer_;
    std::size_t inner_;
    std::vector<Shape> cells_;
};

using CircleGrid = ShapeGrid<Circle>;
using SquareGrid = ShapeGrid<Rect>;

} // namespace tolva

#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Transformable.hpp>

#include <cstddef>
#include <memory>
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
//
// A copy shares the shapes with its original until either is changed (the preview's checkpoints
// copy every grid, and most stay as they are for whole scenes): asking for a cell to change it
// makes the shapes this grid's own first.
template <class Shape>
class ShapeGrid {
public:
    ShapeGrid(std::size_t outer, std::size_t inner, const Shape& prototype = Shape())
        : inner_(inner), cells_(std::make_shared<std::vector<Shape>>(outer * inner, prototype))
    {
    }

    Shape& cell(int i, int j) { return own()[index(i, j)]; }
    const Shape& cell(int i, int j) const { return (*cells_)[index(i, j)]; }

    // Whether the two hold the very same shapes, not merely equal ones.
    bool shares(const ShapeGrid& other) const { return cells_ == other.cells_; }
    const void* identity() const { return cells_.get(); }
    std::size_t bytes() const { return cells_->size() * sizeof(Shape); }

private:
    std::size_t index(int i, int j) const
    {
        return static_cast<std::size_t>(i) * inner_ + static_cast<std::size_t>(j);
    }
    std::vector<Shape>& own()
    {
        if (cells_.use_count() > 1) {
            cells_ = std::make_shared<std::vector<Shape>>(*cells_);
        }
        return *cells_;
    }

    std::size_t inner_;
    std::shared_ptr<std::vector<Shape>> cells_;
};

// The scenes' loops over their cells: f(i, j) for i and j from 1 to last, the outer index first.
template <class Visit>
void forCells(int last, Visit&& visit)
{
    for (int i = 1; i <= last; ++i) {
        for (int j = 1; j <= last; ++j) {
            visit(i, j);
        }
    }
}

using CircleGrid = ShapeGrid<Circle>;
using SquareGrid = ShapeGrid<Rect>;

} // namespace tolva

#pragma once

#include "render/Shapes.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Glsl.hpp>

#include <initializer_list>
#include <utility>

namespace sf {
class Shader;
class Sprite;
class Text;
} // namespace sf

namespace tolva {

// Names a drawn object for the draw-list recorder: a grid cell by the indices of its formulas,
// or a text or sprite by the show's name for it (index -1 for a single text).
struct CellRef {
    const char* grid;
    int i;
    int j;
};
struct ObjectRef {
    const char* name;
    int index = -1;
};

// Where scenes draw. The show's canvas batches shapes into a few draw calls on a window or a
// render texture; the recorder keeps every operation for tests and the inspector.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void clear(sf::Color color) = 0;
    virtual void draw(const Circle& circle, CellRef cell) = 0;
    virtual void draw(const Rect& rect, CellRef cell) = 0;
    virtual void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader = nullptr) = 0;
    virtual void draw(const sf::Sprite& sprite, ObjectRef ref) = 0;
    virtual void setUniform(sf::Shader& shader, const char* name, float value) = 0;
    virtual void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) = 0;
    virtual void display() = 0;

    // The window behind the canvas: scene 8 and Escape close it, the frame loop asks.
    virtual bool isOpen() const = 0;
    virtual void close() = 0;

    // Values a step measured on its way, shown by the inspector; nothing else reads them.
    virtual void measure(std::initializer_list<std::pair<const char*, double>> /*values*/) {}
};

} // namespace tolva

#pragma once

#include "render/Canvas.h"

#include <SFML/Graphics/RenderTarget.hpp>

namespace tolva {

// Draws every shape as its own SFML shape, as SFML alone would: the reference the batched
// canvas is compared with.
class DirectCanvas : public Canvas {
public:
    explicit DirectCanvas(sf::RenderTarget& target) : target_(target) {}

    void clear(sf::Color color) override;
    void draw(const Circle& circle, CellRef cell) override;
    void draw(const Rect& rect, CellRef cell) override;
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override;
    void draw(const sf::Sprite& sprite, ObjectRef ref) override;
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override {}
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }

private:
    sf::RenderTarget& target_;
    bool open_ = true;
};

} // namespace tolva

#pragma once

#include "render/Canvas.h"
#include "render/ShapeGeometry.h"

#include <SFML/Graphics/RenderTarget.hpp>

#include <vector>

namespace sf {
class Window;
}

namespace tolva {

// Draws into any render target with shapes gathered into one triangle list, flushed before a text,
// sprite or shader draw and at display: the same triangles SFML would draw shape by shape, in the
// same order, in a handful of draw calls.
class BatchCanvas : public Canvas {
public:
    // window: the target's window if it is one (display and close go to it), else null.
    // target: null builds the batches and sends them nowhere (for measuring the build alone).
    BatchCanvas(sf::RenderTarget* target, sf::Window* window);

    void clear(sf::Color color) override;
    void draw(const Circle& circle, CellRef cell) override;
    void draw(const Rect& rect, CellRef cell) override;
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override;
    void draw(const sf::Sprite& sprite, ObjectRef ref) override;
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override;
    bool isOpen() const override;
    void close() override;

    // Sends what is gathered to the target (the capture reads the target after this).
    void flush();
    unsigned drawCalls() const { return drawCalls_; }  // since the last display
    unsigned framesPresented() const { return frames_; }

protected:
    // Called after each display; a render texture's owner can read its frame here.
    virtual void presented() {}

private:
    // The target's projection, read at each clear: the view never changes within a frame.
    sf::Transform readProjection() const;

    sf::RenderTarget* target_;
    sf::Window* window_;
    sf::Transform projection_;
    bool open_ = true;
    std::vector<sf::Vertex> batch_;
    ModelTransforms models_;
    // The last fans built: grids often draw many shapes of one radius or size in a row.
    LocalFan circleFan_;
    std::uint32_t circleRadiusBits_ = 0;
    std::size_t circlePoints_ = 0;
    LocalFan rectFan_;
    sf::Vector2f rectSize_{-1.0f, -1.0f};
    unsigned drawCalls_ = 0;
    unsigned frames_ = 0;
};

// Draws every shape as its own SFML shape, as SFML alone would: the reference the batch is
// compared with.
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

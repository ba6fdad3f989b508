#pragma once

#include "render/Batch.h"
#include "render/Canvas.h"
#include "render/DrawPlan.h"
#include "web/Picture.h"
#include "web/WebGl.h"

#include <vector>

namespace tolva {

// The page's canvas: shapes and texts gathered into the core's batch and planned by its plan as
// natively, drawn through WebGL 2; sprites and the scroller's shaded text drawn on their own, in
// their place in the order.
class WebCanvas final : public Canvas {
public:
    explicit WebCanvas(WebGl& gl);

    // The canvas's size in pixels: the picture is letterboxed into it from the next clear on.
    void resize(int width, int height);

    void clear(sf::Color color) override;
    void draw(const Circle& circle, CellRef cell) override;
    void draw(const Rect& rect, CellRef cell) override;
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override;
    void draw(const sf::Sprite& sprite, ObjectRef ref) override;
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override;
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }

    unsigned long presents() const { return presents_; }

private:
    void flush();
    // The text's triangles taken to clip space and drawn with its page, without a shader.
    void drawPlain(const sf::Text& text);

    WebGl& gl_;
    Batch batch_;
    DrawPlan plan_;
    sf::Transform projection_;
    PixelRect picture_{0, 0, 0, 0};
    int width_ = 0;
    int height_ = 0;
    TextTriangles text_;
    std::vector<sf::Vertex> clip_;
    ModelTransforms models_;  // sprites' and plain texts' transforms, its rotation cached between draws
    unsigned long presents_ = 0;
    bool open_ = true;
};

} // namespace tolva

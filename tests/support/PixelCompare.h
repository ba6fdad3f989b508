#pragma once

// Renders one drawing into two 1920x1080 render textures, through the batched canvas and shape by
// shape through SFML, and compares the pixels. Needs an X display.

#include "render/BatchCanvas.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include <functional>
#include <string>

namespace tolva::testing {

struct PixelDifference {
    std::size_t differing = 0;  // pixels that differ
    sf::Image batched;
    sf::Image direct;
};

// Hands every operation to two canvases, so that one step draws the same frame into both.
class TeeCanvas final : public Canvas {
public:
    TeeCanvas(Canvas& a, Canvas& b) : a_(a), b_(b) {}
    void clear(sf::Color c) override { a_.clear(c), b_.clear(c); }
    void draw(const Circle& s, CellRef r) override { a_.draw(s, r), b_.draw(s, r); }
    void draw(const Rect& s, CellRef r) override { a_.draw(s, r), b_.draw(s, r); }
    void draw(const sf::Text& t, ObjectRef r, const sf::Shader* sh) override { a_.draw(t, r, sh), b_.draw(t, r, sh); }
    void draw(const sf::Sprite& s, ObjectRef r) override { a_.draw(s, r), b_.draw(s, r); }
    void setUniform(sf::Shader& s, const char* n, float v) override { a_.setUniform(s, n, v), b_.setUniform(s, n, v); }
    void setUniform(sf::Shader& s, const char* n, sf::Glsl::Vec2 v) override { a_.setUniform(s, n, v), b_.setUniform(s, n, v); }
    void display() override { a_.display(), b_.display(); }
    bool isOpen() const override { return a_.isOpen(); }
    void close() override { a_.close(), b_.close(); }

private:
    Canvas& a_;
    Canvas& b_;
};

// draw runs once, into both canvases at the same time.
inline PixelDifference compareBatchedWithDirect(const std::function<void(Canvas&)>& draw)
{
    PixelDifference result;
    sf::RenderTexture batchedTarget;
    sf::RenderTexture directTarget;
    batchedTarget.create(1920, 1080);
    directTarget.create(1920, 1080);

    BatchCanvas batched(&batchedTarget, nullptr);
    DirectCanvas direct(directTarget);
    TeeCanvas both(batched, direct);
    draw(both);
    batched.flush();
    batchedTarget.display();
    directTarget.display();

    result.batched = batchedTarget.getTexture().copyToImage();
    result.direct = directTarget.getTexture().copyToImage();
    const sf::Uint8* a = result.batched.getPixelsPtr();
    const sf::Uint8* b = result.direct.getPixelsPtr();
    for (std::size_t p = 0; p < 1920u * 1080u; ++p) {
        if (a[4 * p] != b[4 * p] || a[4 * p + 1] != b[4 * p + 1] || a[4 * p + 2] != b[4 * p + 2]
            || a[4 * p + 3] != b[4 * p + 3]) {
            ++result.differing;
        }
    }
    return result;
}

} // namespace tolva::testing

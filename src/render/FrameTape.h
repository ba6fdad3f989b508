#pragma once

#include "render/Canvas.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <string>
#include <variant>
#include <vector>

namespace tolva {

// Keeps copies of everything drawn, to draw the same frames again on other canvases: the
// benchmarks and tests rasterize one real frame of a scene several ways. Fonts, textures and
// shaders are referred to, not copied; they must outlive the tape, and a replay sets the shader's
// uniforms again in their place among the draws.
class FrameTape final : public Canvas {
public:
    void clear(sf::Color color) override { ops_.emplace_back(color); }
    void draw(const Circle& circle, CellRef cell) override { ops_.emplace_back(CircleDraw{circle, cell}); }
    void draw(const Rect& rect, CellRef cell) override { ops_.emplace_back(RectDraw{rect, cell}); }
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override
    {
        ops_.emplace_back(TextDraw{text, ref, shader});
    }
    void draw(const sf::Sprite& sprite, ObjectRef ref) override { ops_.emplace_back(SpriteDraw{sprite, ref}); }
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override { ops_.emplace_back(Display{}); }
    bool isOpen() const override { return true; }
    void close() override {}

    // Draws the tape on a canvas, presents included.
    void replay(Canvas& canvas) const;
    // Forgets everything drawn.
    void rewind() { ops_.clear(); }
    std::size_t shapes() const;

private:
    struct CircleDraw { Circle shape; CellRef cell; };
    struct RectDraw { Rect shape; CellRef cell; };
    struct TextDraw { sf::Text text; ObjectRef ref; const sf::Shader* shader; };
    struct SpriteDraw { sf::Sprite sprite; ObjectRef ref; };
    struct Uniform {
        sf::Shader* shader;
        std::string name;
        bool pair;
        sf::Glsl::Vec2 value;
    };
    struct Display {};
    using Op = std::variant<sf::Color, CircleDraw, RectDraw, TextDraw, SpriteDraw, Uniform, Display>;

    std::vector<Op> ops_;
};

} // namespace tolva

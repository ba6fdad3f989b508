#include "render/FrameTape.h"

namespace tolva {

void FrameTape::setUniform(sf::Shader& shader, const char* name, float value)
{
    ops_.emplace_back(Uniform{&shader, name, false, {value, 0.0f}});
}

void FrameTape::setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value)
{
    ops_.emplace_back(Uniform{&shader, name, true, value});
}

void FrameTape::replay(Canvas& canvas) const
{
    struct Player {
        Canvas& canvas;
        void operator()(sf::Color color) const { canvas.clear(color); }
        void operator()(const CircleDraw& op) const { canvas.draw(op.shape, op.cell); }
        void operator()(const RectDraw& op) const { canvas.draw(op.shape, op.cell); }
        void operator()(const TextDraw& op) const { canvas.draw(op.text, op.ref, op.shader); }
        void operator()(const SpriteDraw& op) const { canvas.draw(op.sprite, op.ref); }
        void operator()(const Uniform& op) const
        {
            if (op.pair) {
                canvas.setUniform(*op.shader, op.name.c_str(), op.value);
            } else {
                canvas.setUniform(*op.shader, op.name.c_str(), op.value.x);
            }
        }
        void operator()(const Display&) const { canvas.display(); }
    };
    for (const Op& op : ops_) {
        std::visit(Player{canvas}, op);
    }
}

std::size_t FrameTape::shapes() const
{
    std::size_t count = 0;
    for (const Op& op : ops_) {
        count += std::holds_alternative<CircleDraw>(op) || std::holds_alternative<RectDraw>(op) ? 1 : 0;
    }
    return count;
}

} // namespace tolva

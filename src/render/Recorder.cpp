#include "render/Recorder.h"

#include "render/Json.h"

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

namespace tolva {

void Recorder::clear(sf::Color color) { ops_.push_back(ClearOp{color}); }

void Recorder::draw(const Circle& c, CellRef cell)
{
    if (keepShapes_) {
        ops_.push_back(CircleOp{cell, c.getFillColor(), c.getPosition(), c.getRadius(),
                                c.getPointCount(), c.getRotation()});
    }
}

void Recorder::draw(const Rect& r, CellRef cell)
{
    if (keepShapes_) {
        ops_.push_back(
            RectOp{cell, r.getFillColor(), r.getPosition(), r.getSize(), r.getRotation()});
    }
}

void Recorder::draw(const sf::Text& t, ObjectRef ref, const sf::Shader* shader)
{
    ops_.push_back(TextOp{ref, t.getString().toAnsiString(), t.getCharacterSize(),
                          t.getFillColor(), t.getOutlineColor(), t.getOutlineThickness(),
                          t.getPosition(), t.getRotation(), t.getScale(), shader != nullptr});
}

void Recorder::draw(const sf::Sprite& s, ObjectRef ref)
{
    ops_.push_back(SpriteOp{ref, s.getPosition(), s.getRotation(), s.getScale()});
}

void Recorder::setUniform(sf::Shader&, const char* name, float value)
{
    ops_.push_back(UniformOp{name, {value}});
}

void Recorder::setUniform(sf::Shader&, const char* name, sf::Glsl::Vec2 value)
{
    ops_.push_back(UniformOp{name, {value.x, value.y}});
}

void Recorder::display()
{
    ops_.push_back(DisplayOp{});
    ++frames_;
}

void Recorder::measure(std::initializer_list<std::pair<const char*, double>> values)
{
    MeasureOp op;
    for (const auto& [name, value] : values) {
        op.values.emplace_back(name, value);
    }
    ops_.push_back(std::move(op));
}

namespace {

struct ToJson {
    std::string operator()(const ClearOp& op) const
    {
        return JsonLine().add("op", "clear").add("color", op.color).str();
    }
    std::string operator()(const CircleOp& op) const
    {
        return JsonLine()
            .add("op", "circle")
            .add("grid", op.cell.grid)
            .addCell(op.cell.i, op.cell.j)
            .add("fill", op.fill)
            .add("position", op.position)
            .add("radius", op.radius)
            .add("points", op.points)
            .add("rotation", op.rotation)
            .str();
    }
    std::string operator()(const RectOp& op) const
    {
        return JsonLine()
            .add("op", "rect")
            .add("grid", op.cell.grid)
            .addCell(op.cell.i, op.cell.j)
            .add("fill", op.fill)
            .add("position", op.position)
            .add("size", op.size)
            .add("rotation", op.rotation)
            .str();
    }
    std::string operator()(const TextOp& op) const
    {
        JsonLine line;
        line.add("op", "text").add("name", op.ref.name);
        if (op.ref.index >= 0) {
            line.add("index", op.ref.index);
        }
        return line.add("string", op.string)
            .add("size", op.size)
            .add("fill", op.fill)
            .add("outlineColor", op.outlineColor)
            .add("outline", op.outline)
            .add("position", op.position)
            .add("rotation", op.rotation)
            .add("scale", op.scale)
            .add("shader", op.shader)
            .str();
    }
    std::string operator()(const SpriteOp& op) const
    {
        return JsonLine()
            .add("op", "sprite")
            .add("name", op.ref.name)
            .add("position", op.position)
            .add("rotation", op.rotation)
            .add("scale", op.scale)
            .str();
    }
    std::string operator()(const UniformOp& op) const
    {
        JsonLine line;
        line.add("op", "uniform").add("name", op.name);
        if (op.value.size() == 1) {
            line.add("value", op.value[0]);
        } else {
            line.add("value", op.value);
        }
        return line.str();
    }
    std::string operator()(const SoundOp& op) const
    {
        return JsonLine()
            .add("op", "sound")
            .add("name", soundName(op.id))
            .add("action", op.play ? "play" : "stop")
            .str();
    }
    std::string operator()(const MeasureOp& op) const
    {
        JsonLine line;
        line.add("op", "measure");
        for (const auto& [name, value] : op.values) {
            line.add(name.c_str(), value);
        }
        return line.str();
    }
    std::string operator()(const DisplayOp&) const { return JsonLine().add("op", "display").str(); }
};

} // namespace

std::string toJson(const RecordedOp& op) { return std::visit(ToJson{}, op); }

} // namespace tolva

#include "worktime/WorkCanvas.h"

#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Text.hpp>

namespace tolva {

void WorkCanvas::clear(sf::Color color)
{
    clock_.spend(clock_.model().clearNs);
    if (target_ != nullptr) {
        target_->clear(color);
    }
}

void WorkCanvas::draw(const Circle& circle, CellRef cell)
{
    clock_.spend(clock_.model().shapeNs);
    if (target_ != nullptr) {
        target_->draw(circle, cell);
    }
}

void WorkCanvas::draw(const Rect& rect, CellRef cell)
{
    clock_.spend(clock_.model().shapeNs);
    if (target_ != nullptr) {
        target_->draw(rect, cell);
    }
}

void WorkCanvas::draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader)
{
    clock_.spend(clock_.model().textNs);
    if (target_ != nullptr) {
        target_->draw(text, ref, shader);
        return;
    }
    // Drawing a text loads its glyphs into the font's texture, in the order they are first drawn;
    // laying it out loads the same glyphs in the same order, so a later rendered frame finds the
    // font's pages exactly as a capture that rendered everything would.
    text.getLocalBounds();
}

void WorkCanvas::draw(const sf::Sprite& sprite, ObjectRef ref)
{
    clock_.spend(clock_.model().textNs);
    if (target_ != nullptr) {
        target_->draw(sprite, ref);
    }
}

// Uniforms are state of the shader, kept between frames: set them whether or not we render.
void WorkCanvas::setUniform(sf::Shader& shader, const char* name, float value)
{
    if (target_ != nullptr) {
        target_->setUniform(shader, name, value);
    } else {
        shader.setUniform(name, value);
    }
}

void WorkCanvas::setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value)
{
    if (target_ != nullptr) {
        target_->setUniform(shader, name, value);
    } else {
        shader.setUniform(name, value);
    }
}

void WorkCanvas::display()
{
    clock_.spend(clock_.model().presentNs);
    ++presents_;
    if (target_ != nullptr) {
        target_->display();
    }
}

void WorkCanvas::close()
{
    open_ = false;
    if (target_ != nullptr) {
        target_->close();
    }
}

void WorkCanvas::measure(std::initializer_list<std::pair<const char*, double>> values)
{
    if (target_ != nullptr) {
        target_->measure(values);
    }
}

} // namespace tolva

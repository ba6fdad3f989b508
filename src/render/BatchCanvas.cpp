#include "render/BatchCanvas.h"

#include "render/Letterbox.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Window.hpp>

#include <cmath>
#include <cstring>

namespace tolva {

BatchCanvas::BatchCanvas(sf::RenderTarget* target, sf::Window* window)
    : target_(target), window_(window), projection_(readProjection())
{
    batch_.reserve(1 << 20);
}

void BatchCanvas::flush()
{
    if (batch_.empty()) {
        runs_.clear();
        return;
    }
    // The batch is already in clip space: draw it through a view that passes it unchanged, on the
    // same viewport.
    sf::View view;
    if (target_ != nullptr) {
        view = target_->getView();
        sf::View clipSpace(sf::Vector2f(0, 0), sf::Vector2f(2, -2));
        clipSpace.setViewport(view.getViewport());
        target_->setView(clipSpace);
    }
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const std::size_t begin = runs_[r].begin;
        const std::size_t end = r + 1 < runs_.size() ? runs_[r + 1].begin : batch_.size();
        if (end == begin) {
            continue;
        }
        if (target_ != nullptr) {
            // A font's page is bound only now: the glyphs asked for since the last flush may have
            // grown it, and its texture coordinates are in pixels, which SFML's texture matrix
            // scales by the page's size at binding.
            sf::RenderStates states;
            states.texture = runs_[r].texture;
            target_->draw(batch_.data() + begin, end - begin, sf::Triangles, states);
        }
        ++drawCalls_;
    }
    if (target_ != nullptr) {
        target_->setView(view);
    }
    batch_.clear();
    runs_.clear();
}

void BatchCanvas::startRun(const sf::Texture* texture)
{
    if (runs_.empty() || runs_.back().texture != texture) {
        runs_.push_back({texture, batch_.size()});
    }
}

void BatchCanvas::dropEmptyRun()
{
    if (!runs_.empty() && runs_.back().begin == batch_.size()) {
        runs_.pop_back();
    }
}

void BatchCanvas::clear(sf::Color color)
{
    batch_.clear();  // nothing drawn before a clear can show
    runs_.clear();
    projection_ = readProjection();
    if (target_ == nullptr) {
        return;
    }
    if (!letterboxed(*target_)) {
        target_->clear(color);
        return;
    }
    // A clear covers the whole window; the bars beside the picture stay black.
    target_->clear(sf::Color::Black);
    const sf::View& view = target_->getView();
    sf::RectangleShape picture(view.getSize());
    picture.setPosition(view.getCenter() - view.getSize() / 2.0f);
    picture.setFillColor(color);
    target_->draw(picture, sf::BlendNone);
    ++drawCalls_;
}

sf::Transform BatchCanvas::readProjection() const
{
    if (target_ != nullptr) {
        return target_->getView().getTransform();
    }
    static const sf::Transform detached = sf::View(sf::FloatRect(0, 0, 1920, 1080)).getTransform();
    return detached;
}

void BatchCanvas::draw(const Circle& circle, CellRef)
{
    // With a radius that is not a finite number every point of the fan is not one either, so the
    // shape shows nothing; several scenes draw thousands of such circles a frame.
    const float radius = circle.getRadius();
    if (!std::isfinite(radius)) {
        return;
    }
    std::uint32_t bits = 0;
    std::memcpy(&bits, &radius, sizeof bits);
    if (bits != circleRadiusBits_ || circle.getPointCount() != circlePoints_ || circleFan_.points.empty()) {
        circleFan(circle, circleFan_);
        circleRadiusBits_ = bits;
        circlePoints_ = circle.getPointCount();
    }
    startRun(nullptr);
    appendTriangles(circleFan_, ClipTransform(models_.of(circle), projection_),
                    circle.getFillColor(), batch_);
    dropEmptyRun();
}

void BatchCanvas::draw(const Rect& rect, CellRef)
{
    const sf::Vector2f size = rect.getSize();
    if (std::memcmp(&size, &rectSize_, sizeof size) != 0) {
        rectFan(rect, rectFan_);
        rectSize_ = size;
    }
    startRun(nullptr);
    appendTriangles(rectFan_, ClipTransform(models_.of(rect), projection_), rect.getFillColor(),
                    batch_);
    dropEmptyRun();
}

void BatchCanvas::draw(const sf::Text& text, ObjectRef, const sf::Shader* shader)
{
    if (shader == nullptr && buildTextTriangles(text, text_)) {
        if (text_.vertices.empty()) {
            return;
        }
        startRun(&text.getFont()->getTexture(text.getCharacterSize()));
        appendTextTriangles(text_.vertices, ClipTransform(models_.of(text), projection_), batch_);
        dropEmptyRun();
        return;
    }
    flush();
    if (target_ != nullptr) {
        target_->draw(text, shader);
    }
    drawCalls_ += directTextDraws(text);
}

void BatchCanvas::draw(const sf::Sprite& sprite, ObjectRef)
{
    flush();
    if (target_ != nullptr) {
        target_->draw(sprite);
    }
    ++drawCalls_;
}

void BatchCanvas::setUniform(sf::Shader& shader, const char* name, float value)
{
    shader.setUniform(name, value);
}

void BatchCanvas::setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value)
{
    shader.setUniform(name, value);
}

void BatchCanvas::display()
{
    flush();
    if (window_ != nullptr) {
        window_->display();
    }
    ++frames_;
    presented();
    lastFrameDrawCalls_ = drawCalls_;
    drawCalls_ = 0;
}

bool BatchCanvas::isOpen() const
{
    return window_ != nullptr ? window_->isOpen() : open_;
}

void BatchCanvas::close()
{
    if (window_ != nullptr) {
        window_->close();
    }
    open_ = false;
}

void DirectCanvas::clear(sf::Color color) { target_.clear(color); }

void DirectCanvas::draw(const Circle& circle, CellRef)
{
    sf::CircleShape shape(circle.getRadius(), circle.getPointCount());
    shape.setFillColor(circle.getFillColor());
    shape.setPosition(circle.getPosition());
    shape.setRotation(circle.getRotation());
    target_.draw(shape);
}

void DirectCanvas::draw(const Rect& rect, CellRef)
{
    sf::RectangleShape shape(rect.getSize());
    shape.setFillColor(rect.getFillColor());
    shape.setPosition(rect.getPosition());
    shape.setRotation(rect.getRotation());
    target_.draw(shape);
}

void DirectCanvas::draw(const sf::Text& text, ObjectRef, const sf::Shader* shader)
{
    target_.draw(text, shader);
}

void DirectCanvas::draw(const sf::Sprite& sprite, ObjectRef) { target_.draw(sprite); }

void DirectCanvas::setUniform(sf::Shader& shader, const char* name, float value)
{
    shader.setUniform(name, value);
}

void DirectCanvas::setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value)
{
    shader.setUniform(name, value);
}

} // namespace tolva

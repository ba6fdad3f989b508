#include "render/BatchCanvas.h"

#include "render/Letterbox.h"

#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Window/Window.hpp>

#include <algorithm>
#include <cmath>

namespace tolva {

BatchCanvas::BatchCanvas(sf::RenderTarget* target, sf::Window* window) : target_(target), window_(window)
{
    if (target_ != nullptr) {
        submitter_.emplace(*target_);
    }
    batch_.setView(readProjection(), readPixelsPerUnit());
}

sf::ContextSettings BatchCanvas::targetSettings()
{
    return sf::ContextSettings(0, 8);
}

sf::Transform BatchCanvas::readProjection() const
{
    if (target_ != nullptr) {
        return target_->getView().getTransform();
    }
    static const sf::Transform detached =
        sf::View(sf::FloatRect(0, 0, static_cast<float>(showWidth), static_cast<float>(showHeight))).getTransform();
    return detached;
}

float BatchCanvas::readPixelsPerUnit() const
{
    const PixelRect viewport = viewportPixels();
    const sf::Vector2f size = target_ != nullptr ? target_->getView().getSize()
                                                 : sf::Vector2f(static_cast<float>(showWidth), static_cast<float>(showHeight));
    return std::min(static_cast<float>(viewport.width) / std::abs(size.x), static_cast<float>(viewport.height) / std::abs(size.y));
}

PixelRect BatchCanvas::viewportPixels() const
{
    if (target_ == nullptr) {
        return {0, 0, static_cast<int>(showWidth), static_cast<int>(showHeight)};
    }
    const sf::IntRect viewport = target_->getViewport(target_->getView());
    const int bottom = static_cast<int>(target_->getSize().y) - (viewport.top + viewport.height);
    return {viewport.left, bottom, viewport.width, viewport.height};
}

void BatchCanvas::flush()
{
    if (batch_.empty()) {
        batch_.clear();
        return;
    }
    const PixelRect viewport = viewportPixels();
    if (target_ == nullptr) {
        plan_.make(batch_, drawing_, {viewport.width, viewport.height}, nowhere_);
        drawCalls_ += static_cast<unsigned>(plan_.calls().size());
        batch_.clear();
        return;
    }
    plan_.make(batch_, drawing_, {viewport.width, viewport.height}, *submitter_);
    // The batch is already in clip space: draw it through a view that passes it unchanged, on the
    // same viewport.
    const sf::View view = target_->getView();
    sf::View clipSpace(sf::Vector2f(0, 0), sf::Vector2f(2, -2));
    clipSpace.setViewport(view.getViewport());
    target_->setView(clipSpace);
    drawCalls_ += submitter_->submit(plan_, viewport);
    target_->setView(view);
    batch_.clear();
}

void BatchCanvas::clear(sf::Color color)
{
    batch_.clear();  // nothing drawn before a clear can show
    if (submitter_) {
        submitter_->pictureCleared();
    }
    batch_.setView(readProjection(), readPixelsPerUnit());
    if (target_ != nullptr) {
        drawCalls_ += clearPicture(*target_, color);
    }
}

void BatchCanvas::draw(const Circle& circle, CellRef)
{
    batch_.add(circle);
}

void BatchCanvas::draw(const Rect& rect, CellRef)
{
    batch_.add(rect);
}

void BatchCanvas::draw(const sf::Text& text, ObjectRef, const sf::Shader* shader)
{
    if (shader == nullptr && batch_.add(text)) {
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

} // namespace tolva

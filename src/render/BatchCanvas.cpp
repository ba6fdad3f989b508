#include "render/BatchCanvas.h"

#include "render/Letterbox.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>
#include <SFML/Window/Window.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tolva {

namespace {

using Enable = void (*)(GLenum);
using Scissor = void (*)(GLint, GLint, GLsizei, GLsizei);

// The functions come from the GL context, so nothing here links OpenGL itself.
template <class Function>
Function glFunction(const char* name)
{
    const auto function = reinterpret_cast<Function>(sf::Context::getFunction(name));
    if (function == nullptr) {
        throw std::runtime_error(std::string("OpenGL offers no ") + name);
    }
    return function;
}

// Tiles of about this many pixels a side: small enough that an opaque shape often covers one,
// large enough that few shapes cross into several and the draw calls stay few.
constexpr int tileSide = 120;

// Batches painting the picture fewer times over than this are drawn whole.
constexpr double tiledOverdraw = 3.0;

// The whole viewport in clip units (2 x 2): the painted area counts in these.
constexpr double viewportClipArea = 4.0;

// Tiles are drawn when, on average, they keep at most this share of the batch's shapes.
constexpr double keptShare = 0.5;

// A tile's size in clip units, clip space spanning 2 units across the viewport.
sf::Vector2f tileInClip(const sf::RenderTarget* target)
{
    sf::Vector2f pixels(static_cast<float>(showWidth), static_cast<float>(showHeight));
    if (target != nullptr) {
        const sf::IntRect viewport = target->getViewport(target->getView());
        pixels = sf::Vector2f(static_cast<float>(viewport.width), static_cast<float>(viewport.height));
    }
    return {2.0f * static_cast<float>(tileSide) / pixels.x, 2.0f * static_cast<float>(tileSide) / pixels.y};
}

bool overlaps(const ClipRect& a, const ClipRect& b)
{
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

bool contains(const ClipRect& outer, const ClipRect& inner)
{
    return outer.left < inner.left && outer.right > inner.right && outer.bottom < inner.bottom
           && outer.top > inner.top;
}

} // namespace

BatchCanvas::BatchCanvas(sf::RenderTarget* target, sf::Window* window)
    : target_(target), window_(window), projection_(readProjection()), tileClip_(tileInClip(target))
{
    batch_.reserve(1 << 20);
}

void BatchCanvas::flush()
{
    if (batch_.empty()) {
        runs_.clear();
        items_.clear();
        paintedArea_ = 0;
        tileSized_ = 0;
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
    if (target_ != nullptr && dropHidden_ && tileSized_ > 0 && paintedArea_ >= viewportClipArea * tiledOverdraw) {
        drawTiles();
    } else {
        drawRuns();
    }
    if (target_ != nullptr) {
        target_->setView(view);
    }
    batch_.clear();
    runs_.clear();
    items_.clear();
    paintedArea_ = 0;
    tileSized_ = 0;
}

void BatchCanvas::drawRuns()
{
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
}

void BatchCanvas::drawTiles()
{
    // The viewport in GL's pixels (from the bottom left), the clip space the batch is in.
    const sf::IntRect viewport = target_->getViewport(target_->getView());
    const int left = viewport.left;
    const int bottom = static_cast<int>(target_->getSize().y) - (viewport.top + viewport.height);
    const float unitX = 2.0f / static_cast<float>(viewport.width);
    const float unitY = 2.0f / static_cast<float>(viewport.height);
    // Two pixels of margin: what covers a tile and this border covers each of its pixels whatever
    // the rasterizer's edge rules and vertex snapping, and what lies beyond it touches none.
    const float marginX = 2.0f * unitX;
    const float marginY = 2.0f * unitY;

    std::vector<Place>& places = places_;
    places.clear();
    std::size_t kept = 0;
    for (int y = 0; y < viewport.height; y += tileSide) {
        for (int x = 0; x < viewport.width; x += tileSide) {
            const int width = std::min(tileSide, viewport.width - x);
            const int height = std::min(tileSide, viewport.height - y);
            const ClipRect grown{static_cast<float>(x) * unitX - 1.0f - marginX,
                                 static_cast<float>(y) * unitY - 1.0f - marginY,
                                 static_cast<float>(x + width) * unitX - 1.0f + marginX,
                                 static_cast<float>(y + height) * unitY - 1.0f + marginY};
            std::size_t first = 0;
            for (std::size_t k = items_.size(); k-- > 0;) {
                const Item& item = items_[k];
                if (item.solid && contains(item.bounds, grown)
                    && fanCovers(batch_.data() + item.begin, (item.end - item.begin) / 3, grown)) {
                    first = k;
                    break;
                }
            }
            kept += items_.size() - first;
            places.push_back({left + x, bottom + y, width, height, grown, first});
        }
    }
    // Tiles pay only where covering shapes hide much of what the batch holds; elsewhere drawing
    // shapes tile by tile costs more than the whole batch at once.
    if (static_cast<double>(kept) > keptShare * static_cast<double>(items_.size() * places.size())) {
        drawRuns();
        return;
    }

    tiled_.clear();
    tiledRuns_.clear();
    tiles_.clear();
    for (const Place& place : places) {
        Tile tile{place.x, place.y, place.width, place.height, tiledRuns_.size(), 0};
        for (std::size_t k = place.first; k < items_.size(); ++k) {
            const Item& item = items_[k];
            if (!overlaps(item.bounds, place.grown)) {
                continue;
            }
            if (tiledRuns_.size() == tile.firstRun || tiledRuns_.back().texture != item.texture) {
                tiledRuns_.push_back({item.texture, tiled_.size()});
            }
            tiled_.insert(tiled_.end(), batch_.begin() + item.begin, batch_.begin() + item.end);
        }
        tile.endRun = tiledRuns_.size();
        if (tile.endRun != tile.firstRun) {
            tiles_.push_back(tile);
        }
    }

    static const auto enable = glFunction<Enable>("glEnable");
    static const auto disable = glFunction<Enable>("glDisable");
    static const auto scissor = glFunction<Scissor>("glScissor");
    if (!target_->setActive(true)) {
        // A window closed by Escape has no context left; SFML's own draws then draw nothing too.
        return;
    }
    enable(GL_SCISSOR_TEST);
    for (const Tile& tile : tiles_) {
        scissor(tile.x, tile.y, tile.width, tile.height);
        for (std::size_t r = tile.firstRun; r < tile.endRun; ++r) {
            const std::size_t begin = tiledRuns_[r].begin;
            const std::size_t end = r + 1 < tiledRuns_.size() ? tiledRuns_[r + 1].begin : tiled_.size();
            sf::RenderStates states;
            states.texture = tiledRuns_[r].texture;
            target_->draw(tiled_.data() + begin, end - begin, sf::Triangles, states);
            ++drawCalls_;
        }
    }
    disable(GL_SCISSOR_TEST);
}

void BatchCanvas::addItem(std::size_t begin, const sf::Texture* texture, bool solid)
{
    if (batch_.size() == begin) {
        return;
    }
    ClipRect bounds{batch_[begin].position.x, batch_[begin].position.y, batch_[begin].position.x,
                    batch_[begin].position.y};
    for (std::size_t k = begin + 1; k < batch_.size(); ++k) {
        const sf::Vector2f p = batch_[k].position;
        bounds.left = std::min(bounds.left, p.x);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::min(bounds.bottom, p.y);
        bounds.top = std::max(bounds.top, p.y);
    }
    const double width = static_cast<double>(std::min(bounds.right, 1.0f) - std::max(bounds.left, -1.0f));
    const double height = static_cast<double>(std::min(bounds.top, 1.0f) - std::max(bounds.bottom, -1.0f));
    if (width > 0 && height > 0) {
        paintedArea_ += width * height;
    }
    // Only a shape at least a tile wide and high can cover one.
    if (solid && bounds.right - bounds.left >= tileClip_.x && bounds.top - bounds.bottom >= tileClip_.y) {
        ++tileSized_;
    }
    items_.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(batch_.size()),
                      bounds, texture, solid});
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
    items_.clear();
    paintedArea_ = 0;
    tileSized_ = 0;
    projection_ = readProjection();
    tileClip_ = tileInClip(target_);
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

void BatchCanvas::appendShape(const LocalFan& fan, const ClipTransform& transform, sf::Color color)
{
    startRun(nullptr);
    const std::size_t begin = batch_.size();
    bool solid = false;
    appendTriangles(fan, transform, color, batch_, color.a == 255 ? &solid : nullptr);
    addItem(begin, nullptr, solid);
    dropEmptyRun();
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
    appendShape(circleFan_, ClipTransform(models_.of(circle), projection_), circle.getFillColor());
}

void BatchCanvas::draw(const Rect& rect, CellRef)
{
    const sf::Vector2f size = rect.getSize();
    if (std::memcmp(&size, &rectSize_, sizeof size) != 0) {
        rectFan(rect, rectFan_);
        rectSize_ = size;
    }
    appendShape(rectFan_, ClipTransform(models_.of(rect), projection_), rect.getFillColor());
}

void BatchCanvas::draw(const sf::Text& text, ObjectRef, const sf::Shader* shader)
{
    if (shader == nullptr && buildTextTriangles(text, text_)) {
        if (text_.vertices.empty()) {
            return;
        }
        const sf::Texture* page = &text.getFont()->getTexture(text.getCharacterSize());
        startRun(page);
        const std::size_t begin = batch_.size();
        appendTextTriangles(text_.vertices, ClipTransform(models_.of(text), projection_), batch_);
        addItem(begin, page, false);
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

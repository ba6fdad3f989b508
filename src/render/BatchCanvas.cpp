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
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace tolva {

namespace {

using Enable = void (*)(GLenum);
using Scissor = void (*)(GLint, GLint, GLsizei, GLsizei);
using StencilFunc = void (*)(GLenum, GLint, GLuint);
using StencilOp = void (*)(GLenum, GLenum, GLenum);
using Clear = void (*)(GLbitfield);
using GetIntegerv = void (*)(GLenum, GLint*);

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

// What a way of drawing costs, in pixels painted: a vertex sent costs about as much as this many
// pixels (llvmpipe's setup and the copying into the tiles' lists), a draw call as many as this.
constexpr double vertexCost = 16.0;
constexpr double drawCallCost = 2000.0;

// Batches whose opaque shapes of a tile or more cover the picture fewer times over than this are
// drawn whole: the stencil already writes each pixel once, and what finding the hidden would save
// (rasterizing what is painted over, which a stencil test still costs) is less than its own time.
// Small shapes, however many, are hidden only in part and are not worth the search.
constexpr double plannedOverdraw = 1.5;

// The whole viewport in clip units (2 x 2): the painted area counts in these.
constexpr double viewportClipArea = 4.0;

// Turns the order of `count` vertices' triangles round, each triangle's corners kept in their order.
void reverseTriangles(sf::Vertex* first, std::size_t count)
{
    static_assert(std::is_trivially_copyable<sf::Vertex>::value, "triangles are moved as bytes");
    if (count < 6) {
        return;
    }
    sf::Vertex held[3];
    for (sf::Vertex *a = first, *b = first + count - 3; a < b; a += 3, b -= 3) {
        std::memcpy(held, a, sizeof held);
        std::memcpy(a, b, sizeof held);
        std::memcpy(b, held, sizeof held);
    }
}

// A stretch of opaque items is drawn front to back from this many on: a lone one paints nothing
// twice, and each stretch costs a draw call.
constexpr std::size_t leastStretch = 2;
// An 8-bit stencil holds this many references besides the cleared 0.
constexpr int stencilReferences = 255;

// The least size, in clip units, of a fan that may cover a fine block of the mask and its margin.
sf::Vector2f coverSize(const sf::IntRect& viewport)
{
    const float pixels = static_cast<float>(CoverageMask::fineBlock + 4);
    return {2.0f * pixels / static_cast<float>(viewport.width), 2.0f * pixels / static_cast<float>(viewport.height)};
}

// The size of a tile, in clip units.
sf::Vector2f tileSize(const sf::IntRect& viewport)
{
    const float pixels = static_cast<float>(CoverageMask::tileSide);
    return {2.0f * pixels / static_cast<float>(viewport.width), 2.0f * pixels / static_cast<float>(viewport.height)};
}

} // namespace

BatchCanvas::BatchCanvas(sf::RenderTarget* target, sf::Window* window)
    : target_(target), window_(window), projection_(readProjection()), coverClip_(coverSize(viewportPixels())),
      tileClip_(tileSize(viewportPixels())),
      pixelsPerUnit_(readPixelsPerUnit())
{
    batch_.reserve(1 << 20);
}

float BatchCanvas::readPixelsPerUnit() const
{
    const sf::IntRect viewport = viewportPixels();
    const sf::Vector2f size = target_ != nullptr ? target_->getView().getSize()
                                                 : sf::Vector2f(static_cast<float>(showWidth), static_cast<float>(showHeight));
    return std::min(static_cast<float>(viewport.width) / std::abs(size.x), static_cast<float>(viewport.height) / std::abs(size.y));
}

sf::IntRect BatchCanvas::viewportPixels() const
{
    if (target_ == nullptr) {
        return {0, 0, static_cast<int>(showWidth), static_cast<int>(showHeight)};
    }
    const sf::IntRect viewport = target_->getViewport(target_->getView());
    const int bottom = static_cast<int>(target_->getSize().y) - (viewport.top + viewport.height);
    return {viewport.left, bottom, viewport.width, viewport.height};
}

sf::ContextSettings BatchCanvas::targetSettings()
{
    return sf::ContextSettings(0, 8);
}

void BatchCanvas::forgetBatch()
{
    batch_.clear();
    runs_.clear();
    items_.clear();
    layers_ = 0;
    coverers_ = 0;
    bulkArea_ = 0;
}

void BatchCanvas::flush()
{
    if (batch_.empty()) {
        forgetBatch();
        return;
    }
    // The batch is already in clip space: draw it through a view that passes it unchanged, on the
    // same viewport.
    const sf::IntRect viewport = viewportPixels();
    sf::View view;
    if (target_ != nullptr) {
        view = target_->getView();
        sf::View clipSpace(sf::Vector2f(0, 0), sf::Vector2f(2, -2));
        clipSpace.setViewport(view.getViewport());
        target_->setView(clipSpace);
    }
    // Without an opaque shape large enough to cover a block nothing can be hidden. A batch that
    // paints the picture not much more than once over with large shapes has little to hide from
    // a GPU, which rejects hidden pixels almost for free; a rasterizer on the processor spends as
    // much on a hidden shape as on a shown one, and fine blocks find most of what smaller shapes
    // piled up hide.
    const bool bulky = bulkArea_ >= plannedOverdraw * viewportClipArea;
    const bool fine = !bulky && rastersOnProcessor();
    const bool worthPlanning = coverers_ > 0 && (drawing_ != Drawing::cheapest || bulky || fine);
    if (drawing_ != Drawing::painter) {
        layerStretches();
    }
    if (drawing_ != Drawing::painter && worthPlanning) {
        drawShown(viewport, fine ? CoverageMask::fineBlock : CoverageMask::coarseBlock);
    } else {
        if (layers_ > 0) {
            cutRuns(false);
        }
        drawRuns();
    }
    if (target_ != nullptr) {
        target_->setView(view);
    }
    forgetBatch();
}

void BatchCanvas::drawShown(const sf::IntRect& viewport, int blockSide)
{
    occlusion_.reset(viewport.width, viewport.height, blockSide);
    occlusion_.plan(items_, batch_);
    // Whole, each shape shown paints all of itself; tile by tile, only its tiles where it shows,
    // but a shape in several tiles is sent once for each, and each tile is a draw call or more.
    double wholeVertices = 0;
    double tiledVertices = 0;
    for (std::size_t k = 0; k < items_.size(); ++k) {
        const auto tiles = static_cast<double>(occlusion_.tilesEnd(k) - occlusion_.tilesBegin(k));
        const auto vertices = static_cast<double>(items_[k].end - items_[k].begin);
        wholeVertices += tiles > 0 ? vertices : 0.0;
        tiledVertices += tiles * vertices;
    }
    const double whole = occlusion_.wholeFill() + vertexCost * wholeVertices;
    const double tiled = occlusion_.tiledFill() + vertexCost * tiledVertices
                         + drawCallCost * static_cast<double>(occlusion_.tileCount());
    if (drawing_ == Drawing::tiles || (drawing_ == Drawing::cheapest && tiled < whole)) {
        gatherTiles(viewport);
        drawTiles(viewport);
        return;
    }
    if (occlusion_.shownItems() < items_.size() || layers_ > 0) {
        cutRuns(true);
    }
    drawRuns();
}

bool BatchCanvas::stencilled()
{
    if (stencil_ == Stencil::unknown) {
        if (target_ == nullptr) {
            stencil_ = Stencil::present;  // sent nowhere, the batch is built as for a stencilled target
        } else if (target_->setActive(true)) {
            static const auto getIntegerv = glFunction<GetIntegerv>("glGetIntegerv");
            GLint bits = 0;
            getIntegerv(GL_STENCIL_BITS, &bits);
            stencil_ = bits >= 8 ? Stencil::present : Stencil::absent;
        }
    }
    return stencil_ == Stencil::present;
}

bool BatchCanvas::rastersOnProcessor()
{
    if (!cpuRaster_ && target_ != nullptr && target_->setActive(true)) {
        using GetString = const GLubyte* (*)(GLenum);
        static const auto getString = glFunction<GetString>("glGetString");
        const GLubyte* name = getString(GL_RENDERER);
        std::string renderer = name != nullptr ? reinterpret_cast<const char*>(name) : "";
        std::transform(renderer.begin(), renderer.end(), renderer.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        // Mesa's llvmpipe and softpipe, and the "Software Rasterizer" of older ones.
        cpuRaster_ = renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos
                     || renderer.find("software") != std::string::npos;
    }
    return cpuRaster_.value_or(false);
}

void BatchCanvas::layerStretches()
{
    layers_ = 0;
    if (!stencilled()) {
        return;
    }
    layer_.assign(items_.size(), -1);
    for (std::size_t k = 0; k < items_.size();) {
        std::size_t end = k;
        while (end < items_.size() && items_[end].opaque) {
            ++end;
        }
        if (end - k >= leastStretch && layers_ < stencilReferences) {
            std::fill(layer_.begin() + static_cast<std::ptrdiff_t>(k), layer_.begin() + static_cast<std::ptrdiff_t>(end), layers_++);
        }
        k = std::max(end, k + 1);
    }
}

void BatchCanvas::cutRuns(bool planned)
{
    runs_.clear();
    std::size_t end = 0;
    for (std::size_t k = 0; k < items_.size(); ++k) {
        const BatchItem& item = items_[k];
        if (planned && !occlusion_.shown(k)) {
            continue;
        }
        const int layer = layers_ > 0 ? layer_[k] : -1;
        if (runs_.empty() || runs_.back().texture != item.texture || runs_.back().layer != layer) {
            runs_.push_back({item.texture, end, layer});
        }
        if (end != item.begin) {  // up to the first item left out, everything stays where it is
            std::copy(batch_.begin() + item.begin, batch_.begin() + item.end, batch_.begin() + static_cast<std::ptrdiff_t>(end));
        }
        end += item.end - item.begin;
    }
    batch_.resize(end);
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        if (runs_[r].layer >= 0) {
            const std::size_t runEnd = r + 1 < runs_.size() ? runs_[r + 1].begin : batch_.size();
            reverseTriangles(batch_.data() + runs_[r].begin, runEnd - runs_[r].begin);
        }
    }
}

void BatchCanvas::appendTileItems(const std::uint32_t* first, const std::uint32_t* last, const ClipRect& within)
{
    const std::size_t firstRun = tiledRuns_.size();
    while (first != last) {
        const BatchItem& item = items_[*first];
        const int layer = layers_ > 0 ? layer_[*first] : -1;
        const std::uint32_t* end = first + 1;
        while (layer >= 0 && end != last && layer_[*end] == layer) {
            ++end;
        }
        if (tiledRuns_.size() == firstRun || tiledRuns_.back().texture != item.texture || tiledRuns_.back().layer != layer) {
            tiledRuns_.push_back({item.texture, tiled_.size(), layer});
        }
        if (layer < 0) {
            appendWithin(item, within);
        } else {
            // A stretch's items go last first; an item's own triangles, of one colour, need no turning.
            for (const std::uint32_t* k = end; k-- != first;) {
                appendWithin(items_[*k], within);
            }
        }
        first = end;
    }
}

void BatchCanvas::startLayers()
{
    stencilLayer_ = -1;
    // A window closed by Escape has no context left: nothing is drawn, and no GL call is made.
    layersReady_ = layers_ > 0 && target_ != nullptr && target_->setActive(true);
    if (!layersReady_) {
        return;
    }
    if (!stencilCleared_ || stencilUsed_ + layers_ > stencilReferences) {
        static const auto clear = glFunction<Clear>("glClear");
        clear(GL_STENCIL_BUFFER_BIT);
        stencilCleared_ = true;
        stencilUsed_ = 0;
    }
    stencilBase_ = stencilUsed_;
    stencilUsed_ += layers_;
}

void BatchCanvas::drawRun(const sf::Vertex* vertices, std::size_t count, const Run& run)
{
    ++drawCalls_;
    if (target_ == nullptr) {
        return;
    }
    if (layersReady_ && run.layer != stencilLayer_) {
        static const auto enable = glFunction<Enable>("glEnable");
        static const auto disable = glFunction<Enable>("glDisable");
        static const auto stencilFunc = glFunction<StencilFunc>("glStencilFunc");
        static const auto stencilOp = glFunction<StencilOp>("glStencilOp");
        if (run.layer < 0) {
            disable(GL_STENCIL_TEST);
        } else {
            if (stencilLayer_ < 0) {
                enable(GL_STENCIL_TEST);
            }
            // Drawn where no later shape of the stretch has drawn yet; drawing marks the pixel.
            stencilFunc(GL_NOTEQUAL, stencilBase_ + run.layer + 1, 0xFF);
            stencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        }
        stencilLayer_ = run.layer;
    }
    // A font's page is bound only now: the glyphs asked for since the last flush may have grown
    // it, and its texture coordinates are in pixels, which SFML's texture matrix scales by the
    // page's size at binding.
    sf::RenderStates states;
    states.texture = run.texture;
    target_->draw(vertices, count, sf::Triangles, states);
}

void BatchCanvas::endLayers()
{
    if (stencilLayer_ >= 0) {
        static const auto disable = glFunction<Enable>("glDisable");
        disable(GL_STENCIL_TEST);
    }
    stencilLayer_ = -1;
    layersReady_ = false;
}

void BatchCanvas::drawRuns()
{
    startLayers();
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const std::size_t begin = runs_[r].begin;
        const std::size_t end = r + 1 < runs_.size() ? runs_[r + 1].begin : batch_.size();
        if (end != begin) {
            drawRun(batch_.data() + begin, end - begin, runs_[r]);
        }
    }
    endLayers();
}

// Numbers the items shown in each tile, tile by tile, each tile's in the batch's order.
void BatchCanvas::sortIntoTiles()
{
    const auto tileCount = static_cast<std::size_t>(occlusion_.tileCount());
    tileStarts_.assign(tileCount + 1, 0);
    for (std::size_t k = 0; k < items_.size(); ++k) {
        for (const std::uint16_t* t = occlusion_.tilesBegin(k); t != occlusion_.tilesEnd(k); ++t) {
            ++tileStarts_[*t + 1u];
        }
    }
    for (std::size_t t = 0; t < tileCount; ++t) {
        tileStarts_[t + 1] += tileStarts_[t];
    }
    tileItems_.resize(tileStarts_[tileCount]);
    for (std::size_t k = 0; k < items_.size(); ++k) {
        for (const std::uint16_t* t = occlusion_.tilesBegin(k); t != occlusion_.tilesEnd(k); ++t) {
            tileItems_[tileStarts_[*t]++] = static_cast<std::uint32_t>(k);
        }
    }
    // Each start has moved on to the next tile's: shift them back.
    std::copy_backward(tileStarts_.begin(), tileStarts_.end() - 1, tileStarts_.end());
    tileStarts_[0] = 0;
}

// Each tile's list: its items cut into runs of one texture. Of a shape of many triangles reaching
// beyond the tile only the triangles reaching into it are sent: the others would draw nothing
// under the tile's scissor.
void BatchCanvas::gatherTiles(const sf::IntRect& viewport)
{
    sortIntoTiles();
    tiled_.clear();
    tiledRuns_.clear();
    tiles_.clear();
    const float unitX = 2.0f / static_cast<float>(viewport.width);
    const float unitY = 2.0f / static_cast<float>(viewport.height);
    for (int t = 0; t < occlusion_.tileCount(); ++t) {
        int place[4];
        occlusion_.tileRect(t, place);
        // The tile and a pixel round it, in clip space.
        const ClipRect within{static_cast<float>(place[0] - 1) * unitX - 1.0f, static_cast<float>(place[1] - 1) * unitY - 1.0f,
                              static_cast<float>(place[0] + place[2] + 1) * unitX - 1.0f,
                              static_cast<float>(place[1] + place[3] + 1) * unitY - 1.0f};
        Tile tile{t, tiledRuns_.size(), 0};
        const std::uint32_t* first = tileItems_.data() + tileStarts_[static_cast<std::size_t>(t)];
        const std::uint32_t* last = tileItems_.data() + tileStarts_[static_cast<std::size_t>(t) + 1];
        appendTileItems(first, last, within);
        tile.endRun = tiledRuns_.size();
        if (tile.endRun != tile.firstRun) {
            tiles_.push_back(tile);
        }
    }
}

void BatchCanvas::appendWithin(const BatchItem& item, const ClipRect& within)
{
    const bool inside = item.bounds.left >= within.left && item.bounds.right <= within.right
                        && item.bounds.bottom >= within.bottom && item.bounds.top <= within.top;
    if (inside || item.end - item.begin < 24) {
        tiled_.insert(tiled_.end(), batch_.begin() + item.begin, batch_.begin() + item.end);
        return;
    }
    for (std::uint32_t v = item.begin; v < item.end; v += 3) {
        const sf::Vector2f a = batch_[v].position, b = batch_[v + 1].position, c = batch_[v + 2].position;
        if (std::max({a.x, b.x, c.x}) >= within.left && std::min({a.x, b.x, c.x}) <= within.right
            && std::max({a.y, b.y, c.y}) >= within.bottom && std::min({a.y, b.y, c.y}) <= within.top) {
            tiled_.push_back(batch_[v]);  // three at a time: a range insert costs several times more
            tiled_.push_back(batch_[v + 1]);
            tiled_.push_back(batch_[v + 2]);
        }
    }
}

void BatchCanvas::drawTiles(const sf::IntRect& viewport)
{
    if (target_ == nullptr) {
        drawCalls_ += static_cast<unsigned>(tiledRuns_.size());
        return;
    }
    static const auto enable = glFunction<Enable>("glEnable");
    static const auto disable = glFunction<Enable>("glDisable");
    static const auto scissor = glFunction<Scissor>("glScissor");
    if (!target_->setActive(true)) {
        // A window closed by Escape has no context left; SFML's own draws then draw nothing too.
        return;
    }
    startLayers();  // its clear is the whole stencil's: before the scissor
    enable(GL_SCISSOR_TEST);
    for (const Tile& tile : tiles_) {
        int rect[4];
        occlusion_.tileRect(tile.tile, rect);
        scissor(viewport.left + rect[0], viewport.top + rect[1], rect[2], rect[3]);
        for (std::size_t r = tile.firstRun; r < tile.endRun; ++r) {
            const std::size_t begin = tiledRuns_[r].begin;
            const std::size_t end = r + 1 < tiledRuns_.size() ? tiledRuns_[r + 1].begin : tiled_.size();
            drawRun(tiled_.data() + begin, end - begin, tiledRuns_[r]);
        }
    }
    disable(GL_SCISSOR_TEST);
    endLayers();
}

void BatchCanvas::addItem(std::size_t begin, const sf::Texture* texture, bool solid, float inner, bool opaque)
{
    if (batch_.size() == begin) {
        return;
    }
    ClipRect bounds{batch_[begin].position.x, batch_[begin].position.y, batch_[begin].position.x,
                    batch_[begin].position.y};
    const auto take = [&bounds](sf::Vector2f p) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::min(bounds.bottom, p.y);
        bounds.top = std::max(bounds.top, p.y);
    };
    if (texture == nullptr) {
        // A shape's triangles all start at its fan's centre: the two other corners are enough.
        for (std::size_t k = begin; k < batch_.size(); k += 3) {
            take(batch_[k + 1].position);
            take(batch_[k + 2].position);
        }
    } else {
        for (std::size_t k = begin + 1; k < batch_.size(); ++k) {
            take(batch_[k].position);
        }
    }
    const double width = static_cast<double>(std::min(bounds.right, 1.0f) - std::max(bounds.left, -1.0f));
    const double height = static_cast<double>(std::min(bounds.top, 1.0f) - std::max(bounds.bottom, -1.0f));
    if (solid && width > 0 && height > 0 && bounds.right - bounds.left >= tileClip_.x && bounds.top - bounds.bottom >= tileClip_.y) {
        bulkArea_ += width * height;
    }
    if (solid && bounds.right - bounds.left >= coverClip_.x && bounds.top - bounds.bottom >= coverClip_.y) {
        ++coverers_;
    }
    items_.push_back({static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(batch_.size()),
                      bounds, texture, solid, inner, opaque});
}

void BatchCanvas::startRun(const sf::Texture* texture)
{
    if (runs_.empty() || runs_.back().texture != texture) {
        runs_.push_back({texture, batch_.size(), -1});
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
    forgetBatch();  // nothing drawn before a clear can show
    stencilCleared_ = false;
    projection_ = readProjection();
    coverClip_ = coverSize(viewportPixels());
    tileClip_ = tileSize(viewportPixels());
    pixelsPerUnit_ = readPixelsPerUnit();
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

void BatchCanvas::appendShape(const LocalFan& fan, float& inner, const sf::Transformable& shape, sf::Color color)
{
    startRun(nullptr);
    const std::size_t begin = batch_.size();
    bool solid = false;
    appendTriangles(fan, ClipTransform(models_.of(shape), projection_), color, batch_, color.a == 255 ? &solid : nullptr);
    if (solid && inner < 0) {
        inner = inscribedRadius(fan);  // worked out once a fan, and only for fans that may hide
    }
    // Turned, the fan's disc stays a disc; scaled, it is at least as wide as its narrower scale.
    const sf::Vector2f scale = shape.getScale();
    const float narrower = std::min(std::abs(scale.x), std::abs(scale.y));
    addItem(begin, nullptr, solid, solid ? inner * narrower * pixelsPerUnit_ : 0.0f, color.a == 255);
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
        circleInner_ = -1.0f;
        circleRadiusBits_ = bits;
        circlePoints_ = circle.getPointCount();
    }
    appendShape(circleFan_, circleInner_, circle, circle.getFillColor());
}

void BatchCanvas::draw(const Rect& rect, CellRef)
{
    const sf::Vector2f size = rect.getSize();
    if (std::memcmp(&size, &rectSize_, sizeof size) != 0) {
        rectFan(rect, rectFan_);
        rectInner_ = -1.0f;
        rectSize_ = size;
    }
    appendShape(rectFan_, rectInner_, rect, rect.getFillColor());
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
        addItem(begin, page, false, 0.0f, false);
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

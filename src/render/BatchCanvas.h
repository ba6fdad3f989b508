#pragma once

#include "render/Canvas.h"
#include "render/Occlusion.h"
#include "render/ShapeGeometry.h"
#include "render/TextGeometry.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/ContextSettings.hpp>

#include <optional>
#include <vector>

namespace sf {
class Texture;
class Window;
}

namespace tolva {

// Draws into any render target with shapes and texts gathered into one triangle list, flushed
// before a sprite or shader draw and at display: the same triangles SFML would draw object by
// object, in the same order, in a handful of draw calls. The list is cut into runs of one texture
// (none for shapes, a font's page for texts), one draw call each.
class BatchCanvas : public Canvas {
public:
    // window: the target's window if it is one (display and close go to it), else null.
    // target: null builds the batches and sends them nowhere (for measuring the build alone).
    BatchCanvas(sf::RenderTarget* target, sf::Window* window);

    void clear(sf::Color color) override;
    void draw(const Circle& circle, CellRef cell) override;
    void draw(const Rect& rect, CellRef cell) override;
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override;
    void draw(const sf::Sprite& sprite, ObjectRef ref) override;
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override;
    bool isOpen() const override;
    void close() override;

    // How a batch reaches the target. Painter's order draws everything gathered over the whole
    // picture. The others leave out what opaque shapes drawn later in the batch hide (see
    // Occlusion), drawing each shape shown whole, or tile by tile under a scissor, only in the
    // tiles where it shows; the show takes whichever of the two paints less. On a target with a
    // stencil buffer they also draw each stretch of opaque shapes from the last to the first, every
    // pixel written once, by the shape that would have been drawn over it last (see layerStretches).
    enum class Drawing { painter, whole, tiles, cheapest };

    // What a target needs for every pixel of an opaque stretch to be written once: a stencil
    // buffer. Without one the stretches are drawn in painter's order, the pixels the same.
    static sf::ContextSettings targetSettings();
    void setDrawing(Drawing drawing) { drawing_ = drawing; }

    // Sends what is gathered to the target (the capture reads the target after this).
    void flush();
    // Draw calls that reach the target (a text SFML draws itself with an outline makes two),
    // counted alike when the batch is sent nowhere.
    unsigned drawCalls() const { return drawCalls_; }  // since the last display
    unsigned lastFrameDrawCalls() const { return lastFrameDrawCalls_; }

protected:
    // Called after each display; a render texture's owner can read its frame here.
    virtual void presented() {}

private:
    // The target's projection, read at each clear: the view never changes within a frame.
    sf::Transform readProjection() const;
    // The viewport's pixels, as GL counts them from the bottom left (the show's size when the
    // batch is sent nowhere).
    sf::IntRect viewportPixels() const;
    // Makes the batch's last run one of this texture; drops it again if nothing joined it.
    void startRun(const sf::Texture* texture);
    void dropEmptyRun();
    // The view's pixels a unit, the least of across and down (a view is never turned).
    float readPixelsPerUnit() const;
    // `inner`: the radius of a disc inside the fan (see inscribedRadius), negative until known.
    void appendShape(const LocalFan& fan, float& inner, const sf::Transformable& shape, sf::Color color);
    // Notes the shape or text appended since `begin` (its bounds, whether it is a solid fan, the
    // radius of a disc inside it in pixels).
    void addItem(std::size_t begin, const sf::Texture* texture, bool solid, float inner, bool opaque);
    void forgetBatch();
    // Plans what shows over a mask of blocks of this side, and draws it the way that paints least.
    void drawShown(const sf::IntRect& viewport, int blockSide);
    void drawRuns();
    void sortIntoTiles();
    void gatherTiles(const sf::IntRect& viewport);
    void appendWithin(const BatchItem& item, const ClipRect& within);
    void drawTiles(const sf::IntRect& viewport);

    struct Run {
        const sf::Texture* texture;
        std::size_t begin;  // the run ends where the next begins, the last at the batch's end
        int layer;          // the opaque stretch drawn front to back it belongs to, or -1
    };
    // Numbers the stretches of consecutive opaque items worth drawing front to back (layer_).
    void layerStretches();
    bool stencilled();
    // Whether the target's GL rasterizes on the processor (read once; false when sent nowhere).
    bool rastersOnProcessor();
    // Cuts the shown items' triangles into runs of one texture and one stretch (whose triangles go
    // last first), closing up the gaps the hidden ones leave.
    void cutRuns(bool planned);
    // Appends a tile's items, in their order but for each stretch's, which go last first, and
    // starts a run wherever the texture or the stretch changes (always at the tile's first).
    void appendTileItems(const std::uint32_t* first, const std::uint32_t* last, const ClipRect& within);
    // Before the first run of a batch with stretches: the stencil's references for them.
    void startLayers();
    void drawRun(const sf::Vertex* vertices, std::size_t count, const Run& run);
    void endLayers();

    sf::RenderTarget* target_;
    sf::Window* window_;
    sf::Transform projection_;
    Drawing drawing_ = Drawing::cheapest;
    // What the batch holds, shape by shape and text by text.
    std::vector<BatchItem> items_;
    sf::Vector2f coverClip_;       // the least size, in clip units, of a fan that may cover a fine block
    std::size_t coverers_ = 0;     // solid items at least that wide and high
    sf::Vector2f tileClip_;        // a tile's size in clip units
    double bulkArea_ = 0;          // the bounds within clip space (which is 4) of solid items a tile or more wide and high
    float pixelsPerUnit_;
    Occlusion occlusion_;
    // The tiles' draw lists, drawn one tile after another under a scissor rectangle.
    struct Tile {
        int tile;
        std::size_t firstRun;
        std::size_t endRun;
    };
    std::vector<std::uint32_t> tileStarts_;  // where each tile's items start in tileItems_
    std::vector<std::uint32_t> tileItems_;
    std::vector<sf::Vertex> tiled_;
    std::vector<Run> tiledRuns_;
    std::vector<Tile> tiles_;
    bool open_ = true;
    std::vector<sf::Vertex> batch_;
    std::vector<Run> runs_;
    TextTriangles text_;
    ModelTransforms models_;
    // The last fans built: grids often draw many shapes of one radius or size in a row.
    LocalFan circleFan_;
    std::uint32_t circleRadiusBits_ = 0;
    std::size_t circlePoints_ = 0;
    float circleInner_ = 0.0f;
    LocalFan rectFan_;
    float rectInner_ = 0.0f;
    sf::Vector2f rectSize_{-1.0f, -1.0f};
    unsigned drawCalls_ = 0;
    unsigned lastFrameDrawCalls_ = 0;
    // Front to back under the stencil: each stretch draws where the stencil does not yet hold its
    // reference, and leaves its reference where it drew. References are handed out in order since
    // the stencil was last cleared, so a later stretch draws over an earlier one.
    enum class Stencil { unknown, absent, present };
    Stencil stencil_ = Stencil::unknown;
    std::vector<int> layer_;     // each item's stretch, or -1
    int layers_ = 0;             // stretches in the batch
    int stencilBase_ = 0;        // the reference before the batch's first stretch
    int stencilUsed_ = 0;        // references handed out since the stencil was cleared
    bool stencilCleared_ = false;  // since the frame's clear
    int stencilLayer_ = -1;      // the stretch the stencil is set for, -1 with the test off
    bool layersReady_ = false;   // the batch's stretches have their references, in a current context
    std::optional<bool> cpuRaster_;  // unknown until a current context names its renderer
};

// Draws every shape as its own SFML shape, as SFML alone would: the reference the batch is
// compared with.
class DirectCanvas : public Canvas {
public:
    explicit DirectCanvas(sf::RenderTarget& target) : target_(target) {}

    void clear(sf::Color color) override;
    void draw(const Circle& circle, CellRef cell) override;
    void draw(const Rect& rect, CellRef cell) override;
    void draw(const sf::Text& text, ObjectRef ref, const sf::Shader* shader) override;
    void draw(const sf::Sprite& sprite, ObjectRef ref) override;
    void setUniform(sf::Shader& shader, const char* name, float value) override;
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override;
    void display() override {}
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }

private:
    sf::RenderTarget& target_;
    bool open_ = true;
};

} // namespace tolva

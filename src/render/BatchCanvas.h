#pragma once

#include "render/Canvas.h"
#include "render/ShapeGeometry.h"
#include "render/TextGeometry.h"

#include <SFML/Graphics/RenderTarget.hpp>

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

    // Painter's order draws everything gathered over the whole picture. The default, where the
    // gathered shapes paint the picture over several times, cuts the picture into tiles and draws
    // in each tile only what follows the last opaque shape covering it: an opaque fill with
    // SFML's alpha blending writes its own colour whatever lay below, so no pixel changes.
    void setDropHidden(bool drop) { dropHidden_ = drop; }

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
    // Makes the batch's last run one of this texture; drops it again if nothing joined it.
    void startRun(const sf::Texture* texture);
    void dropEmptyRun();
    void appendShape(const LocalFan& fan, const ClipTransform& transform, sf::Color color);
    // Notes the shape or text appended since `begin` (its bounds, whether it is a solid fan).
    void addItem(std::size_t begin, const sf::Texture* texture, bool solid);
    void drawRuns();
    void drawTiles();

    struct Run {
        const sf::Texture* texture;
        std::size_t begin;  // the run ends where the next begins, the last at the batch's end
    };

    sf::RenderTarget* target_;
    sf::Window* window_;
    sf::Transform projection_;
    bool dropHidden_ = true;
    // What the batch holds, shape by shape and text by text.
    struct Item {
        std::uint32_t begin;
        std::uint32_t end;
        ClipRect bounds;
        const sf::Texture* texture;
        bool solid;  // opaque, a whole fan: fanCovers may tell what it hides
    };
    std::vector<Item> items_;
    double paintedArea_ = 0;  // the items' bounds within clip space, summed (clip space is 4)
    sf::Vector2f tileClip_;   // a tile's size in clip units
    std::size_t tileSized_ = 0;  // solid items at least a tile wide and high
    // The tiles' draw lists, drawn one tile after another under a scissor rectangle.
    struct Tile {
        int x, y, width, height;  // in the target's pixels, from its bottom left as GL counts
        std::size_t firstRun;
        std::size_t endRun;
    };
    std::vector<sf::Vertex> tiled_;
    std::vector<Run> tiledRuns_;
    std::vector<Tile> tiles_;
    // A tile's place, and where its drawing starts: at the last solid shape covering it.
    struct Place {
        int x, y, width, height;
        ClipRect grown;  // the tile and a margin, in clip space
        std::size_t first;
    };
    std::vector<Place> places_;
    bool open_ = true;
    std::vector<sf::Vertex> batch_;
    std::vector<Run> runs_;
    TextTriangles text_;
    ModelTransforms models_;
    // The last fans built: grids often draw many shapes of one radius or size in a row.
    LocalFan circleFan_;
    std::uint32_t circleRadiusBits_ = 0;
    std::size_t circlePoints_ = 0;
    LocalFan rectFan_;
    sf::Vector2f rectSize_{-1.0f, -1.0f};
    unsigned drawCalls_ = 0;
    unsigned lastFrameDrawCalls_ = 0;
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

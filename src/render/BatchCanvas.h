#pragma once

#include "render/Batch.h"
#include "render/Canvas.h"
#include "render/GlSubmitter.h"
#include "render/DrawPlan.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/ContextSettings.hpp>

#include <optional>

namespace sf {
class Window;
}

namespace tolva {

// Draws into any render target with shapes and texts gathered into one batch (see Batch), sent
// before a sprite, a text SFML draws itself or a shader draw, and at display: the same triangles
// SFML would draw object by object, in the same order, in a handful of draw calls. How each batch
// is drawn is its plan's (see DrawPlan), what reaches GL the submitter's (see GlSubmitter).
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
    // Sent nowhere, the batch is planned as for a stencilled target on a GPU.
    struct Nowhere : TargetTraits {
        bool hasStencil() override { return true; }
        bool rastersOnProcessor() override { return false; }
    };

    // The target's projection and pixels a unit, read at each clear: the view never changes
    // within a frame.
    sf::Transform readProjection() const;
    float readPixelsPerUnit() const;
    // The viewport's pixels, as GL counts them from the bottom left (the show's size when the
    // batch is sent nowhere).
    PixelRect viewportPixels() const;

    sf::RenderTarget* target_;
    sf::Window* window_;
    Drawing drawing_ = Drawing::cheapest;
    Batch batch_;
    DrawPlan plan_;
    std::optional<GlSubmitter> submitter_;  // with a target
    Nowhere nowhere_;
    unsigned drawCalls_ = 0;
    unsigned lastFrameDrawCalls_ = 0;
    bool open_ = true;
};

} // namespace tolva

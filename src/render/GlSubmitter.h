#pragma once

#include "render/DrawPlan.h"

#include <optional>

namespace sf {
class RenderTarget;
}

namespace tolva {

// Draws plans into an SFML render target through its GL context: the one place in the canvas
// with GL calls. It tells the plan what the target's context offers (each asked of GL once, when
// the context is first current), and hands out the stencil's references: front to back under the
// stencil, each stretch draws where the stencil does not yet hold its reference and leaves its
// reference where it drew. References are handed out in order since the stencil was last cleared,
// so a later stretch draws over an earlier one.
class GlSubmitter : public TargetTraits {
public:
    explicit GlSubmitter(sf::RenderTarget& target) : target_(target) {}

    bool hasStencil() override;
    // Mesa's llvmpipe and softpipe, and the "Software Rasterizer" of older ones.
    bool rastersOnProcessor() override;

    // The picture was cleared, the stencil with it as far as the stretches are concerned.
    void pictureCleared() { stencilCleared_ = false; }
    // Draws the plan's calls, the target's view already one that passes clip space unchanged.
    // viewport: the target's viewport in GL's pixels, for the tiles' scissor. Returns the draw
    // calls made: none for tiles on a context that is gone (a window closed by Escape).
    unsigned submit(const DrawPlan& plan, const PixelRect& viewport);

private:
    void drawWhole(const DrawPlan& plan);
    unsigned drawTiles(const DrawPlan& plan, const PixelRect& viewport);
    // Before the first call of a batch with stretches: the stencil's references for them.
    void beginStretches(int stretches);
    void draw(const sf::Vertex* vertices, const DrawCall& call);
    void endStretches();

    sf::RenderTarget& target_;
    std::optional<bool> stencil_;    // unknown until a current context tells
    std::optional<bool> cpuRaster_;  // unknown until a current context names its renderer
    int stencilBase_ = 0;            // the reference before the batch's first stretch
    int stencilUsed_ = 0;            // references handed out since the stencil was cleared
    bool stencilCleared_ = false;    // since the picture's clear
    int stencilStretch_ = -1;        // the stretch the stencil is set for, -1 with the test off
    bool stretchesReady_ = false;    // the batch's stretches have their references, in a current context
};

} // namespace tolva

#include "render/GlSubmitter.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

namespace tolva {

namespace {

// The functions come from the GL context, so nothing here links OpenGL itself.
template <class Function>
Function load(const char* name)
{
    const auto function = reinterpret_cast<Function>(sf::Context::getFunction(name));
    if (function == nullptr) {
        throw std::runtime_error(std::string("OpenGL offers no ") + name);
    }
    return function;
}

struct GlFunctions {
    using Enable = void (*)(GLenum);
    using Scissor = void (*)(GLint, GLint, GLsizei, GLsizei);
    using StencilFunc = void (*)(GLenum, GLint, GLuint);
    using StencilOp = void (*)(GLenum, GLenum, GLenum);
    using Clear = void (*)(GLbitfield);
    using GetIntegerv = void (*)(GLenum, GLint*);
    using GetString = const GLubyte* (*)(GLenum);

    Enable enable = load<Enable>("glEnable");
    Enable disable = load<Enable>("glDisable");
    Scissor scissor = load<Scissor>("glScissor");
    StencilFunc stencilFunc = load<StencilFunc>("glStencilFunc");
    StencilOp stencilOp = load<StencilOp>("glStencilOp");
    Clear clear = load<Clear>("glClear");
    GetIntegerv getIntegerv = load<GetIntegerv>("glGetIntegerv");
    GetString getString = load<GetString>("glGetString");
};

// Loaded once, the first time a context is current.
const GlFunctions& gl()
{
    static const GlFunctions functions;
    return functions;
}

} // namespace

bool GlSubmitter::hasStencil()
{
    if (!stencil_ && target_.setActive(true)) {
        GLint bits = 0;
        gl().getIntegerv(GL_STENCIL_BITS, &bits);
        stencil_ = bits >= 8;
    }
    return stencil_.value_or(false);
}

bool GlSubmitter::rastersOnProcessor()
{
    if (!cpuRaster_ && target_.setActive(true)) {
        const GLubyte* name = gl().getString(GL_RENDERER);
        std::string renderer = name != nullptr ? reinterpret_cast<const char*>(name) : "";
        std::transform(renderer.begin(), renderer.end(), renderer.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        cpuRaster_ = renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos
                     || renderer.find("software") != std::string::npos;
    }
    return cpuRaster_.value_or(false);
}

unsigned GlSubmitter::submit(const DrawPlan& plan, const PixelRect& viewport)
{
    if (plan.byTiles()) {
        return drawTiles(plan, viewport);
    }
    drawWhole(plan);
    return static_cast<unsigned>(plan.calls().size());
}

void GlSubmitter::drawWhole(const DrawPlan& plan)
{
    beginStretches(plan.stretches());
    for (const DrawCall& call : plan.calls()) {
        draw(plan.vertices(), call);
    }
    endStretches();
}

unsigned GlSubmitter::drawTiles(const DrawPlan& plan, const PixelRect& viewport)
{
    if (!target_.setActive(true)) {
        // A window closed by Escape has no context left; SFML's own draws then draw nothing too.
        return 0;
    }
    beginStretches(plan.stretches());  // its clear is the whole stencil's: before the scissor
    gl().enable(GL_SCISSOR_TEST);
    for (const TileDraw& tile : plan.tiles()) {
        gl().scissor(viewport.left + tile.rect.left, viewport.bottom + tile.rect.bottom, tile.rect.width, tile.rect.height);
        for (std::size_t c = tile.firstCall; c < tile.endCall; ++c) {
            draw(plan.vertices(), plan.calls()[c]);
        }
    }
    gl().disable(GL_SCISSOR_TEST);
    endStretches();
    return static_cast<unsigned>(plan.calls().size());
}

void GlSubmitter::beginStretches(int stretches)
{
    stencilStretch_ = -1;
    // A window closed by Escape has no context left: nothing is drawn, and no GL call is made.
    stretchesReady_ = stretches > 0 && target_.setActive(true);
    if (!stretchesReady_) {
        return;
    }
    if (!stencilCleared_ || stencilUsed_ + stretches > DrawPlan::stencilReferences) {
        gl().clear(GL_STENCIL_BUFFER_BIT);
        stencilCleared_ = true;
        stencilUsed_ = 0;
    }
    stencilBase_ = stencilUsed_;
    stencilUsed_ += stretches;
}

void GlSubmitter::draw(const sf::Vertex* vertices, const DrawCall& call)
{
    if (stretchesReady_ && call.stretch != stencilStretch_) {
        if (call.stretch < 0) {
            gl().disable(GL_STENCIL_TEST);
        } else {
            if (stencilStretch_ < 0) {
                gl().enable(GL_STENCIL_TEST);
            }
            // Drawn where no later shape of the stretch has drawn yet; drawing marks the pixel.
            gl().stencilFunc(GL_NOTEQUAL, stencilBase_ + call.stretch + 1, 0xFF);
            gl().stencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        }
        stencilStretch_ = call.stretch;
    }
    // A font's page is bound only now: the glyphs asked for since the last flush may have grown
    // it, and its texture coordinates are in pixels, which SFML's texture matrix scales by the
    // page's size at binding.
    sf::RenderStates states;
    states.texture = call.texture;
    target_.draw(vertices + call.begin, call.end - call.begin, sf::Triangles, states);
}

void GlSubmitter::endStretches()
{
    if (stencilStretch_ >= 0) {
        gl().disable(GL_STENCIL_TEST);
    }
    stencilStretch_ = -1;
    stretchesReady_ = false;
}

} // namespace tolva

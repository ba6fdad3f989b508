#pragma once

#include "render/DrawPlan.h"
#include "render/TextGeometry.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Transform.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <map>
#include <string>
#include <unordered_map>

namespace sf {
class Texture;
}

namespace tolva {

// The page's WebGL 2 context, and the only code of the page with GL calls. It draws the batch's
// plans as the desktop submitter does (triangles already in clip space, SFML's alpha blending,
// each stretch of opaque shapes under the stencil, last first, the tiles under a scissor), the
// sprites' quads, and a text through the scroller's shader pair. Textures and font pages go up
// when first drawn and again whenever their pixels changed.
class WebGl : public TargetTraits {
public:
    // The context must be current.
    WebGl();
    WebGl(const WebGl&) = delete;
    WebGl& operator=(const WebGl&) = delete;

    bool hasStencil() override { return stencil_; }
    bool rastersOnProcessor() override { return processor_; }

    // The canvas's size in pixels, and where in it the 1920x1080 picture lies (GL's pixels, from
    // the bottom left); everything after draws into the picture.
    void setPicture(int canvasWidth, int canvasHeight, const PixelRect& picture);
    // The picture cleared to the colour, the bars beside it to black.
    void clear(sf::Color color);
    // Returns the draw calls made.
    unsigned submit(const DrawPlan& plan);
    // Triangles already in clip space, textured by `texture` (none: colour only).
    void drawTriangles(const sf::Vertex* vertices, std::size_t count, const sf::Texture* texture);
    // A text's own triangles through the shader pair with the uniforms it holds, and the text's and
    // the view's transforms. False when the pair does not build: the caller draws the text without
    // it, as SFML does.
    bool drawShaded(const TextTriangles& text, const sf::Transform& model, const sf::Transform& projection,
                    const sf::Texture& page, const sf::Shader& shader);

private:
    struct Program {
        unsigned name = 0;
        int texelScale = -1;
        int textured = -1;
        int sampler = -1;
    };
    struct Shaded {
        Program program;
        unsigned version = 0;  // of the shader's sources when built, one up (0: not built)
        bool usable = false;
        std::unordered_map<std::string, int> uniforms;
    };

    void upload(const sf::Vertex* vertices, std::size_t count);
    // Binds the texture on unit 0, uploading it first if it is new or changed; none unbinds.
    void bind(const sf::Texture* texture, const Program& program);
    int uniform(Shaded& shaded, const std::string& name);
    void drawCall(const DrawCall& call);
    void beginStretches(int stretches);
    void endStretches();

    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
    PixelRect picture_{0, 0, 0, 0};
    bool stencil_ = false;
    bool processor_ = false;
    Program batch_;
    std::unordered_map<const sf::Shader*, Shaded> shaded_;
    unsigned buffer_ = 0;
    std::size_t bufferBytes_ = 0;
    std::unordered_map<unsigned, unsigned> uploaded_;  // a texture's GL name: the version it holds

    // The stencil's references, handed out as the desktop submitter does.
    int stencilBase_ = 0;
    int stencilUsed_ = 0;
    bool stencilCleared_ = false;
    int stencilStretch_ = -1;
    bool stretchesReady_ = false;
};

} // namespace tolva

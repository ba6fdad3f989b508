#include "web/WebGl.h"

#include <SFML/Graphics/Texture.hpp>

#include <GLES3/gl3.h>
#include <emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace tolva {

namespace {

// The batch's triangles come in clip space; a font page's coordinates in its pixels.
const char* const batchVertex = R"(#version 300 es
precision highp float;
uniform vec2 texelScale;
in vec2 position;
in vec4 colour;
in vec2 texCoords;
out vec4 vertexColour;
out vec2 pageCoords;
void main()
{
    gl_Position = vec4(position, 0.0, 1.0);
    vertexColour = colour;
    pageCoords = texCoords * texelScale;
}
)";

const char* const batchFragment = R"(#version 300 es
precision highp float;
uniform sampler2D page;
uniform float textured;
in vec4 vertexColour;
in vec2 pageCoords;
out vec4 fragColour;
void main()
{
    fragColour = textured > 0.5 ? vertexColour * texture(page, pageCoords) : vertexColour;
}
)";

enum Attribute : GLuint { positionAttribute = 0, colourAttribute = 1, texCoordsAttribute = 2 };

// A shader's compile or a program's link status; a failure is said on the console with GL's log.
template <class GetStatus, class GetLog>
bool succeeded(GLuint object, GLenum status, GetStatus getStatus, GetLog getLog, const char* what)
{
    GLint ok = GL_FALSE;
    getStatus(object, status, &ok);
    if (ok == GL_TRUE) {
        return true;
    }
    char log[1024] = {};
    getLog(object, sizeof log, nullptr, log);
    std::fprintf(stderr, "tolva: %s: %s\n", what, log);
    return false;
}

GLuint compile(GLenum stage, const char* source)
{
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    if (!succeeded(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, "a shader does not compile")) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// 0 when either stage does not compile or the pair does not link (said on the console).
GLuint link(const char* vertexSource, const char* fragmentSource)
{
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, positionAttribute, "position");
    glBindAttribLocation(program, colourAttribute, "colour");
    glBindAttribLocation(program, texCoordsAttribute, "texCoords");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (!succeeded(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, "a shader pair does not link")) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

void setAttributes()
{
    const auto stride = static_cast<GLsizei>(sizeof(sf::Vertex));
    glEnableVertexAttribArray(positionAttribute);
    glEnableVertexAttribArray(colourAttribute);
    glEnableVertexAttribArray(texCoordsAttribute);
    glVertexAttribPointer(positionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(sf::Vertex, position)));
    glVertexAttribPointer(colourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(sf::Vertex, color)));
    glVertexAttribPointer(texCoordsAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(sf::Vertex, texCoords)));
}

// A matrix of SFML's, column-major as GL takes it.
const float* columns(const sf::Transform& transform) { return transform.getMatrix(); }

} // namespace

// The browser masks the renderer's name unless asked through its extension.
EM_JS(int, tolva_renders_on_processor, (), {
    var gl = (typeof GL !== 'undefined' && GL.currentContext) ? GL.currentContext.GLctx : null;
    if (!gl) return 0;
    var info = gl.getExtension('WEBGL_debug_renderer_info');
    var name = info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : gl.getParameter(gl.RENDERER);
    return /swiftshader|llvmpipe|softpipe|software/i.test(String(name)) ? 1 : 0;
});

WebGl::WebGl()
{
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    stencil_ = bits >= 8;
    processor_ = tolva_renders_on_processor() != 0;
    batch_.name = link(batchVertex, batchFragment);
    batch_.texelScale = glGetUniformLocation(batch_.name, "texelScale");
    batch_.textured = glGetUniformLocation(batch_.name, "textured");
    batch_.sampler = glGetUniformLocation(batch_.name, "page");
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &buffer_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    setAttributes();
    // SFML's alpha blending: colour by the source's alpha, alpha added over what the source leaves.
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBlendEquation(GL_FUNC_ADD);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void WebGl::setPicture(int canvasWidth, int canvasHeight, const PixelRect& picture)
{
    canvasWidth_ = canvasWidth;
    canvasHeight_ = canvasHeight;
    picture_ = picture;
    glViewport(picture.left, picture.bottom, picture.width, picture.height);
}

void WebGl::clear(sf::Color color)
{
    glDisable(GL_SCISSOR_TEST);
    const bool bars = picture_.left != 0 || picture_.bottom != 0 || picture_.width != canvasWidth_ ||
                      picture_.height != canvasHeight_;
    if (bars) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(picture_.left, picture_.bottom, picture_.width, picture_.height);
    }
    glClearColor(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    stencilCleared_ = false;  // as far as the stretches are concerned
}

void WebGl::upload(const sf::Vertex* vertices, std::size_t count)
{
    const std::size_t bytes = count * sizeof(sf::Vertex);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    if (bytes > bufferBytes_) {
        bufferBytes_ = bytes + bytes / 2;
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bufferBytes_), nullptr, GL_STREAM_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), vertices);
}

unsigned WebGl::submit(const DrawPlan& plan)
{
    std::size_t count = 0;
    for (const DrawCall& call : plan.calls()) {
        count = std::max(count, call.end);
    }
    if (count == 0) {
        return 0;
    }
    upload(plan.vertices(), count);
    glUseProgram(batch_.name);
    beginStretches(plan.stretches());  // its clear is the whole stencil's: before any scissor
    if (plan.byTiles()) {
        glEnable(GL_SCISSOR_TEST);
        for (const TileDraw& tile : plan.tiles()) {
            glScissor(picture_.left + tile.rect.left, picture_.bottom + tile.rect.bottom, tile.rect.width,
                      tile.rect.height);
            for (std::size_t c = tile.firstCall; c < tile.endCall; ++c) {
                drawCall(plan.calls()[c]);
            }
        }
        glDisable(GL_SCISSOR_TEST);
    } else {
        for (const DrawCall& call : plan.calls()) {
            drawCall(call);
        }
    }
    endStretches();
    return static_cast<unsigned>(plan.calls().size());
}

void WebGl::drawTriangles(const sf::Vertex* vertices, std::size_t count, const sf::Texture* texture)
{
    if (count == 0) {
        return;
    }
    upload(vertices, count);
    glUseProgram(batch_.name);
    bind(texture, batch_);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count));
}

void WebGl::beginStretches(int stretches)
{
    stencilStretch_ = -1;
    stretchesReady_ = stretches > 0 && stencil_;
    if (!stretchesReady_) {
        return;
    }
    if (!stencilCleared_ || stencilUsed_ + stretches > DrawPlan::stencilReferences) {
        glClearStencil(0);
        glClear(GL_STENCIL_BUFFER_BIT);
        stencilCleared_ = true;
        stencilUsed_ = 0;
    }
    stencilBase_ = stencilUsed_;
    stencilUsed_ += stretches;
}

void WebGl::drawCall(const DrawCall& call)
{
    if (stretchesReady_ && call.stretch != stencilStretch_) {
        if (call.stretch < 0) {
            glDisable(GL_STENCIL_TEST);
        } else {
            if (stencilStretch_ < 0) {
                glEnable(GL_STENCIL_TEST);
            }
            // Drawn where no later shape of the stretch has drawn yet; drawing marks the pixel.
            glStencilFunc(GL_NOTEQUAL, stencilBase_ + call.stretch + 1, 0xFF);
            glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        }
        stencilStretch_ = call.stretch;
    }
    // A page is bound only now: its pixels may have changed since the batch was gathered.
    bind(call.texture, batch_);
    glDrawArrays(GL_TRIANGLES, static_cast<GLint>(call.begin), static_cast<GLsizei>(call.end - call.begin));
}

void WebGl::endStretches()
{
    if (stencilStretch_ >= 0) {
        glDisable(GL_STENCIL_TEST);
    }
    stencilStretch_ = -1;
    stretchesReady_ = false;
}

bool WebGl::drawShaded(const TextTriangles& text, const sf::Transform& model, const sf::Transform& projection,
                       const sf::Texture& page, const sf::Shader& shader)
{
    Shaded& shaded = shaded_[&shader];
    if (shaded.version != shader.version + 1) {
        glDeleteProgram(shaded.program.name);
        shaded = Shaded{};
        shaded.version = shader.version + 1;
        shaded.program.name = shader.isLoaded()
                                  ? link(shader.getVertexSource().c_str(), shader.getFragmentSource().c_str())
                                  : 0;
        shaded.usable = shaded.program.name != 0;
        shaded.program.texelScale = glGetUniformLocation(shaded.program.name, "texelScale");
        shaded.program.sampler = glGetUniformLocation(shaded.program.name, "glyphs");
    }
    if (!shaded.usable) {
        return false;
    }
    if (text.vertices.empty()) {
        return true;
    }
    upload(text.vertices.data(), text.vertices.size());
    glUseProgram(shaded.program.name);
    glUniformMatrix4fv(uniform(shaded, "modelView"), 1, GL_FALSE, columns(model));
    glUniformMatrix4fv(uniform(shaded, "projection"), 1, GL_FALSE, columns(projection));
    for (const auto& [name, value] : shader.getUniforms()) {
        const int location = uniform(shaded, name);
        switch (value.components) {
        case 1: glUniform1f(location, value.value[0]); break;
        case 2: glUniform2f(location, value.value[0], value.value[1]); break;
        case 4: glUniform4f(location, value.value[0], value.value[1], value.value[2], value.value[3]); break;
        default: break;
        }
    }
    bind(&page, shaded.program);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(text.vertices.size()));
    return true;
}

void WebGl::bind(const sf::Texture* texture, const Program& program)
{
    const bool textured = texture != nullptr && texture->getSize().x > 0 && texture->getSize().y > 0;
    if (program.textured >= 0) {
        glUniform1f(program.textured, textured ? 1.0f : 0.0f);
    }
    glActiveTexture(GL_TEXTURE0);
    if (!textured) {
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    if (texture->handle == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture->handle = name;
    }
    glBindTexture(GL_TEXTURE_2D, texture->handle);
    const sf::Vector2u size = texture->getSize();
    // Versions are kept one up, so that 0 means nothing went up yet.
    unsigned& held = uploaded_[texture->handle];
    if (held != texture->version + 1) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(size.x), static_cast<GLsizei>(size.y), 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, texture->getPixels().data());
        const GLint filter = texture->isSmooth() ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        const GLint wrap = texture->isRepeated() ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        held = texture->version + 1;
    }
    // As SFML's texture matrix: coordinates in pixels, scaled by the texture's size.
    glUniform2f(program.texelScale, 1.0f / static_cast<float>(size.x), 1.0f / static_cast<float>(size.y));
    glUniform1i(program.sampler, 0);
}

int WebGl::uniform(Shaded& shaded, const std::string& name)
{
    const auto found = shaded.uniforms.find(name);
    if (found != shaded.uniforms.end()) {
        return found->second;
    }
    const int location = glGetUniformLocation(shaded.program.name, name.c_str());
    shaded.uniforms.emplace(name, location);
    return location;
}

} // namespace tolva

#include "capture/FrameCanvas.h"

#include "render/Letterbox.h"

#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <algorithm>
#include <stdexcept>

namespace tolva {

namespace {

using ReadPixels = void (*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);

// Texture::copyToImage goes through glGetTexImage, which software GL serves with a blit: a
// hundred times slower than reading the framebuffer. The function comes from the GL context,
// so nothing here links OpenGL itself.
ReadPixels readPixelsFunction()
{
    static const auto function = reinterpret_cast<ReadPixels>(sf::Context::getFunction("glReadPixels"));
    if (function == nullptr) {
        throw std::runtime_error("OpenGL offers no glReadPixels");
    }
    return function;
}

constexpr std::size_t rowBytes = static_cast<std::size_t>(showWidth) * 4;
constexpr std::size_t frameBytes = rowBytes * showHeight;

} // namespace

FrameCanvas::FrameCanvas(sf::RenderTexture& texture)
    : BatchCanvas(&texture, nullptr), texture_(texture), rows_(frameBytes), frame_(frameBytes, 0)
{
    for (std::size_t k = 3; k < frameBytes; k += 4) {
        frame_[k] = 255;  // opaque black until the first present
    }
}

sf::Image FrameCanvas::lastImage() const
{
    sf::Image image;
    image.create(showWidth, showHeight, frame_.data());
    return image;
}

void FrameCanvas::presented()
{
    texture_.display();
    if (!texture_.setActive(true)) {
        throw std::runtime_error("cannot activate the render texture to read it");
    }
    readPixelsFunction()(0, 0, static_cast<GLsizei>(showWidth), static_cast<GLsizei>(showHeight),
                         GL_RGBA, GL_UNSIGNED_BYTE, rows_.data());
    for (std::size_t y = 0; y < showHeight; ++y) {
        const auto from = rows_.begin() + static_cast<std::ptrdiff_t>((showHeight - 1 - y) * rowBytes);
        std::copy(from, from + static_cast<std::ptrdiff_t>(rowBytes),
                  frame_.begin() + static_cast<std::ptrdiff_t>(y * rowBytes));
    }
    ++readBacks_;
}

} // namespace tolva

#include <SFML/Graphics/Texture.hpp>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace sf {
namespace {

// The part of a picture a load keeps: all of it when the area is empty or covers it, otherwise
// the area cut to the picture.
IntRect keptArea(const IntRect& area, int width, int height)
{
    if (area.width == 0 || area.height == 0
        || (area.left <= 0 && area.top <= 0 && area.width >= width && area.height >= height)) {
        return IntRect(0, 0, width, height);
    }
    IntRect rectangle = area;
    if (rectangle.left < 0) {
        rectangle.left = 0;
    }
    if (rectangle.top < 0) {
        rectangle.top = 0;
    }
    if (rectangle.left + rectangle.width > width) {
        rectangle.width = width - rectangle.left;
    }
    if (rectangle.top + rectangle.height > height) {
        rectangle.height = height - rectangle.top;
    }
    return rectangle;
}

} // namespace

bool Texture::create(unsigned int width, unsigned int height)
{
    if (width == 0 || height == 0) {
        std::fprintf(stderr, "Failed to create texture, invalid size (%ux%u)\n", width, height);
        return false;
    }
    setPixels(std::vector<Uint8>(static_cast<std::size_t>(width) * height * 4, 0), Vector2u(width, height));
    return true;
}

bool Texture::loadFromFile(const std::string& filename, const IntRect& area)
{
    std::ifstream in(filename, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "Failed to load image \"%s\". Reason: cannot read the file\n", filename.c_str());
        return false;
    }
    if (bytes.empty()) {
        std::fprintf(stderr, "Failed to load image \"%s\". Reason: Unable to open file\n", filename.c_str());
        return false;
    }
    return loadFromMemory(bytes.data(), bytes.size(), area);
}

bool Texture::loadFromMemory(const void* data, std::size_t size, const IntRect& area)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* decoded = size > 0 && size < 0x7fffffff
                           ? stbi_load_from_memory(static_cast<const stbi_uc*>(data), static_cast<int>(size),
                                                   &width, &height, &channels, STBI_rgb_alpha)
                           : nullptr;
    if (decoded == nullptr || width <= 0 || height <= 0) {
        std::fprintf(stderr, "Failed to load image. Reason: %s\n", decoded ? "empty" : stbi_failure_reason());
        stbi_image_free(decoded);
        return false;
    }
    const IntRect kept = keptArea(area, width, height);
    if (kept.width <= 0 || kept.height <= 0) {  // an area that starts past the picture
        std::fprintf(stderr, "Failed to create texture, invalid size (%dx%d)\n", kept.width, kept.height);
        stbi_image_free(decoded);
        return false;
    }
    std::vector<Uint8> pixels(static_cast<std::size_t>(kept.width) * static_cast<std::size_t>(kept.height) * 4);
    for (int row = 0; row < kept.height; ++row) {
        const std::size_t from = (static_cast<std::size_t>(kept.top + row) * static_cast<std::size_t>(width)
                                  + static_cast<std::size_t>(kept.left)) * 4;
        std::memcpy(&pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(kept.width) * 4],
                    decoded + from, static_cast<std::size_t>(kept.width) * 4);
    }
    stbi_image_free(decoded);
    setPixels(std::move(pixels), Vector2u(static_cast<unsigned>(kept.width), static_cast<unsigned>(kept.height)));
    return true;
}

void Texture::setPixels(std::vector<Uint8> pixels, Vector2u size)
{
    m_pixels = std::move(pixels);
    m_size = size;
    ++version;
}

void Texture::setSmooth(bool smooth)
{
    if (smooth != m_smooth) {
        m_smooth = smooth;
        ++version;
    }
}

void Texture::setRepeated(bool repeated)
{
    if (repeated != m_repeated) {
        m_repeated = repeated;
        ++version;
    }
}

} // namespace sf

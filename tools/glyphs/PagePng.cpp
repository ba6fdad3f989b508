#include "PagePng.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace tolva::glyphs {
namespace {

bool allWhite(const sf::Uint8* pixels, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        if (pixels[4 * k] != 255 || pixels[4 * k + 1] != 255 || pixels[4 * k + 2] != 255) {
            return false;
        }
    }
    return true;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The rows to write: grey and alpha (two bytes a pixel) or the RGBA pixels as they are.
std::vector<sf::Uint8> rowsOf(const sf::Image& page, bool grey)
{
    const sf::Vector2u size = page.getSize();
    const std::size_t count = static_cast<std::size_t>(size.x) * size.y;
    const sf::Uint8* pixels = page.getPixelsPtr();
    if (!grey) {
        return std::vector<sf::Uint8>(pixels, pixels + 4 * count);
    }
    std::vector<sf::Uint8> out(2 * count);
    for (std::size_t k = 0; k < count; ++k) {
        out[2 * k] = 255;
        out[2 * k + 1] = pixels[4 * k + 3];
    }
    return out;
}

} // namespace

bool savePage(const sf::Image& page, const std::string& path)
{
    const sf::Vector2u size = page.getSize();
    const bool grey = allWhite(page.getPixelsPtr(), static_cast<std::size_t>(size.x) * size.y);
    const std::vector<sf::Uint8> rows = rowsOf(page, grey);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (!file || info == nullptr) {
        std::fprintf(stderr, "tolva-glyphs: cannot write %s\n", path.c_str());
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {  // libpng's way of failing
        std::fprintf(stderr, "tolva-glyphs: cannot write %s\n", path.c_str());
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, size.x, size.y, 8, grey ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(size.x) * (grey ? 2 : 4);
    for (unsigned y = 0; y < size.y; ++y) {
        png_write_row(png, rows.data() + stride * y);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file.release()) == 0;
    if (!closed) {
        std::fprintf(stderr, "tolva-glyphs: cannot write %s\n", path.c_str());
    }
    return closed;
}

} // namespace tolva::glyphs

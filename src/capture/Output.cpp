#include "capture/Output.h"

#include "capture/Mixer.h"

#include <fmt/format.h>

#include <png.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <utility>

namespace tolva {

OutputFile::OutputFile(std::string path) : path_(std::move(path))
{
    file_ = std::fopen(path_.c_str(), "wb");
    if (file_ == nullptr) {
        fail(errno);
    }
}

OutputFile::~OutputFile()
{
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void OutputFile::fail(int error)
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    throw std::runtime_error(fmt::format("cannot write {}: {}", path_,
                                         error != 0 ? std::strerror(error) : "write error"));
}

void OutputFile::write(const void* data, std::size_t size)
{
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
        fail(errno);
    }
}

void OutputFile::close()
{
    std::FILE* file = std::exchange(file_, nullptr);
    errno = 0;
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    const int flushError = errno;
    errno = 0;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed) {
        fail(flushed ? errno : flushError);
    }
}

void writePng(const std::string& path, unsigned width, unsigned height, const sf::Uint8* rgba)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = PNG_FORMAT_RGBA;
#ifdef PNG_IMAGE_FLAG_FAST
    png.flags = PNG_IMAGE_FLAG_FAST;  // frames are many and big: speed over the last percent
#endif
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, rgba, 0, nullptr)) {
        throw std::runtime_error(fmt::format("cannot encode {}: {}", path, png.message));
    }
    std::vector<unsigned char> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, rgba, 0, nullptr)) {
        throw std::runtime_error(fmt::format("cannot encode {}: {}", path, png.message));
    }
    OutputFile file(path);
    file.write(bytes.data(), size);
    file.close();
}

void writePng(const std::string& path, const sf::Image& image)
{
    writePng(path, image.getSize().x, image.getSize().y, image.getPixelsPtr());
}

std::string wavHeader(std::uint32_t channels, std::uint32_t rate, std::uint32_t dataBytes)
{
    const std::uint32_t bytesPerFrame = channels * sizeof(sf::Int16);
    std::string header;
    auto word = [&](std::uint32_t value, int bytes) {
        for (int k = 0; k < bytes; ++k) {
            header.push_back(static_cast<char>((value >> (8 * k)) & 0xffu));
        }
    };
    header += "RIFF";
    word(36 + dataBytes, 4);
    header += "WAVEfmt ";
    word(16, 4);
    word(1, 2);  // PCM
    word(channels, 2);
    word(rate, 4);
    word(rate * bytesPerFrame, 4);
    word(bytesPerFrame, 2);
    word(16, 2);
    header += "data";
    word(dataBytes, 4);
    return header;
}

void writeWav(const std::string& path, const std::vector<sf::Int16>& stereo)
{
    const auto dataBytes = static_cast<std::uint32_t>(stereo.size() * sizeof(sf::Int16));
    const std::string header = wavHeader(2, mixRate, dataBytes);
    OutputFile file(path);
    file.write(header);
    // Samples little-endian, as the machines the capture runs on store them.
    static_assert(sizeof(sf::Int16) == 2);
    file.write(stereo.data(), dataBytes);
    file.close();
}

void MadeFiles::removeAll()
{
    for (const std::string& path : paths_) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    paths_.clear();
}

} // namespace tolva

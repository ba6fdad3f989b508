#pragma once

#include <SFML/Config.hpp>
#include <SFML/Graphics/Image.hpp>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tolva {

// An output file whose every write and its close are checked: a full disk or a lost file system
// stops the capture (std::runtime_error naming the file and the system's reason) instead of
// leaving a file that only looks written. SFML's own writers report nothing of the kind.
class OutputFile {
public:
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const void* data, std::size_t size);
    void write(const std::string& text) { write(text.data(), text.size()); }
    // Everything on its way to the disk, and the file closed; throws if any of it failed.
    void close();
    const std::string& path() const { return path_; }

private:
    [[noreturn]] void fail(int error);
    std::string path_;
    std::FILE* file_ = nullptr;
};

// A picture as a PNG file (RGBA, rows from the top), checked as above.
void writePng(const std::string& path, unsigned width, unsigned height, const sf::Uint8* rgba);
void writePng(const std::string& path, const sf::Image& image);

// The 44-byte header of a 16-bit PCM WAV file whose data chunk says it holds dataBytes.
std::string wavHeader(std::uint32_t channels, std::uint32_t rate, std::uint32_t dataBytes);
// 16-bit stereo samples at the mixing rate as a WAV file under that header, checked.
void writeWav(const std::string& path, const std::vector<sf::Int16>& stereo);

// The files a capture has made so far, removed again when it fails: no file it could not finish
// stays behind under a name that was asked for.
class MadeFiles {
public:
    void add(const std::string& path) { paths_.push_back(path); }
    void removeAll();

private:
    std::vector<std::string> paths_;
};

} // namespace tolva

#include "sound/SoundFile.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace tolva {

namespace {

std::uint32_t littleEndian(const unsigned char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int k = count - 1; k >= 0; --k) {
        value = (value << 8) | bytes[k];
    }
    return value;
}

} // namespace

bool soundFileHoldsWhatItDeclares(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return true;  // SFML says itself that it cannot open it
    }
    const auto size = static_cast<std::uint64_t>(file.tellg());
    file.seekg(0);
    std::array<unsigned char, 12> riff{};
    if (!file.read(reinterpret_cast<char*>(riff.data()), riff.size()) ||
        std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        return true;
    }
    // The chunks as SFML walks them: a format chunk is read for at least its 16 bytes, other
    // chunks are skipped by their size (no pad byte), up to the first data chunk.
    std::uint64_t at = riff.size();
    std::uint32_t bytesPerSample = 0;
    for (;;) {
        std::array<unsigned char, 8> header{};
        file.seekg(static_cast<std::streamoff>(at));
        if (at + header.size() > size || !file.read(reinterpret_cast<char*>(header.data()), header.size())) {
            return false;  // no data chunk: nothing a player could use
        }
        const std::uint32_t chunkSize = littleEndian(header.data() + 4, 4);
        at += header.size();
        if (std::memcmp(header.data(), "fmt ", 4) == 0) {
            std::array<unsigned char, 16> format{};
            if (!file.read(reinterpret_cast<char*>(format.data()), format.size())) {
                return false;
            }
            bytesPerSample = littleEndian(format.data() + 14, 2) / 8;
            at += chunkSize > format.size() ? chunkSize : format.size();
        } else if (std::memcmp(header.data(), "data", 4) == 0) {
            if (bytesPerSample == 0) {
                return false;  // samples of no known size (SFML would divide by zero)
            }
            const std::uint64_t declared = chunkSize / bytesPerSample * std::uint64_t{bytesPerSample};
            return at + declared <= size;
        } else {
            at += chunkSize;
        }
    }
}

} // namespace tolva

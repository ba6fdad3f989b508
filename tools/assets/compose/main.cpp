// tolva-compose OUTDIR [klez|endOfTolva]...: synthesizes the show's two tracks into
// OUTDIR/sounds as 44.1 kHz 16-bit samples. Without names it writes both.
//
// The long soundtrack is folded to mono: the show decodes it whole into memory before its first
// frame, and at four minutes a second channel would double both the wait and the memory.
//
// The samples are stored as FLAC under the .wav names the show loads: SFML picks its reader by
// what a file holds, not by its name, and its WAV reader fetches every sample with a read call of
// its own (a quarter of a second for klez), where FLAC, lossless, decodes in blocks in half the
// time and takes 40 % less room. Each file is read back through SFML and must give every sample.

#include "Score.h"
#include "Synth.h"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/OutputSoundFile.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

bool store(const std::filesystem::path& path, const std::vector<std::int16_t>& samples, unsigned channels)
{
    // SFML's writers go by the name's extension: write under a .flac name, then take the show's.
    std::filesystem::path flac = path;
    flac += ".flac";
    {
        sf::OutputSoundFile file;
        if (!file.openFromFile(flac.string(), tolva::compose::sampleRate, channels)) {
            std::fprintf(stderr, "tolva-compose: cannot write %s\n", flac.string().c_str());
            return false;
        }
        file.write(samples.data(), samples.size());
    }  // closing the file completes its header
    std::error_code error;
    std::filesystem::rename(flac, path, error);
    if (error) {
        std::fprintf(stderr, "tolva-compose: cannot write %s: %s\n", path.string().c_str(), error.message().c_str());
        return false;
    }
    sf::InputSoundFile back;
    std::vector<std::int16_t> read(samples.size());
    if (!back.openFromFile(path.string()) || back.getChannelCount() != channels
        || back.getSampleRate() != tolva::compose::sampleRate || back.getSampleCount() != samples.size()
        || back.read(read.data(), read.size()) != read.size() || read != samples) {
        std::fprintf(stderr, "tolva-compose: %s does not read back as composed\n", path.string().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tolva-compose OUTDIR [klez|endOfTolva]...\n");
        return 2;
    }
    struct Track {
        const char* name;
        std::function<tolva::compose::Buffer()> perform;
        unsigned channels;
    };
    const std::vector<Track> tracks{
        {"klez", tolva::compose::performKlezmer, 1},
        {"endOfTolva", tolva::compose::performClosing, 2},
    };
    std::filesystem::path dir = std::filesystem::path(argv[1]) / "sounds";
    std::filesystem::create_directories(dir);
    int failures = 0;
    for (const Track& track : tracks) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) {
            wanted = wanted || std::strcmp(argv[i], track.name) == 0;
        }
        if (!wanted) {
            continue;
        }
        tolva::compose::Buffer mix = track.perform();
        if (track.channels == 1) {
            for (std::size_t k = 0; k < mix.left.size(); ++k) {
                const float middle = 0.5f * (mix.left[k] + mix.right[k]);
                mix.left[k] = middle;
                mix.right[k] = middle;
            }
        }
        // 1.3 dB of headroom: the peak stays below -1 dBFS after rounding.
        std::vector<std::int16_t> samples = tolva::compose::master(mix, -1.3);
        if (track.channels == 1) {
            for (std::size_t k = 0; 2 * k < samples.size(); ++k) {
                samples[k] = samples[2 * k];
            }
            samples.resize(samples.size() / 2);
        }
        const std::filesystem::path path = dir / (std::string(track.name) + ".wav");
        if (!store(path, samples, track.channels)) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

// tolva-compose OUTDIR [klez|endOfTolva]...: synthesizes the show's two tracks
// into OUTDIR/sounds as 44.1 kHz 16-bit WAV. Without names it writes both.
//
// The long soundtrack is folded to mono: the show decodes it whole into memory before its first
// frame, and at four minutes a second channel would double both the wait and the memory.

#include "Score.h"
#include "Synth.h"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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
        std::string path = (dir / (std::string(track.name) + ".wav")).string();
        sf::OutputSoundFile file;
        if (!file.openFromFile(path, tolva::compose::sampleRate, track.channels)) {
            std::fprintf(stderr, "tolva-compose: cannot write %s\n", path.c_str());
            ++failures;
            continue;
        }
        file.write(samples.data(), samples.size());
    }
    return failures == 0 ? 0 : 1;
}

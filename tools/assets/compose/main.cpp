// tolva-compose OUTDIR [klez|endOfTolva]...: synthesizes the show's two tracks
// into OUTDIR/sounds as 44.1 kHz 16-bit stereo WAV. Without names it writes both.

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
    };
    const std::vector<Track> tracks{
        {"klez", tolva::compose::performKlezmer},
        {"endOfTolva", tolva::compose::performClosing},
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
        // 1.3 dB of headroom: the peak stays below -1 dBFS after rounding.
        std::vector<std::int16_t> samples = tolva::compose::master(track.perform(), -1.3);
        std::string path = (dir / (std::string(track.name) + ".wav")).string();
        sf::OutputSoundFile file;
        if (!file.openFromFile(path, tolva::compose::sampleRate, 2)) {
            std::fprintf(stderr, "tolva-compose: cannot write %s\n", path.c_str());
            ++failures;
            continue;
        }
        file.write(samples.data(), samples.size());
    }
    return failures == 0 ? 0 : 1;
}

// tolva-release-heard RECORDING TRACK: where in RECORDING (a WAV file of what the show played) the
// start of TRACK (one of the show's music files) is heard. Prints "CORRELATION SECOND": how closely
// the two loudness curves agree at the best match (1: exactly), and the second it starts at.

#include <SFML/Audio/InputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t blockFrames = 2205;  // 50 ms at 44.1 kHz
constexpr std::size_t trackBlocks = 160;   // the track's first eight seconds

// Loudness of the first channel, 50 ms a value; empty if the file cannot be read at 44.1 kHz.
std::vector<double> envelope(const std::string& path)
{
    sf::InputSoundFile file;
    if (!file.openFromFile(path) || file.getSampleRate() != 44100) {
        return {};
    }
    const std::size_t channels = file.getChannelCount();
    std::vector<sf::Int16> samples(blockFrames * channels);
    std::vector<double> blocks;
    while (file.read(samples.data(), samples.size()) == samples.size()) {
        double energy = 0;
        for (std::size_t k = 0; k < samples.size(); k += channels) {
            const double x = samples[k];
            energy += x * x;
        }
        blocks.push_back(std::sqrt(energy / static_cast<double>(blockFrames)));
    }
    return blocks;
}

// The correlation of `count` values of two curves, whatever their gains and offsets.
double correlation(const double* a, const double* b, std::size_t count)
{
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (std::size_t k = 0; k < count; ++k) {
        sa += a[k], sb += b[k], saa += a[k] * a[k], sbb += b[k] * b[k], sab += a[k] * b[k];
    }
    const double n = static_cast<double>(count);
    const double spread = std::sqrt((saa - sa * sa / n) * (sbb - sb * sb / n));
    return spread > 0 ? (sab - sa * sb / n) / spread : 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tolva-release-heard RECORDING TRACK\n");
        return 2;
    }
    const std::vector<double> recording = envelope(argv[1]);
    const std::vector<double> track = envelope(argv[2]);
    const std::size_t length = std::min(trackBlocks, track.size());
    if (length == 0 || recording.size() < length) {
        std::fprintf(stderr, "tolva-release-heard: %s is unreadable or shorter than %s's start\n", argv[1], argv[2]);
        return 1;
    }
    double best = -1;
    std::size_t at = 0;
    for (std::size_t lag = 0; lag + length <= recording.size(); ++lag) {
        const double c = correlation(track.data(), recording.data() + lag, length);
        if (c > best) {
            best = c, at = lag;
        }
    }
    std::printf("%.3f %.2f\n", best, static_cast<double>(at * blockFrames) / 44100.0);
    return 0;
}

// The complete show, start to end, in a real window with its sound recorded: about six minutes.

#include "Processes.h"
#include "sound/Voices.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <utility>

namespace tolva {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t blockFrames = 2205;  // 50 ms at 44.1 kHz

// A sound file's first channel, and its sample rate (0 if it cannot be read).
std::vector<double> leftChannel(const std::string& path, unsigned& rate)
{
    sf::InputSoundFile file;
    rate = file.openFromFile(path) ? file.getSampleRate() : 0;
    std::vector<sf::Int16> interleaved(rate == 0 ? 0 : static_cast<std::size_t>(file.getSampleCount()));
    interleaved.resize(rate == 0 ? 0 : static_cast<std::size_t>(file.read(interleaved.data(), interleaved.size())));
    std::vector<double> left;
    for (std::size_t k = 0; k < interleaved.size(); k += file.getChannelCount()) {
        left.push_back(interleaved[k]);
    }
    return left;
}

// The correlation of `count` values of two signals, whatever their gains and offsets.
template <class A, class B>
double correlation(const A* a, const B* b, std::size_t count)
{
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const double x = a[k], y = b[k];
        sa += x, sb += y, saa += x * x, sbb += y * y, sab += x * y;
    }
    const double n = static_cast<double>(count);
    const double spread = std::sqrt((saa - sa * sa / n) * (sbb - sb * sb / n));
    return spread > 0 ? (sab - sa * sb / n) / spread : 0;
}

// Loudness, 50 ms a value: enough to find a piece of music in a recording by its shape.
std::vector<double> envelope(const std::vector<double>& samples)
{
    std::vector<double> blocks;
    for (std::size_t start = 0; start + blockFrames <= samples.size(); start += blockFrames) {
        const auto block = samples.begin() + static_cast<std::ptrdiff_t>(start);
        const double energy = std::inner_product(block, block + blockFrames, block, 0.0);
        blocks.push_back(std::sqrt(energy / blockFrames));
    }
    return blocks;
}

// Where `piece` sits in `recording`, by the correlation of the two envelopes: the best
// correlation, and the second the piece starts at.
std::pair<double, double> locate(const std::vector<double>& piece, const std::vector<double>& recording,
                                 std::size_t length)
{
    std::pair<double, double> best{-1, 0};
    length = std::min(length, piece.size());
    for (std::size_t lag = 0; lag + length <= recording.size(); ++lag) {
        best = std::max(best, std::make_pair(correlation(piece.data(), recording.data() + lag, length),
                                             static_cast<double>(lag) * blockFrames / 44100.0));
    }
    return best;
}

TEST(FullRun, TheWholeShowEndsByItselfWithItsMusicRecorded)
{
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 5, "1920x1080x24");
    ASSERT_TRUE(x.started());
    const std::string wav = testing::scratchFile("full-run.wav"), conf = testing::scratchFile("full-run.conf");
    std::remove(wav.c_str());
    std::ofstream(conf) << "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\n"
                           "sample-type = int16\n[wave]\nfile = " << wav << "\n";
    testing::Child show(TOLVA_SHOW, {{"DISPLAY", x.display()}, {"ALSOFT_CONF", conf}, {"ALSOFT_DRIVERS", ""}},
                        TOLVA_RUN_DIR, testing::scratchFile("full-run.err"));
    const auto exit = show.waitFor(480s);
    ASSERT_TRUE(exit.has_value()) << "the show did not end within eight minutes";
    EXPECT_EQ(exit->status, 0);

    unsigned rate = 0;
    const std::vector<double> left = leftChannel(wav, rate);
    ASSERT_EQ(rate, 44100u);
    // Silence through start-up and the black lead-in, then voiceTwo's looping second (whatever the
    // gain: correlated with its samples) from scene 1's first frame.
    std::size_t onset = 0;
    while (onset < left.size() && std::fabs(left[onset]) < 2) {
        ++onset;
    }
    ASSERT_LT(onset + 44100, left.size()) << "no second of sound after the onset";
    EXPECT_GT(onset, 0u) << "sound before the first frame";
    const SampleArray two = computeFirstThree().two;
    double best = 0;
    for (std::size_t lag = 0; lag < 64 && onset >= lag; ++lag) {
        best = std::max(best, correlation(left.data() + onset - lag, two.data(), 22050));
    }
    EXPECT_GT(best, 0.95);

    EXPECT_GT(left.size(), 330u * 44100u);  // the show's six minutes, give or take a slow start
    const std::vector<double> recording = envelope(left);

    const std::vector<double> klez = envelope(leftChannel(TOLVA_RUN_DIR "/sounds/klez.wav", rate));
    const std::vector<double> ending = envelope(leftChannel(TOLVA_RUN_DIR "/sounds/endOfTolva.wav", rate));
    // The soundtrack from scene 2 (about 61 s after the lead-in) and the closing theme from scene 8
    // (about 315 s); compare a minute of the one and twenty seconds of the other.
    const auto [soundtrack, soundtrackStart] = locate(klez, recording, 1200);
    EXPECT_GT(soundtrack, 0.8);
    EXPECT_NEAR(soundtrackStart, 62.0, 6.0);
    const auto [closing, closingStart] = locate(ending, recording, 400);
    EXPECT_GT(closing, 0.8);
    EXPECT_NEAR(closingStart, 316.0, 8.0);
}

} // namespace
} // namespace tolva

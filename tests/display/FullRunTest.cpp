// The complete show, start to end, in a real window with its sound recorded: about six minutes.

#include "Processes.h"
#include "sound/Voices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tolva {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t blockFrames = 2205;  // 50 ms at 44.1 kHz

// Loudness, 50 ms a value: enough to find a piece of music in a recording by its shape.
std::vector<double> envelope(const std::vector<double>& samples)
{
    std::vector<double> blocks;
    for (std::size_t start = 0; start + blockFrames <= samples.size(); start += blockFrames) {
        double energy = 0;
        for (std::size_t k = start; k < start + blockFrames; ++k) {
            energy += samples[k] * samples[k];
        }
        blocks.push_back(std::sqrt(energy / blockFrames));
    }
    return blocks;
}

struct Match {
    double correlation = -1;
    double seconds = 0;  // where in the recording the piece starts
};

// Where `piece` sits in `recording`, by the correlation of the two envelopes.
Match locate(const std::vector<double>& piece, const std::vector<double>& recording, std::size_t length)
{
    Match best;
    length = std::min(length, piece.size());
    for (std::size_t lag = 0; lag + length <= recording.size(); ++lag) {
        const double correlation = testing::correlation(piece.data(), recording.data() + lag, length);
        if (correlation > best.correlation) {
            best = {correlation, static_cast<double>(lag) * blockFrames / 44100.0};
        }
    }
    return best;
}

TEST(FullRun, TheWholeShowEndsByItselfWithItsMusicRecorded)
{
    testing::Xvfb x(TOLVA_TEST_DISPLAY + 5, "1920x1080x24");
    ASSERT_TRUE(x.started());
    const std::string wav = "/tmp/tolva-full-run.wav";
    testing::Child show(TOLVA_SHOW,
                        {{"DISPLAY", x.display()}, {"ALSOFT_CONF", testing::waveConfig(wav)}, {"ALSOFT_DRIVERS", ""}},
                        TOLVA_RUN_DIR, "/tmp/tolva-full-run.err");
    const auto exit = show.waitFor(480s);
    ASSERT_TRUE(exit.has_value()) << "the show did not end within eight minutes";
    EXPECT_EQ(exit->status, 0);

    unsigned rate = 0;
    const std::vector<double> left = testing::leftChannel(wav, rate);
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
        best = std::max(best, testing::correlation(left.data() + onset - lag, two.data(), 22050));
    }
    EXPECT_GT(best, 0.95);

    EXPECT_GT(left.size(), 330u * 44100u);  // the show's six minutes, give or take a slow start
    const std::vector<double> recording = envelope(left);

    const std::vector<double> klez = envelope(testing::leftChannel(TOLVA_RUN_DIR "/sounds/klez.wav", rate));
    const std::vector<double> ending = envelope(testing::leftChannel(TOLVA_RUN_DIR "/sounds/endOfTolva.wav", rate));
    // The soundtrack from scene 2 (about 61 s after the lead-in) and the closing theme from scene 8
    // (about 315 s); compare a minute of the one and twenty seconds of the other.
    const Match soundtrack = locate(klez, recording, 1200);
    EXPECT_GT(soundtrack.correlation, 0.8);
    EXPECT_NEAR(soundtrack.seconds, 62.0, 6.0);
    const Match closing = locate(ending, recording, 400);
    EXPECT_GT(closing.correlation, 0.8);
    EXPECT_NEAR(closing.seconds, 316.0, 8.0);
}

} // namespace
} // namespace tolva

// The complete show, start to end, in a real window with its sound recorded: about six minutes.

#include "Processes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tolva {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t blockFrames = 2205;  // 50 ms at 44.1 kHz

// Loudness, 50 ms a value: enough to find a piece of music in a recording by its shape.
std::vector<double> envelope(const std::string& path, unsigned& rate)
{
    const std::vector<double> left = testing::leftChannel(path, rate);
    std::vector<double> blocks;
    for (std::size_t start = 0; start + blockFrames <= left.size(); start += blockFrames) {
        double energy = 0;
        for (std::size_t k = start; k < start + blockFrames; ++k) {
            energy += left[k] * left[k];
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
    const std::vector<double> recording = envelope(wav, rate);
    ASSERT_EQ(rate, 44100u);
    const double recorded = static_cast<double>(recording.size()) * blockFrames / rate;
    EXPECT_GT(recorded, 330.0);  // the show's six minutes, give or take a slow start

    unsigned pieceRate = 0;
    const std::vector<double> klez = envelope(std::string(TOLVA_RUN_DIR) + "/sounds/klez.wav", pieceRate);
    const std::vector<double> ending = envelope(std::string(TOLVA_RUN_DIR) + "/sounds/endOfTolva.wav", pieceRate);
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

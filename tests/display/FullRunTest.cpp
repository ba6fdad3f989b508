// The complete show, start to end, in a real window with its sound recorded: about six minutes.

#include "Processes.h"
#include "sound/Voices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <tuple>

namespace tolva {
namespace {

using namespace std::chrono_literals;

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
    const std::vector<double> left = testing::leftChannel(wav, &rate);
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

    // The soundtrack from scene 2 (about 61 s after the lead-in) and the closing theme from scene 8
    // (about 315 s), found by their loudness from their start on.
    for (const auto& [track, start, within] : {std::tuple("klez", 62.0, 6.0), std::tuple("endOfTolva", 316.0, 8.0)}) {
        double agreement = 0, second = 0;
        std::istringstream(testing::capture(TOLVA_HEARD " " + wav + " " TOLVA_RUN_DIR "/sounds/" + track + ".wav")) >>
            agreement >> second;
        EXPECT_GT(agreement, 0.8) << track;
        EXPECT_NEAR(second, start, within) << track;
    }
}

} // namespace
} // namespace tolva

// The whole show on virtual time: start-up, the cue table, the length of the timeline. These build
// the real Show, so they run under the tests' X display.

#include "driver/Show.h"
#include "render/Recorder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace tolva {
namespace {

namespace fs = std::filesystem;

// Runs from an empty folder, so every asset file is missing, and comes back after.
class EmptyFolder {
public:
    EmptyFolder() : previous_(fs::current_path())
    {
        char pattern[] = "/tmp/tolva-empty-XXXXXX";
        folder_ = mkdtemp(pattern);
        fs::current_path(folder_);
    }
    ~EmptyFolder()
    {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }

private:
    fs::path previous_;
    fs::path folder_;
};

struct Cue {
    long iteration;
    std::string sound;
    bool play;
    bool operator==(const Cue& other) const
    {
        return sound == other.sound && play == other.play;
    }
};

struct RunLog {
    std::vector<std::vector<int>> scenes;  // per iteration
    std::vector<Cue> cues;
    std::vector<float> sceneTime;
    std::vector<float> frameSeconds;
    bool ended = false;
};

// One run of the frame loop on virtual time: the first iteration `startup` after the clocks
// start, the rest `period` apart, no time passing inside an iteration.
RunLog runShow(sf::Time startup, sf::Time period, long maxIterations)
{
    ManualTimeSource time;
    ShowState state(time);
    Recorder recorder(false);
    Show show(state, recorder);
    RunLog log;
    time.advance(startup);
    for (long k = 0; k < maxIterations && recorder.isOpen(); ++k) {
        if (k > 0) {
            time.advance(period);
        }
        log.scenes.push_back(show.iterate(recorder, false).scenes);
        for (const SoundOp& op : recorder.only<SoundOp>()) {
            log.cues.push_back({k, soundName(op.id), op.play});
        }
        log.sceneTime.push_back(state.sceneTime);
        log.frameSeconds.push_back(state.frameSeconds());
        recorder.forget();
    }
    log.ended = !recorder.isOpen();
    return log;
}

// One run serves several checks: the whole timeline at 60 Hz takes a while once every scene draws.
TEST(WholeShow, RunsEverySceneInOrderFiresEachCueOnceAndEndsOnTime)
{
    EmptyFolder empty;  // and with every asset file missing
    const RunLog log = runShow(sf::milliseconds(300), sf::microseconds(16667), 40000);
    ASSERT_TRUE(log.ended);

    std::vector<int> order;
    for (const auto& scenes : log.scenes) {
        for (int scene : scenes) {
            if (order.empty() || order.back() != scene) {
                order.push_back(scene);
            }
        }
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

    // Frame time from scene 1's first frame (the 20th iteration) to the end.
    double total = 0;
    for (std::size_t k = 19; k < log.frameSeconds.size(); ++k) {
        total += static_cast<double>(log.frameSeconds[k]);
    }
    EXPECT_NEAR(total, 345.1, 0.2);

    const std::vector<Cue> expected = {
        {0, "voiceTwo", true},    {0, "voiceTwo", false},  {0, "voiceOne", true},
        {0, "voiceOne", false},   {0, "voiceThree", true}, {0, "voiceThree", false},
        {0, "klezSound", true},   {0, "voiceFour", false}, {0, "endSound", true},
    };
    ASSERT_EQ(log.cues, expected);
    EXPECT_EQ(log.cues[0].iteration, 19);  // scene 1's first frame, with the 20th black one
    // The switches fall on the first frames past 21 and past 29 seconds of sceneTime.
    const auto sceneTimeAt = [&](long k) { return log.sceneTime[static_cast<std::size_t>(k)]; };
    EXPECT_GT(sceneTimeAt(log.cues[1].iteration), 21.0f);
    EXPECT_LE(sceneTimeAt(log.cues[1].iteration - 1), 21.0f);
    EXPECT_GT(sceneTimeAt(log.cues[3].iteration), 29.0f);
    EXPECT_LE(sceneTimeAt(log.cues[3].iteration - 1), 29.0f);
}

TEST(SlowStartUp, PastTwentyNineSecondsSceneOneSwitchesNothing)
{
    EmptyFolder empty;
    // Only as far as the first frames of scene 2.
    const RunLog log = runShow(sf::seconds(30), sf::microseconds(16667), 3800);
    std::vector<Cue> cues(log.cues.begin(), log.cues.begin() + std::min<std::size_t>(3, log.cues.size()));
    const std::vector<Cue> expected = {
        {0, "voiceTwo", true}, {0, "voiceThree", false}, {0, "klezSound", true}};
    EXPECT_EQ(cues, expected);
}

} // namespace
} // namespace tolva

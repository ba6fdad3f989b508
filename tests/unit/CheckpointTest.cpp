// Checkpoints of the whole show: resumed, in any scene and at every hand-over, after the show has
// run on past them, they give the frames and sounds of a run straight from the start; and each
// scene, its state changed, checkpointed, changed again and put back, goes on as it did.

#include "capture/Capture.h"
#include "capture/FrameCanvas.h"
#include "preview/Rehearsal.h"
#include "preview/ShowSnapshot.h"
#include "render/Letterbox.h"
#include "render/Recorder.h"
#include "support/SceneMoments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tolva;

struct Seen {
    std::string frame;
    std::vector<std::pair<int, sf::Int32>> sounds;  // id, offset in microseconds
};

Seen look(Rehearsal& show, FrameCanvas& canvas, long k)
{
    show.goTo(k);
    EXPECT_EQ(show.next(), k);
    Seen seen;
    for (const SoundAt& sound : show.deck().playingAt(k)) {
        seen.sounds.emplace_back(static_cast<int>(sound.id), sound.offset.asMicroseconds());
    }
    show.step(&canvas, false);
    const std::vector<sf::Uint8>& frame = canvas.lastFrame();
    seen.frame = frameHash(frame.data(), frame.size());
    return seen;
}

TEST(Checkpoints, ResumedTheyGiveTheFramesOfAStraightRun)
{
    if (!displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    sf::RenderTexture texture;
    ASSERT_TRUE(texture.create(showWidth, showHeight, BatchCanvas::targetSettings()));
    FrameCanvas canvas(texture);

    // One show runs to the end, learning where the scenes begin.
    Rehearsal show(nullptr);
    show.goTo(30000);
    ASSERT_TRUE(show.ended());
    std::vector<long> moments = {40, 1234, 4321, 7777, 11111, 13333, 15151, 17500, 19999};
    for (int scene = 1; scene <= 8; ++scene) {
        ASSERT_TRUE(show.sceneStart(scene).has_value()) << "scene " << scene;
        moments.push_back(*show.sceneStart(scene));  // the hand-over, from its own checkpoint
        moments.push_back(*show.sceneStart(scene) + 1);
    }
    std::sort(moments.begin(), moments.end());

    // Another runs straight through them from its start.
    std::map<long, Seen> straight;
    {
        Rehearsal fresh(nullptr);
        for (long k : moments) {
            straight[k] = look(fresh, canvas, k);
        }
    }

    // The first one then goes back to each from its checkpoints, the last first, each time after
    // running on past it.
    for (auto at = straight.rbegin(); at != straight.rend(); ++at) {
        show.goTo(at->first + 400);
        const Seen resumed = look(show, canvas, at->first);
        EXPECT_EQ(resumed.frame, at->second.frame) << "frame " << at->first;
        EXPECT_EQ(resumed.sounds, at->second.sounds) << "frame " << at->first;
    }
    EXPECT_LE(show.checkpointCount(), 9 + Rehearsal::periodicKept);
}

// Everything a step of a scene did and left: its operations and the show's named values after it.
std::vector<std::string> transcript(Show& show, Recorder& recorder)
{
    std::vector<std::string> lines;
    for (const RecordedOp& op : recorder.ops()) {
        lines.push_back(toJson(op));
    }
    for (const auto& [name, value] : show.floatValues()) {
        lines.push_back(name + "=" + std::to_string(*value));
    }
    for (const auto& [name, clock] : show.clocks()) {
        lines.push_back(name + "=" + std::to_string(clock->getElapsedTime().asMicroseconds()));
    }
    return lines;
}

// A value a scene keeps outside its state struct, or a part of the show a checkpoint leaves out,
// shows here as a step that differs after the restore.
TEST(Checkpoints, EveryScenePutBackWhole)
{
    if (!displayAvailable()) {
        GTEST_SKIP() << "needs an X display";
    }
    WorkClock clock(WorkModel{}, 60);
    ShowState state(clock);
    Recorder recorder;
    Show show(state, recorder);
    for (const tolva::testing::SceneMoment& moment : tolva::testing::sceneMoments()) {
        auto values = show.floatValues();
        auto flags = show.flagValues();
        std::istringstream words(moment.settings);
        for (std::string word; words >> word;) {
            const std::string name = word.substr(0, word.find('='));
            const float value = std::stof(word.substr(name.size() + 1));
            if (values.count(name) != 0) {
                *values[name] = value;
            } else if (flags.count(name) != 0) {
                *flags[name] = value != 0.0f;
            }
        }
        state.frameDelta = sf::microseconds(16667);
        const auto frame = [&] {
            clock.spend(16'666'667);
            recorder.forget();
            show.run(moment.scene, recorder);
            return transcript(show, recorder);
        };
        frame();
        frame();
        const ShowSnapshot checkpoint(show, clock, 0);
        const std::vector<std::string> straight = frame();
        frame();
        frame();
        checkpoint.restore(show, clock);
        EXPECT_EQ(frame(), straight) << moment.name;
    }
}

} // namespace

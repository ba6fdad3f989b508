// The whole show on virtual time through the inspector's command line, run as a program (under the
// tests' X display): start-up, the cue table, the length of the timeline, and what it refuses.

#include "support/SceneMoments.h"
#include "support/Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Output {
    std::vector<std::string> lines;
    int status = -1;
};

// The program's standard output (with its errors too if asked), line by line, run from `folder`.
// The JSON is on standard output alone. A run that hangs is stopped after two minutes (status 124).
Output inspect(const std::string& arguments, bool withErrors = false, const std::string& folder = ".")
{
    const tolva::testing::Outcome ran = tolva::testing::run("{ cd " + folder + " && timeout 1200 " TOLVA_INSPECT " " +
                                                            arguments + "; }" + (withErrors ? "" : " 2>/dev/null"));
    Output out{{}, ran.status};
    std::istringstream lines(ran.output);
    for (std::string line; std::getline(lines, line);) {
        out.lines.push_back(line);
    }
    return out;
}

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

// The value of `name` in a line, up to the name after it.
std::string field(const std::string& line, const std::string& name, const std::string& next)
{
    const auto start = line.find("\"" + name + "\":") + name.size() + 3;
    return line.substr(start, line.find(",\"" + next + "\":", start) - start);
}

// "iteration: cues" for each iteration that has any.
std::vector<std::string> cues(const Output& out)
{
    std::vector<std::string> found;
    for (std::size_t k = 0; k < out.lines.size(); ++k) {
        if (!has(out.lines[k], R"("cues":[],)")) {
            found.push_back(std::to_string(k) + ": " + field(out.lines[k], "cues", "countdowns"));
        }
    }
    return found;
}

// What the show drew at each scene moment when the table was recorded (see SceneMoments.h).
TEST(Inspector, EverySceneMomentDrawsWhatWasRecorded)
{
    for (const tolva::testing::SceneMoment& moment : tolva::testing::sceneMoments()) {
        const std::string arguments = "scene " + std::to_string(moment.scene) + " " + moment.settings;
        const Output out = inspect(arguments + " | sha256sum | cut -c1-16");
        ASSERT_EQ(out.lines.size(), 1u);
        EXPECT_EQ(out.lines[0], moment.digest) << "scene " << moment.scene << ", moment " << moment.name
                                               << ": " << moment.settings;
    }
}

// One run at 60 Hz serves several checks: it takes a while once every scene draws.
TEST(Inspector, TimelineRunsEverySceneInOrderFiresEachCueOnceAndEndsOnTime)
{
    char folder[] = "/tmp/tolva-empty-XXXXXX";  // every asset file missing
    ASSERT_NE(mkdtemp(folder), nullptr);
    const Output out = inspect("timeline period_us=16667 startup_us=300000", false, folder);
    std::remove(folder);
    ASSERT_EQ(out.status, 0);
    ASSERT_GT(out.lines.size(), 20000u);
    std::string order;
    int handOvers = 0;
    for (const std::string& line : out.lines) {
        for (const char scene : field(line, "scenes", "cues")) {
            order += std::isdigit(scene) && (order.empty() || order.back() != scene) ? std::string(1, scene) : "";
        }
        handOvers += has(line, "\"frames\":2") ? 1 : 0;
    }
    EXPECT_EQ(order, "012345678");
    EXPECT_EQ(handOvers, 8);
    // Frame time from scene 1's first frame (the 20th iteration) to the end.
    EXPECT_NEAR(static_cast<double>(out.lines.size() - 19) * 0.016667, 345.1, 0.2);

    // Scene 1's voices start with its first frame (with the 20th black one) and switch on the
    // first frames past 21 and past 29 seconds of sceneTime.
    EXPECT_EQ(cues(out), (std::vector<std::string>{
                             R"(19: [["voiceTwo","play"]])", R"(1242: [["voiceTwo","stop"],["voiceOne","play"]])",
                             R"(1722: [["voiceOne","stop"],["voiceThree","play"]])",
                             R"(3679: [["voiceThree","stop"],["klezSound","play"]])", R"(5838: [["voiceFour","stop"]])",
                             R"(18921: [["endSound","play"]])"}));
    const auto sceneTime = [&](std::size_t k) { return std::strtof(field(out.lines[k], "sceneTime", "warpTime").c_str(), nullptr); };
    EXPECT_TRUE(sceneTime(1241) <= 21.0f && sceneTime(1242) > 21.0f);
    EXPECT_TRUE(sceneTime(1721) <= 29.0f && sceneTime(1722) > 29.0f);
}

TEST(Inspector, PastTwentyNineSecondsOfStartUpSceneOneSwitchesNothing)
{
    // Only as far as the first frames of scene 2.
    const std::vector<std::string> found = cues(inspect("timeline period_us=16667 startup_us=30000000 max_iterations=3800"));
    EXPECT_EQ(found, (std::vector<std::string>{R"(19: [["voiceTwo","play"]])",
                                               R"(3679: [["voiceThree","stop"],["klezSound","play"]])"}));
}

// Unknown names and values, and times and counts that are not finite integers in range, are refused
// in one line (a NaN period used to run the timeline forever, hence the time limit).
TEST(Inspector, RefusesWhatItCannotUse)
{
    EXPECT_TRUE(has(inspect("scene 1 warpTyme=3", true).lines.at(0), "unknown name: warpTyme"));
    for (const char* arguments :
         {"scene 1 warpTyme=3", "scene 1 warpTime=fast", "scene 9", "timeline period_us=0 startup_us=0",
          "timeline period_us=nan startup_us=0", "timeline period_us=1e300 startup_us=0",
          "timeline period_us=16667 startup_us=inf", "timeline period_us=16667 startup_us=0 max_iterations=nan",
          "scene 1 frameDelta=nan", "scene 1 midFrameDelta=-1e300", "scene 1 frames=nan",
          "scene 1 frames=1e300", "scene 3 scrollerElapsed=inf", "scene 5 fuseTick=nan"}) {
        const Output out = inspect(arguments, true);
        EXPECT_EQ(out.status, 2) << arguments;
        EXPECT_EQ(out.lines.size(), 1u) << arguments;
    }
}

} // namespace

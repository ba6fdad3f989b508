// The inspector's command line, run as a program (under the tests' X display).

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Output {
    std::vector<std::string> lines;
    int status = -1;
};

// The program's standard output (with its errors too if asked), line by line. SFML reports the
// asset files it could not load on standard error; the JSON is on standard output alone. A run
// that hangs is stopped after two minutes (status 124).
Output inspect(const std::string& arguments, bool withErrors = false)
{
    Output out;
    const std::string command = "timeout 120 " + std::string(TOLVA_INSPECT) + " " + arguments
                                + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        text.append(buffer, got);
    }
    const int status = pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        out.lines.push_back(line);
    }
    return out;
}

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

TEST(Inspector, TimelinePrintsEveryIterationToTheEnd)
{
    // Ten frames a second keeps it short; the timeline is the same one.
    const Output out = inspect("timeline period_us=100000 startup_us=250000");
    ASSERT_EQ(out.status, 0);
    ASSERT_GT(out.lines.size(), 3000u);
    EXPECT_EQ(out.lines.front().rfind("{\"iteration\":0,\"scenes\":[0],\"cues\":[],", 0), 0u) << out.lines.front();
    EXPECT_TRUE(has(out.lines[19], "\"scenes\":[0,1],\"cues\":[[\"voiceTwo\",\"play\"]]")) << out.lines[19];
    EXPECT_TRUE(has(out.lines[19], "\"frames\":2"));
    EXPECT_TRUE(has(out.lines.back(), "\"scenes\":[8]")) << out.lines.back();
    int handOvers = 0;
    for (const std::string& line : out.lines) {
        handOvers += has(line, "\"frames\":2") ? 1 : 0;
    }
    EXPECT_EQ(handOvers, 8);
}

// Unknown names and values, and times and counts that are not finite integers in range, are refused
// in one line (a NaN period used to run the timeline forever, hence the time limit).
TEST(Inspector, RefusesWhatItCannotUse)
{
    const Output unknown = inspect("scene 1 warpTyme=3", true);
    EXPECT_EQ(unknown.status, 2);
    ASSERT_EQ(unknown.lines.size(), 1u);
    EXPECT_TRUE(has(unknown.lines.back(), "unknown name: warpTyme"));
    for (const char* arguments :
         {"scene 1 warpTime=fast", "scene 9", "timeline period_us=0 startup_us=0", "timeline period_us=nan startup_us=0", "timeline period_us=1e300 startup_us=0",
          "timeline period_us=16667 startup_us=inf", "timeline period_us=16667 startup_us=0 max_iterations=nan",
          "scene 1 frameDelta=nan", "scene 1 midFrameDelta=-1e300", "scene 1 frames=nan",
          "scene 1 frames=1e300", "scene 3 scrollerElapsed=inf", "scene 5 fuseTick=nan"}) {
        const Output out = inspect(arguments, true);
        EXPECT_EQ(out.status, 2) << arguments;
        EXPECT_EQ(out.lines.size(), 1u) << arguments;
    }
}

} // namespace

// How the farm's parts start on a host and what it reads back from them: the commands parallel
// runs, run here by a real shell in folders of awkward names, with stand-ins for the capture and
// xvfb-run; the parts' lines through parallel; the progress line made of their reports.

#include "../ParallelEngine.h"
#include "../PartsProgress.h"

#include "support/Shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

using namespace tolva;
using namespace tolva::farm;

namespace {

namespace fs = std::filesystem;
using tolva::testing::standIn;
using tolva::testing::text;

// A folder whose name holds a colon, a space, quotes, a command substitution and UTF-8, with bin/
// in it.
fs::path awkwardFolder(const std::string& test)
{
    const fs::path folder = fs::temp_directory_path() / ("tolva-farm-engine " + test) / "a:b it's \"$(touch pwned)\" ñandú";
    fs::remove_all(folder.parent_path());
    fs::create_directories(folder / "bin");
    return folder;
}

// Runs a farm command as parallel would on this machine, in `folder`, with bin/ first on PATH;
// its standard output into out.txt there.
int runInFolder(const fs::path& folder, const std::vector<std::string>& argv, bool display)
{
    std::vector<std::string> entries = {"PATH=bin:/usr/bin:/bin"};  // relative, as the farm has it
    entries.push_back(display ? "DISPLAY=:4242" : "DISPLAY=");
    Launch launch;
    launch.argv = argv;
    launch.searchPath = true;
    launch.folder = folder.string();
    launch.environment = environmentWith(entries);
    const int out = openForChild(folder / "out.txt");
    launch.stdoutFd = out;
    const int status = runToEnd(launch);
    ::close(out);
    return status;
}

} // namespace

TEST(FarmEngine, APartRunsTheCaptureWithItsOwnPathsWhateverTheFolderIsCalled)
{
    const fs::path folder = awkwardFolder("part");
    // The capture's stand-in reports its progress on the descriptor it is given, says its
    // chapters on standard output (which nobody wants) and its troubles on standard error.
    standIn(folder, "tolva-capture",
            "echo '{\"phase\":\"done\",\"frames\":2,\"frames_total\":2,\"iterations\":12}' >&3; echo chapters");
    standIn(folder, "xvfb-run", "while [ \"$1\" != tolva-capture ]; do shift; done; exec \"$@\"");
    const std::string command = partCommand(PartOptions{10, true});
    // parallel hands "sh -c SCRIPT part {2} {3} {4}" to the shell; this is that shell.
    const std::string line = command.substr(0, command.rfind(" part ")) + " part tolva-farm-x-part-001 1 1.2";
    ASSERT_EQ(runInFolder(folder, {"sh", "-c", line}, true), 0);
    const std::string pwd = folder.string();
    EXPECT_EQ(text(folder / "tolva-capture.args"),
              "--fps\n10\n--from\n1\n--to\n1.2\n--out\n" + pwd + "/tolva-farm-x-part-001.mp4\n--log\n" + pwd +
                  "/tolva-farm-x-part-001.jsonl\n--progress\n3\n");
    EXPECT_EQ(text(folder / "out.txt"), "{\"phase\":\"done\",\"frames\":2,\"frames_total\":2,\"iterations\":12}\n")
        << "the progress alone on the part's output";
    EXPECT_FALSE(fs::exists(folder / "xvfb-run.args")) << "a display was there";
    EXPECT_FALSE(fs::exists(folder.parent_path() / "pwned"));

    // The last part has no --to; without a display, xvfb-run gets an authority file whose path is
    // one safe word (it hands it to Xvfb unquoted).
    const std::string open = command.substr(0, command.rfind(" part ")) + " part tolva-farm-x-part-002 1.2 ''";
    ASSERT_EQ(runInFolder(folder, {"sh", "-c", open}, false), 0);
    EXPECT_EQ(text(folder / "tolva-capture.args"),
              "--fps\n10\n--from\n1.2\n--out\n" + pwd + "/tolva-farm-x-part-002.mp4\n--log\n" + pwd +
                  "/tolva-farm-x-part-002.jsonl\n--progress\n3\n");
    const std::string xvfb = text(folder / "xvfb-run.args");
    EXPECT_NE(xvfb.find("-f\n/tmp/tolva-farm-x-part-002.xauth\n"), std::string::npos) << xvfb;
    fs::remove_all(folder.parent_path());
}

TEST(FarmEngine, PartsLinesAreTheirProgressOrMessagesForTheReader)
{
    std::vector<std::pair<int, ProgressReport>> heard;
    const ProgressSink sink{[&heard](int part, const ProgressReport& report) { heard.emplace_back(part, report); },
                            [] {}};
    EXPECT_FALSE(takePartLine("12\t{\"phase\":\"capturing\",\"frames\":5,\"frames_total\":9,\"iterations\":70}\r", sink));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].first, 12);
    EXPECT_EQ(std::tuple(heard[0].second.phase, heard[0].second.frames, heard[0].second.framesTotal,
                         heard[0].second.iterations),
              std::tuple(std::string("capturing"), 5L, 9L, 70L));
    // Anything else is said, with its part where it has one; the capture's words are free to change.
    EXPECT_EQ(takePartLine("3\ttolva-capture: capturing [####] 5/9 frames", sink),
              "part 3: tolva-capture: capturing [####] 5/9 frames");
    EXPECT_EQ(takePartLine("3\t{\"phase\":\"capturing\"}", sink), "part 3: {\"phase\":\"capturing\"}");
    EXPECT_EQ(takePartLine("parallel: Warning: something", sink), "parallel: Warning: something");
    EXPECT_EQ(takePartLine("-1\tx", sink), "-1\tx");
    EXPECT_EQ(heard.size(), 1u);
}

TEST(FarmEngine, ProgressCountsEachPartOnceAndAPartRunAgainStartsOver)
{
    const ProgressReport report{"capturing", 7, 10, 100};
    ASSERT_TRUE(parseProgressJson(progressJson(report)));
    EXPECT_EQ(parseProgressJson(progressJson(report))->frames, 7);
    EXPECT_FALSE(parseProgressJson("{\"phase\":\"done\",\"frames\":\"7\",\"frames_total\":10,\"iterations\":3}"));
    EXPECT_FALSE(parseProgressJson("capturing [###] 7/10 frames"));

    PartsProgress progress(cutParts(0, 30, false, 3), false);
    EXPECT_EQ(progress.framesInAll(), 30);
    progress.take(1, {"run-up", 0, 10, 5});
    progress.take(2, {"capturing", 4, 10, 50});
    progress.take(1, {"capturing", 6, 10, 50});
    progress.take(3, {"done", 10, 10, 90});
    EXPECT_EQ(std::tuple(progress.framesDone(), progress.partsDone(), progress.partsRunning()), std::tuple(20L, 1u, 2u));
    // Part 3 lost with its host runs again elsewhere from its run-up: its frames count once.
    progress.take(3, {"run-up", 0, 10, 1});
    progress.take(3, {"capturing", 2, 10, 22});
    EXPECT_EQ(std::tuple(progress.framesDone(), progress.partsDone(), progress.partsRunning()), std::tuple(12L, 0u, 3u));
    EXPECT_EQ(progress.line(PartsProgress::Clock::now()).rfind("0/3 parts done, 3 running [", 0), 0u);
}

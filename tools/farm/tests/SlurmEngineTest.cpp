// What the farm hands Slurm and reads back: the site's sbatch options as words, the nodes sinfo
// names, the jobs' outcome files, and the script a part's job runs, run here by a real shell in a
// folder of awkward name with stand-ins for the capture and xvfb-run, as a node would run it.

#include "../SlurmEngine.h"

#include "support/Shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tolva;
using namespace tolva::farm;

namespace {

namespace fs = std::filesystem;
using tolva::testing::standIn;
using tolva::testing::text;

// Runs a job's script as slurmd would: from another folder, with the environment given on top
// of ours; its exit status.
int runJob(const fs::path& script, const std::vector<std::string>& environment)
{
    Launch launch;
    launch.argv = {"/bin/sh", script.string()};
    launch.folder = "/";
    launch.nullInput = true;
    launch.environment = environmentWith(environment);
    return runToEnd(launch);
}

} // namespace

TEST(FarmSlurm, TheSitesOptionsAreSplitAsTheShellWouldWithoutExpandingThem)
{
    EXPECT_EQ(splitWords("  --partition=gpu\t--time=02:00:00 "), (std::vector<std::string>{"--partition=gpu", "--time=02:00:00"}));
    EXPECT_EQ(splitWords("--comment='a b' --comment=\"c \\\"d\\\" $HOME\" e\\ f ''"),
              (std::vector<std::string>{"--comment=a b", "--comment=c \"d\" $HOME", "e f", ""}));
    EXPECT_TRUE(splitWords("").empty());
    EXPECT_THROW(splitWords("--comment='open"), std::invalid_argument);
    EXPECT_THROW(splitWords("--comment=\"open"), std::invalid_argument);

    // The partition asked for decides which nodes are probed; the last one given holds, as in sbatch.
    EXPECT_EQ(partitionOf({"--time=5", "-p", "a,b"}), "a,b");
    EXPECT_EQ(partitionOf({"--partition", "a", "--partition=b"}), "b");
    EXPECT_EQ(partitionOf({"-pgpu"}), "gpu");
    EXPECT_EQ(partitionOf({"--time=5", "-p"}), std::nullopt);
}

TEST(FarmSlurm, OnlyNodesThatCanTakeWorkAreProbedEachOnce)
{
    const std::vector<Host> nodes = nodesOf("n1|8|idle\nn2|8|mix\nn3|4|down*\nn4|4|drain\nn5|4|idle*\n"
                                            "n1|8|idle\nn6|16|alloc\nn7|2|drng\nn8|x|idle~\n");
    std::vector<std::string> names;
    for (const Host& node : nodes) {
        names.push_back(node.login + "/" + (node.slots ? std::to_string(*node.slots) : "?"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"n1/8", "n2/8", "n6/16", "n8/?"}));
    EXPECT_EQ(nodes.front().name(), "n1");
}

TEST(FarmSlurm, AJobsOutcomeCountsOnlyOnceWrittenWhole)
{
    const auto ended = parseOutcome("137 tolva1 1700000000.250000000 1700000012.750000000\n");
    ASSERT_TRUE(ended);
    EXPECT_EQ(std::tuple(ended->status, ended->node, ended->seconds), std::tuple(137, std::string("tolva1"), 12.5));
    EXPECT_FALSE(parseOutcome("0 tolva1 1700000000.25 1700000012.75"));  // no newline yet
    EXPECT_FALSE(parseOutcome(""));
    EXPECT_FALSE(parseOutcome("0 tolva1\n"));
    // A date without nanoseconds ("%N" left as is) still tells how the job ended.
    const auto plain = parseOutcome("0 n1 1700000000.%N 1700000003.%N\n");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->status, 0);
}

TEST(FarmSlurm, APartsJobRunsItsOwnPartInTheWorkFolderWhateverItIsCalled)
{
    const fs::path root = fs::temp_directory_path() / "tolva-farm-slurm job";
    const fs::path folder = root / "it's \"$(touch pwned)\": ñandú `id` \\ %j" / ".tolva-farm-x";
    fs::remove_all(root);
    fs::create_directories(folder / "bin");
    Workspace work{folder, "tolva-farm-x"};
    const std::vector<Part> parts = cutParts(600, 620, true, 2);
    // The capture's stand-in reports its progress on the descriptor it is given and says its
    // chapters on standard output, which nobody wants; part 1's fails once its progress is out.
    standIn(folder, "tolva-capture",
            "echo '{\"phase\":\"run-up\",\"frames\":0,\"frames_total\":10,\"iterations\":1}' >&3; echo chapters; "
            "echo \"display: ${DISPLAY-none}\" >&2; case $4 in 60) exit 3 ;; esac");
    standIn(folder, "xvfb-run", "while [ \"$1\" != tolva-capture ]; do shift; done; exec \"$@\"");
    const fs::path script = folder / "parts.sh";
    std::ofstream(script) << jobScript(folder, partSelection(work, parts, 10), slurmPartBody(PartOptions{10, true}));

    // The submitter's display is not the node's: the part makes its own.
    ASSERT_EQ(runJob(script, {"SLURM_ARRAY_TASK_ID=2", "SLURMD_NODENAME=n7", "DISPLAY=:4242", "PATH=/usr/bin:/bin"}), 0);
    const std::string pwd = folder.string();
    EXPECT_EQ(text(folder / "tolva-capture.args"),
              "--fps\n10\n--from\n61\n--out\n" + pwd + "/tolva-farm-x-part-002.mp4\n--log\n" + pwd +
                  "/tolva-farm-x-part-002.jsonl\n--progress\n3\n")
        << "the last part runs to the show's end";
    EXPECT_NE(text(folder / "xvfb-run.args").find("-f\n/tmp/tolva-farm-x-part-002.xauth\n"), std::string::npos);
    EXPECT_EQ(text(folder / "tolva-farm-x-part-002.err"), "display: none\n");
    const auto ended = parseOutcome(text(folder / "tolva-farm-x-part-002.status"));
    ASSERT_TRUE(ended);
    EXPECT_EQ(std::tuple(ended->status, ended->node), std::tuple(0, std::string("n7")));

    // Part 1 fails: its status is its job's and its outcome's; run again, its progress goes on
    // in the same file, from its run-up.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        EXPECT_EQ(runJob(script, {"SLURM_ARRAY_TASK_ID=1", "PATH=/usr/bin:/bin"}), 3);
    }
    EXPECT_EQ(text(folder / "tolva-capture.args").substr(0, 27), "--fps\n10\n--from\n60\n--to\n61\n");
    EXPECT_EQ(parseOutcome(text(folder / "tolva-farm-x-part-001.status"))->status, 3);
    EXPECT_EQ(text(folder / "tolva-farm-x-part-001.progress"),
              "{\"phase\":\"run-up\",\"frames\":0,\"frames_total\":10,\"iterations\":1}\n"
              "{\"phase\":\"run-up\",\"frames\":0,\"frames_total\":10,\"iterations\":1}\n");
    // A task of no part says so and does nothing.
    EXPECT_EQ(runJob(script, {"SLURM_ARRAY_TASK_ID=3", "PATH=/usr/bin:/bin"}), 1);
    EXPECT_FALSE(fs::exists(folder / "tolva-farm-x-part-003.status"));
    EXPECT_FALSE(fs::exists(root / "pwned"));
    EXPECT_FALSE(fs::exists(folder / "pwned"));
    fs::remove_all(root);
}

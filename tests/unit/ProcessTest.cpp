// Child processes as every tool starts them: their streams, folder, environment and process
// group, what their end says, and words the shell reads back exactly.

#include "process/Child.h"
#include "process/Signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

using namespace tolva;

namespace {

std::string readAll(int fd)
{
    std::string text;
    char chunk[256];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;) {
        text.append(chunk, static_cast<std::size_t>(got));
    }
    return text;
}

// What `sh -c script` writes on its standard output, started as the launch says otherwise; it
// ends with `status`.
std::string shellSays(const std::string& script, Launch launch = {}, int status = 0)
{
    Pipe output;
    launch.argv = {"/bin/sh", "-c", script};
    launch.stdoutFd = output.writeFd;
    Child child(launch);
    output.closeWrite();
    const std::string said = readAll(output.readFd);
    EXPECT_EQ(child.wait(), status) << script;
    return said;
}

} // namespace

TEST(Process, AChildsEndIsItsStatusOr128PlusTheSignalThatEndedIt)
{
    Launch launch;
    launch.argv = {"/bin/sh", "-c", "exit 3"};
    EXPECT_EQ(runToEnd(launch), 3);
    launch.argv = {"/bin/sh", "-c", "kill -KILL $$"};
    EXPECT_EQ(runToEnd(launch), 128 + SIGKILL);

    // Still running: poll says so, a signal ends it, and the end is kept for every later ask.
    launch.argv = {"/bin/sleep", "30"};
    Child sleeper(launch);
    EXPECT_TRUE(sleeper.pending());
    EXPECT_FALSE(sleeper.poll());
    sleeper.signal(SIGTERM);
    EXPECT_EQ(sleeper.wait(), 128 + SIGTERM);
    EXPECT_EQ(sleeper.poll(), 128 + SIGTERM);
    EXPECT_FALSE(sleeper.pending());

    launch.argv = {"/no/such/program"};
    EXPECT_THROW(Child{launch}, std::runtime_error);
    launch.argv = {"tolva-no-such-program"};
    launch.searchPath = true;
    EXPECT_THROW(Child{launch}, std::runtime_error);
}

TEST(Process, AChildRunsInItsOwnGroupWithTheDefaultReactionToOurSignals)
{
    // We ignore SIGPIPE (and catch SIGINT); a child ends on it, as programs expect, instead of
    // writing on to a reader long gone.
    catchStopSignals({SIGINT, SIGTERM}, SecondStop::isCaught);
    const std::string said = shellSays("echo $$ $(ps -o pgid= -p $$); kill -PIPE $$; echo survived", {}, 128 + SIGPIPE);
    const std::string pid = said.substr(0, said.find(' '));
    EXPECT_EQ(said.substr(0, said.find('\n')), pid + " " + pid) << "its process group is its own";
    EXPECT_EQ(said.find("survived"), std::string::npos) << said;
    EXPECT_EQ(stopRequested(), 0) << "a child's signal is not ours";
    raise(SIGTERM);
    raise(SIGTERM);
    EXPECT_NE(stopRequested(), 0) << "caught, every time";
}

TEST(Process, AChildGetsTheFolderEnvironmentAndStreamsItIsGiven)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tolva process test ' $(x)";
    std::filesystem::create_directories(folder);
    setenv("TOLVA_PROCESS_TEST", "ours", 1);
    Launch launch;
    launch.folder = folder.string();
    launch.nullInput = true;
    launch.environment = environmentWith({"TOLVA_PROCESS_TEST=theirs", "TOLVA_PROCESS_NEW=new"});
    EXPECT_EQ(shellSays("pwd; echo $TOLVA_PROCESS_TEST $TOLVA_PROCESS_NEW; cat; echo end", launch),
              folder.string() + "\ntheirs new\nend\n");
    EXPECT_EQ(shellSays("echo $TOLVA_PROCESS_TEST; echo to-stderr >&2"), "ours\n") << "ours, unless told";

    ChildMessages messages;
    Launch talker;
    talker.argv = {"/bin/sh", "-c", "echo kept until asked >&2"};
    talker.stderrFd = messages.fd();
    EXPECT_EQ(runToEnd(talker), 0);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(messages.relay());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kept until asked\n");
    std::filesystem::remove_all(folder);
}

TEST(Process, TheShellReadsAQuotedWordBackExactly)
{
    for (const std::string word : {"", "plain", "with space", "it's", "'", "''", "$(touch pwned) `x` $HOME",
                                   "back\\slash \"double\"", "new\nline", "ñandú ✓", "-n", "*"}) {
        EXPECT_EQ(shellSays("printf %s " + shellQuote(word)), word);
    }
}

TEST(Process, LinesOfATextLeaveOutEmptyOnes)
{
    EXPECT_EQ(linesOf("a\n\nb c\n"), (std::vector<std::string>{"a", "b c"}));
    EXPECT_EQ(linesOf("last without newline"), (std::vector<std::string>{"last without newline"}));
    EXPECT_TRUE(linesOf("\n\n").empty());
}

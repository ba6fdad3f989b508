#pragma once

// Child processes, started one way for every tool: in a process group of their own, so that a
// Ctrl-C in the terminal reaches only us and we decide what each child gets, with the default
// reaction to the signals we handle (see Signals.h).

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tolva {

// How a child starts: its program and arguments (no shell), where its standard streams lead (-1:
// ours), the folder it works in and its environment.
struct Launch {
    std::vector<std::string> argv;
    bool searchPath = false;  // argv[0] looked up on our PATH
    bool nullInput = false;   // standard input from /dev/null instead of stdinFd
    int stdinFd = -1;
    int stdoutFd = -1;
    int stderrFd = -1;
    int closeFd = -1;         // closed in the child (our end of a pipe it must not hold open)
    std::string folder;       // empty: ours
    std::optional<std::vector<std::string>> environment;  // "NAME=value" entries; none: ours
};

// A started child, until it has been waited for. The owner decides when to wait or signal: a
// Child going out of scope does neither.
class Child {
public:
    // Throws std::runtime_error "cannot start PROGRAM: reason".
    explicit Child(const Launch& launch);
    Child(Child&& other) noexcept;
    Child& operator=(Child&& other) noexcept;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() = default;

    pid_t pid() const { return pid_; }
    // Whether it still has to be waited for.
    bool pending() const { return pid_ > 0 && !status_; }

    // Its exit status (128 + the signal that ended it; 1 if it cannot be waited for), once it has
    // ended: wait() blocks until then, through interrupted waits; poll() says none yet.
    int wait();
    std::optional<int> poll();
    // A signal to it (to its whole process group with group), while it is pending.
    void signal(int number, bool group = false) const;

private:
    std::optional<int> reap(bool block);
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Runs a program to its end: its exit status, as Child::wait gives it.
int runToEnd(const Launch& launch);

// A pipe whose ends are closed in every child we start (a child gets one as a standard stream).
struct Pipe {
    Pipe();  // throws std::runtime_error
    ~Pipe();
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void closeRead();
    void closeWrite();
    int readFd = -1;
    int writeFd = -1;
};

// What a child process writes on its standard error, kept until it has ended and then passed on
// to ours, so that a failure can say whether the child explained it.
class ChildMessages {
public:
    ChildMessages();
    ~ChildMessages();
    ChildMessages(const ChildMessages&) = delete;
    ChildMessages& operator=(const ChildMessages&) = delete;

    int fd() const { return fd_; }
    // Copies what was written so far to our standard error; true if there was anything.
    bool relay();

private:
    int fd_ = -1;
};

// The environment we run in, with these entries ("NAME=value") set in place of ours.
std::vector<std::string> environmentWith(const std::vector<std::string>& entries);

// The full path of a program found on PATH, if it is there. Empty entries are skipped: the
// current folder is searched only when PATH names it.
std::optional<std::string> findProgram(const std::string& name);

// A word the POSIX shell reads back as exactly `text`, whatever bytes it holds (NUL aside).
std::string shellQuote(const std::string& text);

// The lines of a text, without their newlines; empty lines are left out.
std::vector<std::string> linesOf(const std::string& text);

} // namespace tolva

#include "process/Child.h"

#include <fmt/format.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tolva {

namespace {

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& text : strings) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

// The streams and folder of the child, as posix_spawn applies them in the child.
void addStreams(posix_spawn_file_actions_t& actions, const Launch& launch)
{
    if (launch.nullInput) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    } else if (launch.stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, launch.stdinFd, STDIN_FILENO);
    }
    if (launch.closeFd >= 0) {
        posix_spawn_file_actions_addclose(&actions, launch.closeFd);
    }
    if (launch.stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, launch.stdoutFd, STDOUT_FILENO);
    }
    if (launch.stderrFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, launch.stderrFd, STDERR_FILENO);
    }
    if (!launch.folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, launch.folder.c_str());
    }
}

// A process group of its own, with the default reaction to the signals we catch or ignore.
void setOwnProcessGroup(posix_spawnattr_t& attributes)
{
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
}

pid_t spawn(const Launch& launch)
{
    if (launch.argv.empty()) {
        throw std::invalid_argument("a child needs a program to run");
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    addStreams(actions, launch);
    setOwnProcessGroup(attributes);

    std::vector<std::string> args = launch.argv;
    std::vector<std::string> environment = launch.environment.value_or(std::vector<std::string>{});
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(environment);
    char* const* env = launch.environment ? envp.data() : environ;
    pid_t pid = -1;
    const int error = launch.searchPath
                          ? posix_spawnp(&pid, argp[0], &actions, &attributes, argp.data(), env)
                          : posix_spawn(&pid, argp[0], &actions, &attributes, argp.data(), env);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        throw std::runtime_error(fmt::format("cannot start {}: {}", launch.argv[0], std::strerror(error)));
    }
    return pid;
}

} // namespace

Child::Child(const Launch& launch) : pid_(spawn(launch)) {}

Child::Child(Child&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(std::exchange(other.status_, std::nullopt))
{
}

Child& Child::operator=(Child&& other) noexcept
{
    pid_ = std::exchange(other.pid_, -1);
    status_ = std::exchange(other.status_, std::nullopt);
    return *this;
}

std::optional<int> Child::reap(bool block)
{
    if (status_ || pid_ <= 0) {
        return status_;
    }
    int status = 0;
    pid_t got;
    while ((got = waitpid(pid_, &status, block ? 0 : WNOHANG)) < 0 && errno == EINTR) {
    }
    if (got == 0) {
        return std::nullopt;
    }
    status_ = got < 0 ? 1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
}

int Child::wait() { return reap(true).value_or(1); }

std::optional<int> Child::poll() { return reap(false); }

void Child::signal(int number, bool group) const
{
    if (pending()) {
        kill(group ? -pid_ : pid_, number);
    }
}

int runToEnd(const Launch& launch)
{
    Child child(launch);
    return child.wait();
}

std::vector<std::string> environmentWith(const std::vector<std::string>& entries)
{
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& wanted : entries) {
            replaced = replaced || wanted.compare(0, name.size(), name) == 0;
        }
        if (!replaced) {
            environment.push_back(entry);
        }
    }
    environment.insert(environment.end(), entries.begin(), entries.end());
    return environment;
}

std::optional<std::string> findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return std::nullopt;
    }
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        if (end == start) {
            start = end + 1;
            continue;  // an empty entry is no folder (the old meaning, ".", would run what lies here)
        }
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            result.push_back(line);
        }
    }
    return result;
}

Pipe::Pipe()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error(fmt::format("cannot make a pipe: {}", std::strerror(errno)));
    }
    readFd = fds[0];
    writeFd = fds[1];
}

Pipe::~Pipe()
{
    closeRead();
    closeWrite();
}

void Pipe::closeRead()
{
    if (readFd >= 0) {
        close(readFd);
        readFd = -1;
    }
}

void Pipe::closeWrite()
{
    if (writeFd >= 0) {
        close(writeFd);
        writeFd = -1;
    }
}

ChildMessages::ChildMessages() : fd_(memfd_create("tolva-child-messages", MFD_CLOEXEC)) {}

ChildMessages::~ChildMessages()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool ChildMessages::relay()
{
    if (fd_ < 0) {
        return false;
    }
    bool said = false;
    char chunk[4096];
    off_t at = 0;
    for (ssize_t got; (got = pread(fd_, chunk, sizeof chunk, at)) > 0; at += got) {
        std::fwrite(chunk, 1, static_cast<std::size_t>(got), stderr);
        said = true;
    }
    std::fflush(stderr);
    return said;
}

} // namespace tolva

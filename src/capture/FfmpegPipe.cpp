#include "capture/FfmpegPipe.h"

#include <fmt/format.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tolva {

namespace {

std::vector<char*> cArgs(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    return args;
}

bool exitedCleanly(int pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Spawns argv in its own process group, its standard input from stdinFd (or ours if -1).
int spawn(const std::vector<std::string>& argv, int stdinFd, int closeFd)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    if (stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, stdinFd);
    }
    if (closeFd >= 0) {
        posix_spawn_file_actions_addclose(&actions, closeFd);
    }
    // A process group of its own, and the default reaction to the signals we handle.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args = cArgs(argv);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        throw std::runtime_error(fmt::format("cannot start {}: {}", argv[0], std::strerror(error)));
    }
    return pid;
}

} // namespace

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
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

ChildPipe::ChildPipe(const std::vector<std::string>& argv)
{
    int fds[2];
    if (pipe(fds) != 0) {
        throw std::runtime_error(fmt::format("cannot make a pipe: {}", std::strerror(errno)));
    }
    try {
        pid_ = spawn(argv, fds[0], fds[1]);
    } catch (...) {
        close(fds[0]);
        close(fds[1]);
        throw;
    }
    close(fds[0]);
    fd_ = fds[1];
}

ChildPipe::~ChildPipe() { finish(); }

bool ChildPipe::write(const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0 && fd_ >= 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;  // a Ctrl-C: the frame still goes out whole
            }
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return fd_ >= 0;
}

bool ChildPipe::finish()
{
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (pid_ < 0) {
        return false;
    }
    const bool clean = exitedCleanly(pid_);
    pid_ = -1;
    return clean;
}

bool runProgram(const std::vector<std::string>& argv)
{
    return exitedCleanly(spawn(argv, -1, -1));
}

std::vector<std::string> encodeVideoCommand(const std::string& ffmpeg, const VideoFormat& format,
                                            const std::string& videoPath)
{
    return {ffmpeg, "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
            // what we send: raw frames, one per iteration of the frame loop
            "-f", "rawvideo", "-pix_fmt", "rgba",
            "-video_size", fmt::format("{}x{}", format.width, format.height),
            "-framerate", fmt::format("{}", format.fps), "-i", "pipe:0",
            // HD video as players expect it: BT.709, limited range, 4:2:0
            "-vf", "scale=out_color_matrix=bt709:out_range=tv:flags=accurate_rnd+full_chroma_int",
            "-pix_fmt", "yuv420p", "-colorspace", "bt709", "-color_primaries", "bt709",
            "-color_trc", "bt709", "-color_range", "tv",
            "-c:v", "libx264", "-preset", "fast", "-crf", "18",
            "-f", "mp4", videoPath};
}

std::vector<std::string> muxCommand(const std::string& ffmpeg, const std::string& videoPath,
                                    const std::string& wavPath, const std::string& outPath)
{
    return {ffmpeg, "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
            "-i", videoPath, "-i", wavPath,
            "-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", "256k",
            "-movflags", "+faststart", "-f", "mp4", outPath};
}

} // namespace tolva

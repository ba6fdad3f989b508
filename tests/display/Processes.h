#pragma once

// Starting the show and X servers from the real-window tests.

#include <SFML/Audio/InputSoundFile.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tolva::testing {

// A private Xvfb for one test, on its own display number.
class Xvfb {
public:
    Xvfb(int number, const std::string& screen) : display_(":" + std::to_string(number))
    {
        started_ = std::system((TOLVA_XVFB_SCRIPT " start " + display_ + " " + screen).c_str()) == 0;
    }
    ~Xvfb() { [[maybe_unused]] const int status = std::system((TOLVA_XVFB_SCRIPT " stop " + display_).c_str()); }
    bool started() const { return started_; }
    const std::string& display() const { return display_; }

private:
    std::string display_;
    bool started_ = false;
};

// The output of a shell command.
// A file in /tmp of this build's tests alone: two checkouts testing at once on one machine have
// display ranges of their own, and must not write each other's recordings either.
inline std::string scratchFile(const std::string& name)
{
    return "/tmp/tolva-" + std::to_string(TOLVA_TEST_DISPLAY) + "-" + name;
}

inline std::string capture(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, got);
        }
        pclose(pipe);
    }
    return out;
}

struct Exit {
    int status = -1;  // exit status, or -1 if it did not exit normally
};

// A program started with extra environment (an empty value unsets the variable), stderr to a file.
class Child {
public:
    Child(const std::string& program, const std::map<std::string, std::string>& environment,
          const std::string& directory, const std::string& stderrPath)
    {
        pid_ = fork();
        if (pid_ == 0) {
            for (const auto& [name, value] : environment) {
                value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
            }
            if (chdir(directory.c_str()) == 0 && std::freopen(stderrPath.c_str(), "w", stderr)) {
                execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            }
            _exit(127);
        }
    }
    ~Child()
    {
        if (pid_ > 0 && !exit_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // Waits at most `limit` for the child to end.
    std::optional<Exit> waitFor(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exit_ = Exit{WIFEXITED(status) ? WEXITSTATUS(status) : -1};
                return exit_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::optional<Exit> exit_;
};

// Waits for a window named Tolva; returns `xwininfo`'s report of it, or "" after the limit.
inline std::string waitForShowWindow(const std::string& display, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string info = capture("DISPLAY=" + display + " xwininfo -name Tolva 2>/dev/null");
        if (info.find("Width:") != std::string::npos) {
            return info;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

// A sound file's first channel (empty if it cannot be read), and its sample rate if asked.
inline std::vector<double> leftChannel(const std::string& path, unsigned* rate = nullptr)
{
    sf::InputSoundFile file;
    std::vector<double> left;
    if (rate != nullptr) {
        *rate = 0;
    }
    if (!file.openFromFile(path)) {
        return left;
    }
    std::vector<sf::Int16> samples(static_cast<std::size_t>(file.getSampleCount()));
    samples.resize(static_cast<std::size_t>(file.read(samples.data(), samples.size())));
    for (std::size_t k = 0; k < samples.size(); k += file.getChannelCount()) {
        left.push_back(samples[k]);
    }
    if (rate != nullptr) {
        *rate = file.getSampleRate();
    }
    return left;
}

inline int field(const std::string& info, const std::string& name)
{
    const auto at = info.find(name);
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
}

} // namespace tolva::testing

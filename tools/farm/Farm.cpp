#include "Farm.h"

#include "Plan.h"

#include "capture/Capture.h"
#include "capture/Chapters.h"
#include "capture/FfmpegPipe.h"
#include "capture/Mixer.h"
#include "capture/Progress.h"
#include "show/Timing.h"

#ifndef TOLVA_FARM_TO_DATA
#define TOLVA_FARM_TO_DATA "../../share/tolva"  // lib/tolva to share/tolva, as installed
#endif

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tolva::farm {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

namespace {

// --- Processes ------------------------------------------------------------------------------

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// A child in a process group of its own (a Ctrl-C in the terminal reaches only us, and we pass
// it on), working in the work folder with its bin/ in front of PATH (this machine's capture), its
// output to `out` and its errors to `err` (-1: ours).
pid_t startChild(const std::vector<std::string>& argv, const fs::path& work, int out, int err)
{
    const std::string path = (work / "bin").string();
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        if (entry.rfind("PATH=", 0) != 0 && entry.rfind("PARALLEL_SHELL=", 0) != 0) {
            environment.push_back(entry);
        }
    }
    const char* oldPath = std::getenv("PATH");
    environment.push_back("PATH=" + path + (oldPath != nullptr ? std::string(":") + oldPath : ""));
    environment.push_back("PARALLEL_SHELL=/bin/sh");  // the parts' commands are POSIX shell
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> result;
        for (std::string& text : strings) {
            result.push_back(text.data());
        }
        result.push_back(nullptr);
        return result;
    };
    std::vector<std::string> args = argv;
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, work.c_str());
    if (out >= 0) {
        posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    }
    if (err >= 0) {
        posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    }
    setOwnProcessGroup(attributes);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argp[0], &actions, &attributes, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        throw std::runtime_error(fmt::format("cannot start {}: {}", argv[0], std::strerror(error)));
    }
    return pid;
}

// The child's exit status (128 + the signal that ended it), once it has ended; none yet while
// `block` is false and it runs.
std::optional<int> reap(pid_t pid, bool block)
{
    int status = 0;
    pid_t got;
    while ((got = waitpid(pid, &status, block ? 0 : WNOHANG)) < 0 && errno == EINTR) {
    }
    if (got == 0) {
        return std::nullopt;
    }
    if (got < 0) {
        return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int openForChild(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error(fmt::format("cannot write {}: {}", path.string(), std::strerror(errno)));
    }
    return fd;
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        throw std::runtime_error(fmt::format("cannot write {}", path.string()));
    }
}

// --- The commands the hosts run ----------------------------------------------------------

// Put in front of a command on a host: without a display there, a private X server for it (from
// display TOLVA_FARM_DISPLAY_FROM up, 99 as xvfb-run has it), its authority file under the
// name given, in the folder the host runs the command in.
std::string displayWrapper(const std::string& authority)
{
    return fmt::format(
        "if [ -z \"${{DISPLAY-}}\" ]; then set -- xvfb-run -a -n \"${{TOLVA_FARM_DISPLAY_FROM:-99}}\" "
        "-f \"$PWD/{}\" -s \"-screen 0 1920x1080x24\"; else set --; fi; ",
        authority);
}

// What a host draws with, and how many processors it has: the capture's version report under the
// display the parts would have, the encoder's version, nproc.
std::string probeCommand(const std::string& authority)
{
    const std::string script =
        displayWrapper(authority) +
        "\"$@\" tolva-capture --version; status=$?; rm -f \"$PWD/" + authority + "\"; "
        "if command -v ffmpeg > /dev/null; then ffmpeg -version | head -n 1 | cut -d \" \" -f 1-3; fi; "
        "nproc; exit $status";
    return "sh -c " + shellQuote(script);
}

// One part: name, from, to (empty: the show's end) as arguments; the capture writes NAME.jsonl
// and, for a video, NAME.mp4 in the folder the host runs it in.
std::string partCommand(const FarmOptions& options)
{
    const std::string video = options.out.empty() ? "" : " --out \"$PWD/$name.mp4\"";
    const std::string script =
        "name=$1 from=$2 to=$3; " + displayWrapper("$name.xauth") +
        fmt::format("\"$@\" tolva-capture --fps {} --from \"$from\" ${{to:+--to \"$to\"}}{} --log \"$PWD/$name.jsonl\"; ",
                    options.fps, video) +
        "status=$?; rm -f \"$PWD/$name.xauth\"; exit $status";
    return "sh -c " + shellQuote(script) + " part {2} {3} {4}";
}

std::string plural(long count, const char* one, const char* many)
{
    return fmt::format("{} {}", count, count == 1 ? one : many);
}

// --- The run ---------------------------------------------------------------------------------

struct Stopped {};

class Run {
public:
    Run(const FarmOptions& options, const volatile std::sig_atomic_t& stop) : options_(options), stop_(stop) {}
    ~Run() { cleanUp(); }

    int run();

private:
    void makeWorkFolder();
    void writeLocalCapture();
    std::vector<Host> probeHosts(std::vector<Host> hosts);
    void waitAll(const std::vector<pid_t>& pids);
    int runParts(const std::vector<Host>& hosts);
    void showProgress(bool last);
    void takeLine(const std::string& line);
    void checkVideos();
    void joinVideo();
    long joinLog();  // the frames joined
    void publishLog();
    void sweepHosts();
    void cleanUp();
    fs::path at(const std::string& name) const { return work_ / name; }
    std::string partName(const Part& part) const { return fmt::format("{}-part-{:03}", token_, part.number); }

    FarmOptions options_;
    const volatile std::sig_atomic_t& stop_;
    const SteadyClock::time_point began_ = SteadyClock::now();
    CaptureOptions capture_;
    std::string ffmpeg_;
    fs::path work_;       // everything made before the results take their names
    std::string token_;   // the work folder's name: the prefix of all a host keeps for us
    std::vector<Host> hosts_;
    std::vector<Part> parts_;
    pid_t sound_ = -1;
    long frames_ = 0;                 // joined
    std::vector<Chapter> chapters_;   // of the frames joined

    // Progress, from the parts' own lines.
    std::map<int, long> framesDone_;
    std::set<int> partsDone_;
    std::deque<std::pair<SteadyClock::time_point, long>> marks_;
    SteadyClock::time_point lastShown_{};
    bool terminal_ = isatty(STDERR_FILENO) != 0;
};

void Run::makeWorkFolder()
{
    const std::string& beside = !options_.out.empty() ? options_.out : options_.log;
    fs::path folder = fs::absolute(beside).parent_path();
    std::string pattern = (folder / ".tolva-farm-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error(fmt::format("cannot make a work folder in {}: {}", folder.string(), std::strerror(errno)));
    }
    work_ = pattern;
    token_ = work_.filename().string().substr(1);  // "tolva-farm-XXXXXX"
    fs::create_directory(at("bin"));
}

// This machine's parts run the capture beside this program, whose assets lie beside it in the
// build's run folder, or in the installation's data folder.
void Run::writeLocalCapture()
{
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path here = self.parent_path();
    const fs::path program = here / "tolva-capture";
    const fs::path data = fs::exists(here / "fonts") ? here : (here / TOLVA_FARM_TO_DATA).lexically_normal();
    if (!fs::exists(program) || !fs::exists(data / "fonts")) {
        throw std::runtime_error(fmt::format("incomplete installation: expected {} and {}", program.string(),
                                             (data / "fonts").string()));
    }
    const fs::path wrapper = at("bin") / "tolva-capture";
    writeText(wrapper, fmt::format("#!/bin/sh\ncd {} && exec {} \"$@\"\n", shellQuote(data.string()),
                                   shellQuote(program.string())));
    fs::permissions(wrapper, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

// Waits for the children to end; on a stop, ends them first.
void Run::waitAll(const std::vector<pid_t>& pids)
{
    std::vector<int> statuses(pids.size(), -1);
    bool interrupted = false;
    for (;;) {
        bool running = false;
        for (std::size_t k = 0; k < pids.size(); ++k) {
            if (statuses[k] < 0) {
                if (const auto status = reap(pids[k], false)) {
                    statuses[k] = *status;
                } else {
                    running = true;
                }
            }
        }
        if (!running) {
            break;
        }
        if (stop_ != 0 && !interrupted) {
            interrupted = true;
            for (std::size_t k = 0; k < pids.size(); ++k) {
                if (statuses[k] < 0) {
                    kill(pids[k], SIGINT);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (interrupted) {
        throw Stopped{};
    }
}

std::vector<Host> Run::probeHosts(std::vector<Host> hosts)
{
    fmt::print(stderr, "tolva-farm: asking {} what they draw with\n", plural(static_cast<long>(hosts.size()), "host", "hosts"));
    std::vector<pid_t> pids;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        const int out = openForChild(at(fmt::format("probe-{}.out", k)));
        const int err = openForChild(at(fmt::format("probe-{}.err", k)));
        Host host = hosts[k];
        host.slots = host.slots.value_or(1);  // so that parallel asks nothing more of it
        pids.push_back(startChild({"parallel", "--will-cite", "--sshlogin", host.line(), "--nonall",
                                   "--timeout", "300",
                                   probeCommand(fmt::format("{}-probe-{}.xauth", token_, k))},
                                  work_, out, err));
        ::close(out);
        ::close(err);
    }
    waitAll(pids);

    std::vector<Host> reached;
    std::vector<Probe> probes;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        const Probe probe = readProbe(readText(at(fmt::format("probe-{}.out", k))),
                                      readText(at(fmt::format("probe-{}.err", k))), !options_.out.empty());
        if (!probe.answered) {
            fmt::print(stderr, "tolva-farm: leaving out {}: {}\n", hosts[k].name(), probe.problem);
            continue;
        }
        Host host = hosts[k];
        host.slots = host.slots.value_or(probe.processors);
        reached.push_back(host);
        probes.push_back(probe);
    }
    const std::vector<std::size_t> odd = oddHosts(reached, probes);
    if (!odd.empty()) {
        std::string names;
        for (std::size_t k : odd) {
            names += (names.empty() ? "" : ", ") + reached[k].name();
        }
        // What differs, line by line: the renderer, its version, the encoder, the program.
        const std::size_t same = odd.front() == 0 ? 1 : 0;
        const auto linesOf = [](const std::string& text) {
            std::vector<std::string> result;
            std::istringstream in(text);
            for (std::string line; std::getline(in, line);) {
                result.push_back(line);
            }
            return result;
        };
        const std::vector<std::string> theirs = linesOf(probes[odd.front()].identity);
        const std::vector<std::string> ours = linesOf(probes[same].identity);
        std::string differences;
        for (std::size_t k = 0; k < std::max(theirs.size(), ours.size()); ++k) {
            const std::string there = k < theirs.size() ? theirs[k] : "";
            const std::string here = k < ours.size() ? ours[k] : "";
            if (there != here) {
                differences += fmt::format("{}'{}' where {} has '{}'", differences.empty() ? "" : "; ", there,
                                           reached[same].name(), here);
            }
        }
        throw std::invalid_argument(fmt::format(
            "refusing {}: they would draw other frames than the others ({})", names, differences));
    }
    if (reached.empty()) {
        throw std::runtime_error("no host is left to work on");
    }
    return reached;
}

void Run::takeLine(const std::string& line)
{
    const auto tab = line.find('\t');
    const std::optional<long> number =
        tab == std::string::npos ? std::nullopt : integerField("{\"n\":" + line.substr(0, tab) + "}", "n");
    if (!number) {
        fmt::print(stderr, "tolva-farm: {}\n", line);
        return;
    }
    const int part = static_cast<int>(*number);
    std::string text = line.substr(tab + 1);
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    long done = 0;
    long total = 0;
    if (text.rfind("capturing [", 0) == 0 && std::sscanf(text.c_str() + text.find(']') + 1, " %ld/%ld", &done, &total) == 2) {
        framesDone_[part] = done;
    } else if (text.rfind("running up to ", 0) == 0) {
        framesDone_[part] = 0;  // a part run again starts over
        partsDone_.erase(part);
    } else if (std::sscanf(text.c_str(), "tolva-capture: %ld frames (", &done) == 1) {
        framesDone_[part] = done;
        partsDone_.insert(part);
    } else {
        fmt::print(stderr, "tolva-farm: part {}: {}\n", part, text);
    }
}

void Run::showProgress(bool last)
{
    const auto now = SteadyClock::now();
    if (!last && now - lastShown_ < std::chrono::milliseconds(terminal_ ? 500 : 10000)) {
        return;
    }
    lastShown_ = now;
    long done = 0;
    for (const auto& [part, frames] : framesDone_) {
        done += frames;
    }
    long total = 0;
    for (const Part& part : parts_) {
        total += part.last - part.first;
    }
    marks_.emplace_back(now, done);
    while (marks_.size() > 2 && now - marks_.front().first > std::chrono::seconds(30)) {
        marks_.pop_front();
    }
    const double seconds = std::chrono::duration<double>(now - marks_.front().first).count();
    const double rate = seconds > 0 ? static_cast<double>(done - marks_.front().second) / seconds : 0.0;
    const long running = static_cast<long>(framesDone_.size() - partsDone_.size());
    const std::string line = progressLine(
        fmt::format("{}/{} parts done, {} running", partsDone_.size(), parts_.size(), running),
        std::min(done, total), total, rate, "frames");
    if (terminal_) {
        fmt::print(stderr, "\r{}\x1b[K{}", line, last ? "\n" : "");
    } else {
        fmt::print(stderr, "{}\n", line);
    }
}

int Run::runParts(const std::vector<Host>& hosts)
{
    std::string hostLines;
    for (const Host& host : hosts) {
        hostLines += host.line() + "\n";
    }
    writeText(at("hosts"), hostLines);
    std::string table;
    for (const Part& part : parts_) {
        table += fmt::format("{}\t{}\t{}\t{}\n", part.number, partName(part), secondsOf(part.first, options_.fps),
                             part.openEnd ? "" : secondsOf(part.last, options_.fps));
    }
    writeText(at("parts"), table);

    std::vector<std::string> command = {
        "parallel", "--will-cite", "--sshloginfile", at("hosts").string(), "--colsep", "\t",
        // A part lost with its host, or killed there, runs again on another; one failing for good
        // stops the others.
        "--retries", "3", "--halt", "now,fail=1", "--joblog", at("joblog").string(),
        "--line-buffer", "--tagstring", "{1}"};
    // The files of parts done elsewhere come back and go from there (this machine's are here).
    if (std::any_of(hosts.begin(), hosts.end(), [](const Host& host) { return host.login != ":"; })) {
        command.insert(command.end(), {"--return", "{2}.jsonl", "--cleanup"});
        if (!options_.out.empty()) {
            command.insert(command.end(), {"--return", "{2}.mp4"});
        }
    }
    command.insert(command.end(), {"--arg-file", at("parts").string(), partCommand(options_)});

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error(fmt::format("cannot make a pipe: {}", std::strerror(errno)));
    }
    // The parts' standard output (their chapters) is theirs alone; their messages come through.
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t parallel = startChild(command, work_, quiet, pipeFds[1]);
    ::close(quiet);
    ::close(pipeFds[1]);
    std::string pending;
    bool interrupted = false;
    for (bool open = true; open;) {
        if (stop_ != 0 && !interrupted) {
            interrupted = true;
            kill(parallel, SIGINT);  // parallel ends every part, on every host
        }
        pollfd poller{pipeFds[0], POLLIN, 0};
        if (poll(&poller, 1, 200) > 0) {
            char chunk[4096];
            const ssize_t got = ::read(pipeFds[0], chunk, sizeof chunk);
            if (got <= 0) {
                open = got < 0 && errno == EINTR;
            } else {
                pending.append(chunk, static_cast<std::size_t>(got));
                for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                    takeLine(pending.substr(0, end));
                }
            }
        }
        if (!interrupted) {
            showProgress(false);
        }
    }
    ::close(pipeFds[0]);
    const int status = reap(parallel, true).value_or(1);
    if (interrupted) {
        throw Stopped{};
    }
    showProgress(true);
    return status;
}

void Run::checkVideos()
{
    // The parts join by stream copy only if each starts with a key frame and all were encoded
    // alike: the same codec parameters (SPS and PPS included) in every part.
    std::string reference;
    for (const Part& part : parts_) {
        const fs::path video = at(partName(part) + ".mp4");
        const std::string report = at(partName(part) + ".probe").string();
        const int out = openForChild(report);
        const pid_t probe = startChild(
            {"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_data_hash", "MD5", "-show_entries",
             "stream=codec_name,profile,level,width,height,pix_fmt,r_frame_rate,time_base,has_b_frames,"
             "extradata_hash:packet=flags",
             "-read_intervals", "%+#1", "-of", "flat", ffmpegFile(video.string())},
            work_, out, -1);
        ::close(out);
        const int status = reap(probe, true).value_or(1);
        const std::string text = readText(report);
        std::string parameters;
        std::istringstream lines(text);
        bool key = false;
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("packets.packet.0.flags=", 0) == 0) {
                key = line.find("\"K") != std::string::npos;
            } else {
                parameters += line + "\n";
            }
        }
        if (status != 0 || !key) {
            throw std::runtime_error(fmt::format("part {}'s video does not start with a key frame", part.number));
        }
        if (reference.empty()) {
            reference = parameters;
        } else if (parameters != reference) {
            throw std::runtime_error(fmt::format("part {}'s video was encoded otherwise than part 1's:\n{}\n{}",
                                                 part.number, parameters, reference));
        }
    }
}

void Run::joinVideo()
{
    checkVideos();
    std::string list;
    for (const Part& part : parts_) {
        std::string path = at(partName(part) + ".mp4").string();
        std::string quoted;
        for (char c : path) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        list += "file '" + quoted + "'\n";
    }
    writeText(at("parts.txt"), list);
    const std::string video = at("video.mp4").string();
    // The parts' pictures one after the other, copied; their own sound stays behind.
    const ProgramOutcome joined = runProgram(
        {ffmpeg_, "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "concat", "-safe", "0",
         "-i", ffmpegFile(at("parts.txt").string()), "-map", "0:v:0", "-map_chapters", "-1", "-c", "copy", "-f", "mp4",
         ffmpegFile(video)});
    if (!joined.succeeded) {
        throw std::runtime_error("ffmpeg could not join the parts' video");
    }

    // The sound, mixed once for the whole range, encoded once, as the capture does it.
    if (const int status = reap(sound_, true).value_or(1); status != 0) {
        sound_ = -1;
        fmt::print(stderr, "{}", readText(at("sound.err")));
        throw std::runtime_error("the sound of the range could not be mixed");
    }
    sound_ = -1;
    // The sound was mixed apart from the pictures: both must cover the same frames.
    const auto samples = sampleAt(parts_.front().first + frames_, options_.fps) - sampleAt(parts_.front().first, options_.fps);
    if (fs::file_size(at("sound.wav")) != 44 + static_cast<std::uintmax_t>(samples) * 4) {
        throw std::runtime_error(fmt::format("the sound mixed does not last the {} frames the parts made", frames_));
    }
    const std::string joinedPath = at(fmt::format("joined{}", fs::path(options_.out).extension().string())).string();
    writeText(at("chapters.txt"), ffmetadata(chapters_, frames_, options_.fps));
    const ProgramOutcome muxed = runProgram(muxCommand(ffmpeg_, video, at("sound.wav").string(),
                                                       at("chapters.txt").string(), joinedPath,
                                                       *containerOf(options_.out),
                                                       options_.audio == "lossless" ? AudioTrack::lossless : AudioTrack::aac));
    if (!muxed.succeeded) {
        throw std::runtime_error("ffmpeg could not join the video and its sound");
    }
    if (stop_ != 0) {
        throw Stopped{};  // not under the name asked for, then
    }
    fs::rename(joinedPath, options_.out);
}

long Run::joinLog()
{
    std::vector<PartLog> logs;
    for (const Part& part : parts_) {
        logs.push_back(splitLog(readText(at(partName(part) + ".jsonl"))));
    }
    const std::string joined = joinLogs(logs, parts_, options_.fps);
    frames_ = *integerField(joined.substr(joined.rfind("{\"summary\"")), "frames");
    chapters_ = chaptersOf(logs);
    writeText(at("joined.jsonl"), joined);
    return frames_;
}

// The log under the name asked for, once the video has taken its own.
void Run::publishLog()
{
    if (options_.log.empty()) {
        return;
    }
    std::error_code error;
    fs::rename(at("joined.jsonl"), options_.log, error);
    if (error) {  // another file system
        fs::copy_file(at("joined.jsonl"), options_.log, fs::copy_options::overwrite_existing);
    }
}

// What a part left on a host when it was stopped, killed or lost there (the files of parts that
// finished came back and were removed), once its processes have gone: all of it has our work
// folder's name.
void Run::sweepHosts()
{
    std::vector<pid_t> pids;
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    for (const Host& host : hosts_) {
        if (host.login == ":") {
            continue;  // this machine's parts worked in the work folder
        }
        pids.push_back(startChild({"parallel", "--will-cite", "--sshlogin", host.line(), "--nonall", "--timeout", "60",
                                   fmt::format("sleep 1; rm -f -- {}-*", token_)},
                                  work_, -1, quiet));
    }
    ::close(quiet);
    for (pid_t pid : pids) {
        reap(pid, true);
    }
}

void Run::cleanUp()
{
    if (sound_ > 0) {
        kill(-sound_, SIGTERM);
        reap(sound_, true);
        sound_ = -1;
    }
    if (!hosts_.empty()) {
        sweepHosts();
    }
    if (!work_.empty()) {
        std::error_code ignored;
        fs::remove_all(work_, ignored);
        work_.clear();
    }
}

int Run::run()
{
    capture_.fps = options_.fps;
    capture_.from = options_.from;
    capture_.to = options_.to;
    // Absolute: the children work in the work folder.
    capture_.logPath = options_.log.empty() ? "" : fs::absolute(options_.log).string();
    capture_.out = options_.out.empty() ? "" : fs::absolute(options_.out).string();
    ffmpeg_ = findProgram("ffmpeg").value_or("");
    if (const auto problem = checkOptions(capture_, ffmpeg_)) {
        fmt::print(stderr, "tolva-farm: {}\n", *problem);
        return 2;
    }
    options_.out = capture_.out;
    options_.log = capture_.logPath;
    std::vector<Host> hosts{Host{"", std::nullopt, ":"}};
    if (!options_.hostsFile.empty()) {
        std::ifstream in(options_.hostsFile);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in) {
            fmt::print(stderr, "tolva-farm: cannot read --hosts {}\n", options_.hostsFile);
            return 2;
        }
        try {
            hosts = parseHosts(text.str());
        } catch (const std::invalid_argument& error) {
            fmt::print(stderr, "tolva-farm: --hosts {}: {}\n", options_.hostsFile, error.what());
            return 2;
        }
        if (hosts.empty()) {
            fmt::print(stderr, "tolva-farm: --hosts {} names no host\n", options_.hostsFile);
            return 2;
        }
    }
    for (const char* program : {"parallel", "ffprobe"}) {
        if (!findProgram(program)) {
            fmt::print(stderr, "tolva-farm: {} is not on PATH (Debian: apt-get install {})\n", program,
                       std::string(program) == "parallel" ? "parallel" : "ffmpeg");
            return 2;
        }
    }

    try {
        makeWorkFolder();
        writeLocalCapture();
        hosts_ = probeHosts(hosts);

        const FrameRange range = frameRange(capture_);
        const bool openEnd = range.last == LONG_MAX;
        // An open end is cut as if the show ended before it can (its scenes' seconds, without the
        // lead-in or a late hand-over); the last part runs on to the real end.
        const long last = openEnd ? std::max(range.first + 1, std::lround(timing::showSeconds() * options_.fps))
                                  : range.last;
        int slots = 0;
        for (const Host& host : hosts_) {
            slots += host.slots.value_or(1);
        }
        parts_ = cutParts(range.first, last, openEnd, options_.parts.value_or(slots));

        if (!options_.out.empty()) {
            // The sound of the whole range, mixed here while the parts are drawn.
            const std::string script =
                displayWrapper("sound.xauth") +
                fmt::format("exec \"$@\" tolva-capture --fps {} --from {} {} --wav {}", options_.fps,
                            secondsOf(range.first, options_.fps),
                            openEnd ? "" : "--to " + secondsOf(range.last, options_.fps),
                            shellQuote(at("sound.wav").string()));
            const int err = openForChild(at("sound.err"));
            sound_ = startChild({"sh", "-c", script}, work_, err, err);
            ::close(err);
        }
        fmt::print(stderr, "tolva-farm: frames {} to {} in {} on {} with {}\n", range.first,
                   openEnd ? std::string("the end") : fmt::format("{}", range.last - 1),
                   plural(static_cast<long>(parts_.size()), "part", "parts"),
                   plural(static_cast<long>(hosts_.size()), "host", "hosts"),
                   plural(slots, "job slot", "job slots"));
        if (const int status = runParts(hosts_); status != 0) {
            const std::string joblog = readText(at("joblog"));
            fmt::print(stderr, "tolva-farm: a part failed on every host it was tried on (parallel's job log "
                               "follows)\n{}", joblog);
            return 1;
        }
        fmt::print(stderr, "tolva-farm: {}\n", whereRun(readText(at("joblog"))));
        const auto joining = SteadyClock::now();
        const long frames = joinLog();
        if (!options_.out.empty()) {
            joinVideo();
            // The chapters, ready to paste into a video's description, as the capture gives them.
            fmt::print("{}", descriptionLines(chapters_, options_.fps));
            std::fflush(stdout);
        }
        publishLog();
        const auto now = SteadyClock::now();
        fmt::print(stderr, "tolva-farm: {} frames ({:.3f} s at {} fps) in {} on {} in {:.1f} s (the join {:.1f} s){}\n",
                   frames, static_cast<double>(frames) / options_.fps, options_.fps,
                   plural(static_cast<long>(parts_.size()), "part", "parts"),
                   plural(static_cast<long>(hosts_.size()), "host", "hosts"),
                   std::chrono::duration<double>(now - began_).count(),
                   std::chrono::duration<double>(now - joining).count(),
                   options_.out.empty() ? "" : ", written to " + options_.out);
        return 0;
    } catch (const Stopped&) {
        fmt::print(stderr, "\ntolva-farm: stopped; every part was ended and what they made is removed\n");
        return 130;
    } catch (const std::invalid_argument& error) {
        fmt::print(stderr, "tolva-farm: {}\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        fmt::print(stderr, "tolva-farm: {}\n", error.what());
        return 1;
    }
}

} // namespace

std::optional<std::string> checkFarmOptions(const FarmOptions& options)
{
    if (options.parts && *options.parts < 1) {
        return fmt::format("--parts {} must be 1 or more", *options.parts);
    }
    return std::nullopt;
}

int runFarm(const FarmOptions& options, const volatile std::sig_atomic_t& stop)
{
    Run run(options, stop);
    return run.run();
}

} // namespace tolva::farm

#include "Farm.h"

#include "Engine.h"
#include "ParallelEngine.h"
#include "PartsProgress.h"
#include "Plan.h"
#include "SlurmEngine.h"

#include "capture/Capture.h"
#include "capture/Chapters.h"
#include "capture/FfmpegPipe.h"
#include "capture/Mixer.h"
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
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace tolva::farm {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

namespace {

std::string plural(long count, const char* one, const char* many)
{
    return fmt::format("{} {}", count, count == 1 ? one : many);
}

// The hosts of --hosts (this machine alone without it); an exit status when they cannot be read.
std::optional<int> readHosts(const std::string& file, std::vector<Host>& hosts)
{
    hosts = {Host{"", std::nullopt, ":"}};
    if (file.empty()) {
        return std::nullopt;
    }
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        fmt::print(stderr, "tolva-farm: cannot read --hosts {}\n", file);
        return 2;
    }
    try {
        hosts = parseHosts(text.str());
    } catch (const std::invalid_argument& error) {
        fmt::print(stderr, "tolva-farm: --hosts {}: {}\n", file, error.what());
        return 2;
    }
    if (hosts.empty()) {
        fmt::print(stderr, "tolva-farm: --hosts {} names no host\n", file);
        return 2;
    }
    return std::nullopt;
}

// What differs between two hosts' identities, line by line: the renderer, its version, the
// encoder, the program.
std::string differences(const std::string& theirs, const std::string& ours, const std::string& ourName)
{
    const std::vector<std::string> there = linesOf(theirs);
    const std::vector<std::string> here = linesOf(ours);
    std::string said;
    for (std::size_t k = 0; k < std::max(there.size(), here.size()); ++k) {
        const std::string a = k < there.size() ? there[k] : "";
        const std::string b = k < here.size() ? here[k] : "";
        if (a != b) {
            said += fmt::format("{}'{}' where {} has '{}'", said.empty() ? "" : "; ", a, ourName, b);
        }
    }
    return said;
}

std::unique_ptr<Engine> makeEngine(const FarmOptions& options, const Workspace& work,
                                   const volatile std::sig_atomic_t& stop)
{
    if (options.slurm) {
        return std::make_unique<SlurmEngine>(work, stop, splitWords(options.slurmArgs));
    }
    return std::make_unique<ParallelEngine>(work, stop);
}

// A result made in the work folder, under the name asked for.
void moveResult(const fs::path& made, const fs::path& wanted)
{
    std::error_code error;
    fs::rename(made, wanted, error);
    if (error) {  // another file system
        fs::copy_file(made, wanted, fs::copy_options::overwrite_existing);
        fs::remove(made);
    }
}

// One capture spread over the hosts by an engine, and joined: the plan, the sound, the join and
// the cleanup of everything it made.
class FarmJob {
public:
    FarmJob(const FarmOptions& options, const volatile std::sig_atomic_t& stop)
        : options_(options), stop_(stop), engine_(makeEngine(options, work_, stop))
    {
    }
    ~FarmJob() { cleanUp(); }
    FarmJob(const FarmJob&) = delete;
    FarmJob& operator=(const FarmJob&) = delete;

    int run();

private:
    std::optional<int> prepare();
    void makeWorkFolder();
    void writeLocalCapture();
    std::vector<Host> chooseHosts(const std::vector<Host>& hosts);
    int slots() const;
    void planParts();
    std::string soundScript() const;
    void startSound();
    std::vector<std::string> joinCommand() const;
    void takeJoined();
    SteadyClock::time_point farmOnSlurm();
    SteadyClock::time_point farmOverSsh();
    void joinResults();
    void reportDone(SteadyClock::time_point joining) const;
    int joinHere();
    void farmParts();
    void checkVideos();
    void joinVideo();
    void joinSound(const std::string& video);
    void joinLog();
    void publishLog();
    void cleanUp();
    fs::path at(const std::string& name) const { return work_.at(name); }

    FarmOptions options_;
    const volatile std::sig_atomic_t& stop_;
    Workspace work_;
    std::unique_ptr<Engine> engine_;
    const SteadyClock::time_point began_ = SteadyClock::now();
    CaptureOptions capture_;
    std::string ffmpeg_;
    std::vector<Host> hosts_;
    FrameRange range_{};
    std::vector<Part> parts_;
    std::optional<Child> sound_;
    long frames_ = 0;                 // joined
    std::vector<Chapter> chapters_;   // of the frames joined
    bool ownsWork_ = true;            // false in a Slurm join job: its farm removes the folder
};

void FarmJob::makeWorkFolder()
{
    const std::string& beside = !options_.out.empty() ? options_.out : options_.log;
    // With Slurm, where every node sees it (the results need not be).
    fs::path folder = !options_.workDir.empty() ? fs::absolute(options_.workDir) : fs::absolute(beside).parent_path();
    std::string pattern = (folder / ".tolva-farm-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error(fmt::format("cannot make a work folder in {}: {}", folder.string(), std::strerror(errno)));
    }
    work_.folder = pattern;
    work_.token = work_.folder.filename().string().substr(1);  // "tolva-farm-XXXXXX"
    fs::create_directory(at("bin"));
}

// This machine's parts run the capture beside this program, whose assets lie beside it in the
// build's run folder, or in the installation's data folder.
void FarmJob::writeLocalCapture()
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

// The hosts that answered, alike; throws std::invalid_argument naming those that differ.
std::vector<Host> FarmJob::chooseHosts(const std::vector<Host>& hosts)
{
    fmt::print(stderr, "tolva-farm: asking {} what they draw with\n", plural(static_cast<long>(hosts.size()), "host", "hosts"));
    const std::vector<Probe> answers = engine_->probe(hosts, !options_.out.empty());
    std::vector<Host> reached;
    std::vector<Probe> probes;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        if (!answers[k].answered) {
            fmt::print(stderr, "tolva-farm: leaving out {}: {}\n", hosts[k].name(), answers[k].problem);
            continue;
        }
        Host host = hosts[k];
        host.slots = host.slots.value_or(answers[k].processors);
        reached.push_back(host);
        probes.push_back(answers[k]);
    }
    const std::vector<std::size_t> odd = oddHosts(reached, probes);
    if (!odd.empty()) {
        std::string names;
        for (std::size_t k : odd) {
            names += (names.empty() ? "" : ", ") + reached[k].name();
        }
        const std::size_t same = odd.front() == 0 ? 1 : 0;
        throw std::invalid_argument(fmt::format(
            "refusing {}: they would draw other frames than the others ({})", names,
            differences(probes[odd.front()].identity, probes[same].identity, reached[same].name())));
    }
    if (reached.empty()) {
        throw std::runtime_error("no host is left to work on");
    }
    return reached;
}

int FarmJob::slots() const
{
    int slots = 0;
    for (const Host& host : hosts_) {
        slots += host.slots.value_or(1);
    }
    return slots;
}

void FarmJob::planParts()
{
    range_ = frameRange(capture_);
    const bool openEnd = range_.last == LONG_MAX;
    // An open end is cut as if the show ended before it can (its scenes' seconds, without the
    // lead-in or a late hand-over); the last part runs on to the real end.
    const long last = openEnd ? std::max(range_.first + 1, std::lround(timing::showSeconds() * options_.fps))
                              : range_.last;
    parts_ = cutParts(range_.first, last, openEnd, options_.parts.value_or(slots()));
}

// The command mixing the sound of the whole range into the work folder.
std::string FarmJob::soundScript() const
{
    const bool openEnd = range_.last == LONG_MAX;
    return displayWrapper(work_.token + "-sound.xauth") +
        fmt::format("\"$@\" tolva-capture --fps {} --from {} {} --wav {}; status=$?; rm -f \"/tmp/{}-sound.xauth\"; "
                    "exit $status",
                    options_.fps, secondsOf(range_.first, options_.fps),
                    openEnd ? "" : "--to " + secondsOf(range_.last, options_.fps), shellQuote(at("sound.wav").string()),
                    work_.token);
}

// The sound of the whole range, mixed here while the parts are drawn.
void FarmJob::startSound()
{
    const std::string script = soundScript();
    const int err = openForChild(at("sound.err"));
    sound_.emplace(work_.launch({"sh", "-c", script}, err, err));
    ::close(err);
}

void FarmJob::farmParts()
{
    const bool openEnd = range_.last == LONG_MAX;
    fmt::print(stderr, "tolva-farm: frames {} to {} in {} on {} with {}\n", range_.first,
               openEnd ? std::string("the end") : fmt::format("{}", range_.last - 1),
               plural(static_cast<long>(parts_.size()), "part", "parts"),
               plural(static_cast<long>(hosts_.size()), "host", "hosts"), plural(slots(), "job slot", "job slots"));
    PartsProgress progress(parts_, isatty(STDERR_FILENO) != 0);
    const ProgressSink sink{[&progress](int part, const ProgressReport& report) { progress.take(part, report); },
                            [&progress] { progress.show(false); }};
    std::string failure;
    if (!engine_->runParts(hosts_, parts_, PartOptions{options_.fps, !options_.out.empty()}, sink, failure)) {
        throw std::runtime_error(failure);
    }
    progress.show(true);
    fmt::print(stderr, "tolva-farm: {}\n", engine_->whereRun());
}

void FarmJob::checkVideos()
{
    // The parts join by stream copy only if each starts with a key frame and all were encoded
    // alike: the same codec parameters (SPS and PPS included) in every part.
    std::string reference;
    for (const Part& part : parts_) {
        const fs::path video = at(work_.partName(part) + ".mp4");
        const fs::path report = at(work_.partName(part) + ".probe");
        const int out = openForChild(report);
        Child probe(work_.launch(
            {"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_data_hash", "MD5", "-show_entries",
             "stream=codec_name,profile,level,width,height,pix_fmt,r_frame_rate,time_base,has_b_frames,"
             "extradata_hash:packet=flags",
             "-read_intervals", "%+#1", "-of", "flat", ffmpegFile(video.string())},
            out, -1));
        ::close(out);
        const int status = probe.wait();
        std::string parameters;
        bool key = false;
        for (const std::string& line : linesOf(readText(report))) {
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

void FarmJob::joinVideo()
{
    checkVideos();
    std::string list;
    for (const Part& part : parts_) {
        // Beside the list, so named by their names alone: the work folder's path may hold any byte,
        // a newline too, which a line of the list cannot.
        list += "file " + shellQuote(work_.partName(part) + ".mp4") + "\n";
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
    joinSound(video);
}

// The sound, mixed once for the whole range, encoded once onto the joined pictures, as the
// capture does it.
void FarmJob::joinSound(const std::string& video)
{
    // (A Slurm join job comes after the sound's job, which succeeded.)
    const int status = sound_ ? sound_->wait() : 0;
    sound_.reset();
    if (status != 0) {
        fmt::print(stderr, "{}", readText(at("sound.err")));
        throw std::runtime_error("the sound of the range could not be mixed");
    }
    // The sound was mixed apart from the pictures: both must cover the same frames.
    const auto samples = sampleAt(parts_.front().first + frames_, options_.fps) - sampleAt(parts_.front().first, options_.fps);
    if (fs::file_size(at("sound.wav")) != 44 + static_cast<std::uintmax_t>(samples) * 4) {
        throw std::runtime_error(fmt::format("the sound mixed does not last the {} frames the parts made", frames_));
    }
    const std::string joinedPath = at(fmt::format("joined{}", fs::path(options_.out).extension().string())).string();
    writeText(at("chapters.txt"), ffmetadata(chapters_, frames_, options_.fps));
    const ProgramOutcome muxed = runProgram(muxCommand(ffmpeg_, video, at("sound.wav").string(),
                                                       at("chapters.txt").string(), joinedPath,
                                                       *containerOf(options_.out), capture_.audio));
    if (!muxed.succeeded) {
        throw std::runtime_error("ffmpeg could not join the video and its sound");
    }
    if (stop_ != 0) {
        throw Stopped{};  // not under the name asked for, then
    }
    fs::rename(joinedPath, options_.out);
}

void FarmJob::joinLog()
{
    std::vector<PartLog> logs;
    for (const Part& part : parts_) {
        logs.push_back(splitLog(readText(at(work_.partName(part) + ".jsonl"))));
    }
    writeText(at("joined.jsonl"), joinLogs(logs, parts_, options_.fps, &frames_));
    chapters_ = chaptersOf(logs);
}

// The log under the name asked for, once the video has taken its own.
void FarmJob::publishLog()
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

void FarmJob::cleanUp()
{
    if (sound_) {
        sound_->signal(SIGTERM, true);
        sound_->wait();
        sound_.reset();
    }
    engine_->sweep();
    if (!work_.folder.empty() && ownsWork_) {
        std::error_code ignored;
        fs::remove_all(work_.folder, ignored);
        // The X authority files of this machine's parts, if they were stopped before removing them.
        for (fs::directory_iterator entry("/tmp", ignored), end; entry != end; entry.increment(ignored)) {
            if (entry->path().filename().string().rfind(work_.token + "-", 0) == 0) {
                fs::remove(entry->path(), ignored);
            }
        }
        work_.folder.clear();
    }
}

// The options as the capture reads them, and the hosts; an exit status when they will not do.
std::optional<int> FarmJob::prepare()
{
    capture_.fps = options_.fps;
    capture_.from = options_.from;
    capture_.to = options_.to;
    capture_.audio = audioTrackNamed(options_.audio);
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
    if (const auto status = readHosts(options_.hostsFile, hosts_)) {
        return status;
    }
    const bool withParallel = !options_.slurm && options_.joinIn.empty();
    for (const char* program : {"parallel", "ffprobe"}) {
        if ((withParallel || std::string(program) != "parallel") && !findProgram(program)) {
            fmt::print(stderr, "tolva-farm: {} is not on PATH (Debian: apt-get install {})\n", program,
                       std::string(program) == "parallel" ? "parallel" : "ffmpeg");
            return 2;
        }
    }
    return std::nullopt;
}

// The parts, the sound and the join as Slurm jobs; when the join began.
SteadyClock::time_point FarmJob::farmOnSlurm()
{
    auto& slurm = static_cast<SlurmEngine&>(*engine_);
    slurm.follow(options_.out.empty() ? "" : soundScript(), joinCommand());
    farmParts();  // and the join after them
    takeJoined();
    return SteadyClock::now() - std::chrono::duration_cast<SteadyClock::duration>(
                                    std::chrono::duration<double>(slurm.joinSeconds()));
}

// The parts over ssh, the sound mixed here beside them, then the join here; when the join began.
SteadyClock::time_point FarmJob::farmOverSsh()
{
    if (!options_.out.empty()) {
        startSound();
    }
    farmParts();
    const auto joining = SteadyClock::now();
    joinResults();
    return joining;
}

// The parts' logs and videos made one, the chapters on standard output, the log under its name.
void FarmJob::joinResults()
{
    joinLog();
    if (!options_.out.empty()) {
        joinVideo();
        // The chapters, ready to paste into a video's description, as the capture gives them.
        fmt::print("{}", descriptionLines(chapters_, options_.fps));
        std::fflush(stdout);
    }
    publishLog();
}

void FarmJob::reportDone(SteadyClock::time_point joining) const
{
    const auto now = SteadyClock::now();
    fmt::print(stderr, "tolva-farm: {} frames ({:.3f} s at {} fps) in {} on {} in {:.1f} s (the join {:.1f} s){}\n",
               frames_, static_cast<double>(frames_) / options_.fps, options_.fps,
               plural(static_cast<long>(parts_.size()), "part", "parts"),
               plural(static_cast<long>(hosts_.size()), "host", "hosts"),
               std::chrono::duration<double>(now - began_).count(),
               std::chrono::duration<double>(now - joining).count(),
               options_.out.empty() ? "" : ", written to " + options_.out);
}

int FarmJob::run()
{
    if (const auto status = prepare()) {
        return *status;
    }
    if (!options_.joinIn.empty()) {
        return joinHere();
    }
    try {
        makeWorkFolder();
        writeLocalCapture();
        if (options_.slurm) {
            hosts_ = static_cast<SlurmEngine&>(*engine_).nodes();
        }
        hosts_ = chooseHosts(hosts_);
        planParts();
        const auto joining = options_.slurm ? farmOnSlurm() : farmOverSsh();
        reportDone(joining);
        return 0;
    } catch (const Stopped&) {
        fmt::print(stderr, "\ntolva-farm: stopped; every part was ended and what they made is removed\n");
        return 130;
    } catch (const SlurmUnavailable& error) {
        fmt::print(stderr, "tolva-farm: {}\n", error.what());
        return 2;
    } catch (const std::invalid_argument& error) {
        fmt::print(stderr, "tolva-farm: {}\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        fmt::print(stderr, "tolva-farm: {}\n", error.what());
        return 1;
    }
}

} // namespace

// The join of a Slurm run, as a job on a node: the farm that submitted it runs this program
// there with the same range and parts, its results in the work folder.
std::vector<std::string> FarmJob::joinCommand() const
{
    std::vector<std::string> argv = {fs::read_symlink("/proc/self/exe").string(), "--fps", std::to_string(options_.fps),
                                     "--from", fmt::format("{}", options_.from)};
    if (options_.to) {
        argv.insert(argv.end(), {"--to", fmt::format("{}", *options_.to)});
    }
    argv.insert(argv.end(), {"--audio", options_.audio, "--parts", std::to_string(parts_.size())});
    if (!options_.out.empty()) {
        argv.insert(argv.end(), {"--out", at("result" + fs::path(options_.out).extension().string()).string()});
    }
    if (!options_.log.empty()) {
        argv.insert(argv.end(), {"--log", at("result.jsonl").string()});
    }
    argv.insert(argv.end(), {"--join-in", work_.folder.string()});
    return argv;
}

// What the join job made, under the names asked for; its chapters on our standard output.
void FarmJob::takeJoined()
{
    if (stop_ != 0) {
        throw Stopped{};
    }
    if (!options_.out.empty()) {
        moveResult(at("result" + fs::path(options_.out).extension().string()), options_.out);
        fmt::print("{}", readText(at("join.out")));
        std::fflush(stdout);
    }
    if (!options_.log.empty()) {
        moveResult(at("result.jsonl"), options_.log);
    }
    frames_ = std::stol("0" + readText(at("join.frames")));
}

// A Slurm join job: the parts in the work folder joined, the results left there.
int FarmJob::joinHere()
{
    ownsWork_ = false;
    work_.folder = fs::absolute(options_.joinIn);
    work_.token = work_.folder.filename().string().substr(1);
    try {
        planParts();
        joinResults();
        writeText(at("join.frames"), fmt::format("{}\n", frames_));
        return 0;
    } catch (const Stopped&) {
        return 130;
    } catch (const std::exception& error) {
        fmt::print(stderr, "tolva-farm: {}\n", error.what());
        return 1;
    }
}

std::optional<std::string> checkFarmOptions(const FarmOptions& options)
{
    if (options.parts && *options.parts < 1) {
        return fmt::format("--parts {} must be 1 or more", *options.parts);
    }
    if (options.slurm && !options.hostsFile.empty()) {
        return "--slurm and --hosts name two ways to run the parts; give one";
    }
    if (options.slurm && options.workDir.empty()) {
        return "--slurm needs --work DIR: a folder every node sees at the same path (the cluster's shared file system)";
    }
    if (!options.slurm && !options.slurmArgs.empty()) {
        return "--slurm-args is for --slurm";
    }
    try {
        splitWords(options.slurmArgs);
    } catch (const std::invalid_argument& error) {
        return fmt::format("--slurm-args: {}", error.what());
    }
    return std::nullopt;
}

int runFarm(const FarmOptions& options, const volatile std::sig_atomic_t& stop)
{
    FarmJob job(options, stop);
    return job.run();
}

} // namespace tolva::farm

#include "capture/Capture.h"

#include "capture/CaptureDeck.h"
#include "capture/Chapters.h"
#include "capture/FfmpegPipe.h"
#include "capture/FrameCanvas.h"
#include "capture/Mixer.h"
#include "capture/Output.h"
#include "capture/Progress.h"
#include "capture/Stills.h"
#include "worktime/WorkCanvas.h"
#include "driver/Show.h"
#include "render/Json.h"
#include "render/Letterbox.h"

#include <SFML/Graphics/RenderTexture.hpp>

#include <fmt/format.h>

#include <array>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace tolva {

namespace fs = std::filesystem;

namespace {

// Whether a file can be written there: tried for real (permission bits say nothing to root).
std::optional<std::string> writableFile(const std::string& path, const char* what)
{
    std::error_code error;
    if (fs::is_directory(path, error)) {
        return fmt::format("cannot write the {} '{}': it is a folder", what, path);
    }
    const bool existed = fs::exists(path, error);
    const int fd = existed ? ::open(path.c_str(), O_WRONLY)
                           : ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        return fmt::format("cannot write the {} '{}': {}", what, path, std::strerror(errno));
    }
    ::close(fd);
    if (!existed) {
        ::unlink(path.c_str());
    }
    return std::nullopt;
}

std::optional<std::string> writableFolder(const std::string& path, const char* what)
{
    std::error_code error;
    fs::create_directories(path, error);
    if (!fs::is_directory(path, error)) {
        return fmt::format("cannot make the {} folder '{}'", what, path);
    }
    return writableFile((fs::path(path) / ".tolva-capture-probe").string(), what);
}

std::string videoPartPath(const std::string& out) { return out + ".part-video.mp4"; }
std::string soundPartPath(const std::string& out) { return out + ".part-sound.wav"; }
std::string joinedPartPath(const std::string& out) { return out + ".part"; }
std::string chaptersPartPath(const std::string& out) { return out + ".part-chapters.txt"; }

std::string joined(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        line += (line.empty() ? "" : " ") + argument;
    }
    return line;
}

} // namespace

std::string joinNote(const std::string& dir, int fps, int scale)
{
    return fmt::format(
        "The frames of this folder, their sound and chapters, joined into one video:\n"
        "  ffmpeg -framerate {0} -i {1}/frame%06d.png -i {1}/sound.wav -f ffmetadata -i {1}/chapters.txt \\\n"
        "    -map 0:v -map 1:a -map_chapters 2 {2} \\\n"
        "    {3} -movflags +faststart {4}\n",
        fps, dir, joined(videoEncoding(VideoFormat{showWidth, showHeight, fps, scale})),
        joined(soundEncoding(Container::mp4, AudioTrack::aac)), defaultVideoName);
}

FrameRange frameRange(const CaptureOptions& options)
{
    return frameRange(options.fps, options.from, options.to);
}

namespace {

std::optional<std::string> checkPart(const CaptureOptions& options)
{
    if (auto problem = fromProblem(options.from, options.fps)) {
        return problem;
    }
    if (options.to) {
        if (!std::isfinite(*options.to) || *options.to <= options.from) {
            return fmt::format("--to {} must come after --from {}", *options.to, options.from);
        }
        const FrameRange range = frameRange(options);
        if (range.last <= range.first) {
            return fmt::format("--from {} --to {} holds no frame at {} fps", options.from,
                               *options.to, options.fps);
        }
    }
    return std::nullopt;
}

std::optional<std::string> checkOutputs(const CaptureOptions& options, const std::string& ffmpeg)
{
    if (options.out.empty() && options.framesDir.empty() && options.stillsDir.empty() &&
        options.logPath.empty() && options.wavPath.empty()) {
        return std::string("nothing to write: give --out, --frames, --stills, --log or --wav");
    }
    if (!options.out.empty() && !containerOf(options.out)) {
        return fmt::format("--out {}: the video's name must end in .mp4, .mkv or .mov (the kind "
                           "of file written)", options.out);
    }
    if (!options.out.empty() && ffmpeg.empty()) {
        return fmt::format("ffmpeg is not on PATH, so no video can be made (Debian: apt-get install "
                           "ffmpeg); --frames DIR writes PNG frames and a WAV file to join later");
    }
    return std::nullopt;
}

std::optional<std::string> checkWritable(const CaptureOptions& options)
{
    if (!options.out.empty()) {
        for (const std::string& path : {options.out, videoPartPath(options.out), soundPartPath(options.out),
                                        chaptersPartPath(options.out), joinedPartPath(options.out)}) {
            if (auto problem = writableFile(path, "video")) {
                return problem;
            }
        }
    }
    for (const auto& [folder, what] : {std::pair{options.framesDir, "frames"}, std::pair{options.stillsDir, "stills"}}) {
        if (!folder.empty()) {
            if (auto problem = writableFolder(folder, what)) {
                return problem;
            }
        }
    }
    for (const auto& [file, what] : {std::pair{options.logPath, "log"}, std::pair{options.wavPath, "sound"}}) {
        if (!file.empty()) {
            if (auto problem = writableFile(file, what)) {
                return problem;
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> checkOptions(const CaptureOptions& options, const std::string& ffmpeg)
{
    if (options.fps < 1 || options.fps > 240) {
        return fmt::format("--fps {} is out of range (1 to 240)", options.fps);
    }
    if (options.scale < 1 || options.scale > 4) {
        return fmt::format("--scale {} is out of range (1 to 4)", options.scale);
    }
    if (options.progressFd != -1 && (options.progressFd < 0 || ::fcntl(options.progressFd, F_GETFD) == -1)) {
        return fmt::format("--progress {}: no such file descriptor is open", options.progressFd);
    }
    if (auto problem = checkPart(options)) {
        return problem;
    }
    if (auto problem = checkOutputs(options, ffmpeg)) {
        return problem;
    }
    return checkWritable(options);
}

std::string frameHash(const unsigned char* bytes, std::size_t size)
{
    // FNV-1a over 64-bit words, then the tail byte by byte: fast enough for 8 MB a frame.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    constexpr std::uint64_t prime = 0x100000001b3ull;
    std::size_t k = 0;
    for (; k + 8 <= size; k += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + k, 8);
        hash = (hash ^ word) * prime;
    }
    for (; k < size; ++k) {
        hash = (hash ^ bytes[k]) * prime;
    }
    return fmt::format("{:016x}", hash);
}

struct Capture::ShowAndOutputs {
    ShowAndOutputs(const CaptureOptions& captureOptions, const std::string& ffmpegPath)
        : options(captureOptions), ffmpeg(ffmpegPath), range(frameRange(options)),
          clock(options.model, options.fps), state(clock), deck(clock), show(state, deck),
          canvas(clock), stills(options.fps), progress(stderr, isatty(STDERR_FILENO) != 0),
          feed(options.progressFd)
    {
    }

    const CaptureOptions options;
    const std::string ffmpeg;
    const FrameRange range;
    const std::chrono::steady_clock::time_point began = std::chrono::steady_clock::now();
    // The frames of the range are drawn for a video, PNG frames or the log's hashes; the sound
    // alone needs only the show's cues, which come out the same undrawn.
    const bool drawFrames = !options.out.empty() || !options.framesDir.empty() || !options.logPath.empty();
    const bool wantRange = drawFrames || !options.wavPath.empty();
    const bool wantStills = !options.stillsDir.empty();

    // The show, on virtual time: start-up costs only its clock readings; the first head follows.
    WorkClock clock;
    ShowState state;
    CaptureDeck deck;
    Show show;
    sf::RenderTexture texture;
    std::optional<FrameCanvas> frames;
    WorkCanvas canvas;
    StillPlan stills;
    std::array<std::optional<sf::Image>, sceneCount> stillImages;
    std::size_t stillsTaken = 0;

    MadeFiles made;
    std::unique_ptr<ChildPipe> video;
    std::unique_ptr<OutputFile> log;
    Progress progress;
    ProgressFeed feed;
    CaptureResult result;
    std::vector<Chapter> chapters;
    long k = 0;
    bool finished = false;

    std::string framePath(long index) const
    {
        return (fs::path(options.framesDir) / fmt::format("frame{:06}.png", index)).string();
    }
    void logLine(const JsonLine& json)
    {
        if (log) {
            log->write(json.str() + '\n');
        }
    }
    [[noreturn]] void ffmpegFailed(const std::string& what, bool spoke)
    {
        throw std::runtime_error(spoke ? what + " (its message is above)" : what + " without saying why");
    }
    void keepFrame(long index, const IterationReport& report, unsigned long presents);
    ProgressReport progressReport() const;
    void showProgress();
    void writeSound(const std::vector<sf::Int16>& sound);
    void writeFramesNotes();
    void endLog(std::int64_t firstSample, std::int64_t samples);
    void joinVideo(const std::vector<sf::Int16>& sound);
};

Capture::Capture(const CaptureOptions& options, const std::string& ffmpeg)
    : state_(std::make_unique<ShowAndOutputs>(options, ffmpeg))
{
    ShowAndOutputs& state = *state_;
    // A sound file the show would not use is silent in the capture too: say so once.
    for (const std::string& unused : state.deck.unused()) {
        fmt::print(stderr, "tolva-capture: note: {} is not used: its sound is silent, as in the show\n",
                   unused);
    }
    try {
        if (state.drawFrames || state.wantStills) {
            if (!state.texture.create(showWidth, showHeight, BatchCanvas::targetSettings())) {
                throw std::runtime_error("cannot make a 1920x1080 render texture (no OpenGL framebuffer?)");
            }
            state.frames.emplace(state.texture);
        }
        if (!options.out.empty()) {
            state.made.add(videoPartPath(options.out));
            state.video = std::make_unique<ChildPipe>(encodeVideoCommand(
                ffmpeg, VideoFormat{showWidth, showHeight, options.fps, options.scale}, videoPartPath(options.out)));
        }
        if (!options.logPath.empty()) {
            state.made.add(options.logPath);
            state.log = std::make_unique<OutputFile>(options.logPath);
        }
    } catch (...) {
        state.video.reset();
        state.made.removeAll();
        throw;
    }
}

Capture::~Capture()
{
    if (!state_->finished) {
        state_->video.reset();  // ffmpeg gone before its file goes
        state_->log.reset();
        state_->made.removeAll();
    }
}

Show& Capture::show() { return state_->show; }
const WorkClock& Capture::clock() const { return state_->clock; }
long Capture::iteration() const { return state_->k; }

bool Capture::iterate()
{
    ShowAndOutputs& state = *state_;
    const long k = state.k;
    const bool stillsPending = state.wantStills && state.stillsTaken < sceneCount;
    if (!state.canvas.isOpen() || (k >= state.range.last && !stillsPending) ||
        (!state.wantRange && !stillsPending)) {
        return false;
    }
    state.clock.startIteration(k);
    state.deck.setIteration(k);
    const bool keep = state.wantRange && k >= state.range.first && k < state.range.last;
    const int still = state.wantStills ? state.stills.stillAt(k).value_or(0) : 0;  // 0: none
    state.canvas.renderTo((keep && state.drawFrames) || still != 0 ? &*state.frames : nullptr);
    const unsigned long presentsBefore = state.canvas.presents();
    const IterationReport report = state.show.iterate(state.canvas, false);
    for (int scene : report.scenes) {
        state.stills.sceneRan(scene, k);
    }
    if (keep) {
        state.keepFrame(k - state.range.first, report, state.canvas.presents() - presentsBefore);
    }
    if (still != 0) {
        const sf::Image& image =
            *(state.stillImages[static_cast<std::size_t>(still - 1)] = state.frames->lastImage());
        const std::string path = (fs::path(state.options.stillsDir) / fmt::format("scene{}.png", still)).string();
        state.made.add(path);
        writePng(path, image);
        ++state.stillsTaken;
    }
    ++state.k;
    state.showProgress();
    return true;
}

void Capture::ShowAndOutputs::keepFrame(long index, const IterationReport& report, unsigned long presents)
{
    noteFrame(chapters, index, report.scenes);
    if (drawFrames) {
        const std::vector<sf::Uint8>& frame = frames->lastFrame();
        if (video && !video->write(frame.data(), frame.size())) {
            video->finish();
            ffmpegFailed("ffmpeg stopped taking frames", video->relayMessages());
        }
        if (!options.framesDir.empty()) {
            const std::string path = framePath(index);
            made.add(path);
            writePng(path, showWidth, showHeight, frame.data());
        }
        if (log) {
            std::vector<int> scenes = report.scenes;
            logLine(JsonLine()
                        .add("frame", index)
                        .add("iteration", k)
                        .add("time", static_cast<double>(k) / options.fps)
                        .add("head_us", static_cast<long>(clock.headNs(k) / 1000))
                        .add("scenes", scenes)
                        .add("presents", presents)
                        .add("hash", frameHash(frame.data(), frame.size())));
        }
    }
    ++result.frames;
}

ProgressReport Capture::ShowAndOutputs::progressReport() const
{
    const long estimatedEnd = std::lround(showLengthBound(options.fps) * options.fps);
    const long captureEnd = range.last == LONG_MAX ? estimatedEnd : range.last;
    ProgressReport report;
    report.phase = !wantRange || k > range.last ? "stills" : k < range.first ? "run-up" : "capturing";
    report.frames = result.frames;
    report.framesTotal = wantRange ? captureEnd - range.first : 0;
    report.iterations = k;
    return report;
}

void Capture::ShowAndOutputs::showProgress()
{
    const ProgressReport report = progressReport();
    if (options.progressFd >= 0) {
        feed.update(report);
    } else if (report.phase == "run-up") {
        progress.update(fmt::format("running up to {:.2f} s", options.from), k, range.first, "iterations");
    } else if (report.phase == "capturing") {
        progress.update("capturing", report.frames, report.framesTotal, "frames");
    } else if (!wantRange) {
        progress.update("stills", k, std::lround(showLengthBound(options.fps) * options.fps), "iterations");
    }
}

void Capture::ShowAndOutputs::writeSound(const std::vector<sf::Int16>& sound)
{
    if (!options.wavPath.empty()) {
        made.add(options.wavPath);
        writeWav(options.wavPath, sound);
    }
    if (!options.framesDir.empty()) {
        const std::string wav = (fs::path(options.framesDir) / "sound.wav").string();
        made.add(wav);
        writeWav(wav, sound);
    }
}

void Capture::ShowAndOutputs::writeFramesNotes()
{
    const auto writeNote = [this](const char* name, const std::string& text) {
        const std::string path = (fs::path(options.framesDir) / name).string();
        made.add(path);
        OutputFile file(path);
        file.write(text);
        file.close();
    };
    writeNote("join.txt", joinNote(options.framesDir, options.fps, options.scale));
    writeNote("chapters.txt", ffmetadata(chapters, result.frames, options.fps));
}

// The cues, the summary and the chapters close the log.
void Capture::ShowAndOutputs::endLog(std::int64_t firstSample, std::int64_t samples)
{
    for (const Cue& cue : deck.cues()) {
        logLine(JsonLine()
                    .add("cue", soundName(cue.id))
                    .add("action", cue.play ? "play" : "stop")
                    .add("iteration", cue.iteration)
                    .add("frame", cue.iteration - range.first)
                    .add("sample", static_cast<long>(sampleAt(cue.iteration, options.fps) - firstSample))
                    .add("time_us", static_cast<long>(cue.time.asMicroseconds())));
    }
    logLine(JsonLine()
                .add("summary", true)
                .add("fps", options.fps)
                .add("frames", result.frames)
                .add("first_iteration", range.first)
                .add("iterations", result.iterations)
                .add("samples", static_cast<long>(samples))
                .add("overruns", result.overruns)
                .add("interrupted", result.interrupted)
                .add("show_ended", result.showEnded));
    for (std::size_t n = 0; n < chapters.size(); ++n) {
        logLine(chapterLogLine(chapters, n, result.frames, range.first, options.fps));
    }
    log->close();
}

// The silent video, its sound and its chapters joined under a name of their own: only a whole
// file takes the name asked for.
void Capture::ShowAndOutputs::joinVideo(const std::vector<sf::Int16>& sound)
{
    const std::string& out = options.out;
    made.add(soundPartPath(out));
    writeWav(soundPartPath(out), sound);
    made.add(chaptersPartPath(out));
    OutputFile chapterFile(chaptersPartPath(out));
    chapterFile.write(ffmetadata(chapters, result.frames, options.fps));
    chapterFile.close();
    made.add(joinedPartPath(out));
    const ProgramOutcome joined = runProgram(muxCommand(ffmpeg, videoPartPath(out), soundPartPath(out),
                                                        chaptersPartPath(out), joinedPartPath(out),
                                                        *containerOf(out), options.audio));
    if (!joined.succeeded) {
        ffmpegFailed("ffmpeg could not join the video and its sound", joined.spoke);
    }
    std::error_code error;
    fs::rename(joinedPartPath(out), out, error);
    if (error) {
        throw std::runtime_error(fmt::format("cannot write {}: {}", out, error.message()));
    }
}

CaptureResult Capture::finish(bool interrupted)
{
    ShowAndOutputs& state = *state_;
    state.progress.finish();
    CaptureResult& result = state.result;
    result.interrupted = interrupted;
    result.iterations = state.k;
    result.overruns = state.clock.overruns();
    result.showEnded = !state.canvas.isOpen();
    result.chapters = state.chapters;

    // Close the video first: what it holds is playable whatever happens next.
    if (state.video && !state.video->finish()) {
        state.ffmpegFailed("ffmpeg failed to finish the video", state.video->relayMessages());
    }
    if (state.video) {
        state.video->relayMessages();
    }

    // The sound of exactly the frames written.
    const int fps = state.options.fps;
    const std::int64_t firstSample = sampleAt(state.range.first, fps);
    const std::int64_t sampleCount = sampleAt(state.range.first + result.frames, fps) - firstSample;
    const std::vector<sf::Int16> sound = mixStereo(state.deck.playbacks(fps, state.k), firstSample, sampleCount);
    state.writeSound(sound);
    if (!state.options.framesDir.empty()) {
        state.writeFramesNotes();
    }
    if (state.log) {
        state.endLog(firstSample, sampleCount);
    }

    if (state.video) {
        if (result.frames > 0) {
            state.joinVideo(sound);
        }
        std::error_code ignored;
        for (const std::string& part : {videoPartPath(state.options.out), soundPartPath(state.options.out),
                                        chaptersPartPath(state.options.out)}) {
            fs::remove(part, ignored);
        }
    }
    if (state.wantStills && state.stillsTaken > 0) {
        const std::string path = (fs::path(state.options.stillsDir) / "contact-sheet.png").string();
        state.made.add(path);
        writePng(path, contactSheet(state.stillImages));
    }
    state.finished = true;
    result.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - state.began).count();
    if (state.options.progressFd >= 0) {
        ProgressReport report = state.progressReport();
        report.phase = interrupted ? "interrupted" : "done";
        state.feed.finish(report);
    }
    return result;
}

CaptureResult runCapture(const CaptureOptions& options, const std::string& ffmpeg,
                         const volatile std::sig_atomic_t& stop)
{
    Capture capture(options, ffmpeg);
    while (stop == 0 && capture.iterate()) {
    }
    return capture.finish(stop != 0);
}

} // namespace tolva

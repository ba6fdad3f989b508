#include "capture/Capture.h"

#include "capture/CaptureDeck.h"
#include "capture/FfmpegPipe.h"
#include "capture/FrameCanvas.h"
#include "capture/Mixer.h"
#include "capture/Progress.h"
#include "capture/Stills.h"
#include "capture/WorkCanvas.h"
#include "driver/Show.h"
#include "render/Json.h"
#include "render/Letterbox.h"

#include <SFML/Audio/OutputSoundFile.hpp>
#include <SFML/Graphics/RenderTexture.hpp>

#include <fmt/format.h>

#include <array>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
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

void writeWav(const std::string& path, const std::vector<sf::Int16>& stereo)
{
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, mixRate, 2)) {
        throw std::runtime_error("cannot write " + path);
    }
    if (!stereo.empty()) {
        file.write(stereo.data(), stereo.size());
    }
}

} // namespace

std::string joinNote(const std::string& dir, int fps)
{
    return fmt::format(
        "The frames of this folder and its sound, joined into one video:\n"
        "  ffmpeg -framerate {0} -i {1}/frame%06d.png -i {1}/sound.wav \\\n"
        "    -vf scale=out_color_matrix=bt709:out_range=tv -pix_fmt yuv420p -c:v libx264 -crf 18 \\\n"
        "    -colorspace bt709 -color_primaries bt709 -color_trc bt709 -c:a aac -b:a 256k tolva.mp4\n",
        fps, dir);
}

namespace {

class CaptureLog {
public:
    explicit CaptureLog(const std::string& path)
    {
        if (!path.empty()) {
            file_ = std::make_unique<std::ofstream>(path);
            if (!*file_) {
                throw std::runtime_error("cannot write " + path);
            }
        }
    }
    bool on() const { return file_ != nullptr; }
    void line(const JsonLine& json)
    {
        if (file_) {
            *file_ << json.str() << '\n';
        }
    }

private:
    std::unique_ptr<std::ofstream> file_;
};

} // namespace

FrameRange frameRange(const CaptureOptions& options)
{
    FrameRange range{std::lround(options.from * options.fps), LONG_MAX};
    if (options.to) {
        range.last = std::lround(*options.to * options.fps);
    }
    return range;
}

double showLengthBound(int fps)
{
    // 20 lead-in frames, then 61 + 36 + 57 + 49 + 39 + 24 + 49.1 + 30 seconds, and some slack.
    return timing::leadInFrames / static_cast<double>(fps) + timing::showSeconds() + 1.0;
}

std::optional<std::string> checkOptions(const CaptureOptions& options, const std::string& ffmpeg)
{
    if (options.fps < 1 || options.fps > 240) {
        return fmt::format("--fps {} is out of range (1 to 240)", options.fps);
    }
    if (!std::isfinite(options.from) || options.from < 0) {
        return fmt::format("--from {} is not a time in the show (seconds, 0 or more)", options.from);
    }
    if (options.from >= showLengthBound(options.fps)) {
        return fmt::format("--from {} is past the end of the show (about {:.0f} s)", options.from,
                           showLengthBound(options.fps) - 1.0);
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
    if (options.out.empty() && options.framesDir.empty() && options.stillsDir.empty() &&
        options.logPath.empty() && options.wavPath.empty()) {
        return std::string("nothing to write: give --out, --frames, --stills, --log or --wav");
    }
    if (!options.out.empty() && ffmpeg.empty()) {
        return fmt::format("ffmpeg is not on PATH, so no MP4 can be made (Debian: apt-get install "
                           "ffmpeg); --frames DIR writes PNG frames and a WAV file to join later");
    }
    if (!options.out.empty()) {
        for (const std::string& path : {options.out, videoPartPath(options.out), soundPartPath(options.out)}) {
            if (auto problem = writableFile(path, "video")) {
                return problem;
            }
        }
    }
    if (!options.framesDir.empty()) {
        if (auto problem = writableFolder(options.framesDir, "frames")) {
            return problem;
        }
    }
    if (!options.stillsDir.empty()) {
        if (auto problem = writableFolder(options.stillsDir, "stills")) {
            return problem;
        }
    }
    if (!options.logPath.empty()) {
        if (auto problem = writableFile(options.logPath, "log")) {
            return problem;
        }
    }
    if (!options.wavPath.empty()) {
        if (auto problem = writableFile(options.wavPath, "sound")) {
            return problem;
        }
    }
    return std::nullopt;
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

CaptureResult runCapture(const CaptureOptions& options, const std::string& ffmpeg,
                         const volatile std::sig_atomic_t& stop)
{
    using SteadyClock = std::chrono::steady_clock;
    const SteadyClock::time_point began = SteadyClock::now();
    const FrameRange range = frameRange(options);
    // A log or a WAV file alone still takes the frames of the range (the log holds their hashes).
    const bool wantFrames = !options.out.empty() || !options.framesDir.empty() ||
                            !options.logPath.empty() || !options.wavPath.empty();
    const bool wantStills = !options.stillsDir.empty();
    const int fps = options.fps;

    // The show, on virtual time: start-up costs only its clock readings; the first head follows.
    WorkClock clock(options.model, fps);
    ShowState state(clock);
    CaptureDeck deck(clock);
    Show show(state, deck);

    sf::RenderTexture texture;
    if (!texture.create(showWidth, showHeight)) {
        throw std::runtime_error("cannot make a 1920x1080 render texture (no OpenGL framebuffer?)");
    }
    FrameCanvas frames(texture);
    WorkCanvas canvas(clock);
    StillPlan stills(fps);
    std::array<std::optional<sf::Image>, 8> stillImages;
    int stillsTaken = 0;

    std::unique_ptr<ChildPipe> video;
    if (!options.out.empty()) {
        video = std::make_unique<ChildPipe>(
            encodeVideoCommand(ffmpeg, VideoFormat{showWidth, showHeight, fps}, videoPartPath(options.out)));
    }
    CaptureLog log(options.logPath);
    Progress progress(stderr, isatty(STDERR_FILENO) != 0);
    const long estimatedEnd = std::lround((showLengthBound(fps) - 1.0) * fps);
    const long captureEnd = range.last == LONG_MAX ? estimatedEnd : range.last;

    CaptureResult result;
    long k = 0;
    for (; canvas.isOpen(); ++k) {
        if (stop != 0) {
            result.interrupted = true;
            break;
        }
        const bool stillsPending = wantStills && stillsTaken < 8;
        if (k >= range.last && !stillsPending) {
            break;
        }
        if (!wantFrames && !stillsPending) {
            break;
        }
        clock.startIteration(k);
        deck.setIteration(k);
        const bool keep = wantFrames && k >= range.first && k < range.last;
        const int still = wantStills ? stills.stillAt(k).value_or(0) : 0;  // 0: none
        canvas.renderTo(keep || still != 0 ? &frames : nullptr);
        const unsigned long presentsBefore = canvas.presents();
        const IterationReport report = show.iterate(canvas, false);
        for (int scene : report.scenes) {
            stills.sceneRan(scene, k);
        }
        const std::vector<sf::Uint8>& frame = frames.lastFrame();
        if (keep) {
            const long index = k - range.first;
            if (video && !video->write(frame.data(), frame.size())) {
                throw std::runtime_error("ffmpeg stopped taking frames (its message is above)");
            }
            if (!options.framesDir.empty()) {
                const std::string path =
                    (fs::path(options.framesDir) / fmt::format("frame{:06}.png", index)).string();
                if (!frames.lastImage().saveToFile(path)) {
                    throw std::runtime_error("cannot write " + path);
                }
            }
            if (log.on()) {
                std::vector<int> scenes = report.scenes;
                log.line(JsonLine()
                             .add("frame", index)
                             .add("iteration", k)
                             .add("time", static_cast<double>(k) / fps)
                             .add("head_us", static_cast<long>(clock.headNs(k) / 1000))
                             .add("scenes", scenes)
                             .add("presents", static_cast<unsigned long>(canvas.presents() - presentsBefore))
                             .add("hash", frameHash(frame.data(), frame.size())));
            }
            ++result.frames;
        }
        if (still != 0) {
            const sf::Image& image = *(stillImages[static_cast<std::size_t>(still - 1)] = frames.lastImage());
            const std::string path = (fs::path(options.stillsDir) / fmt::format("scene{}.png", still)).string();
            if (!image.saveToFile(path)) {
                throw std::runtime_error("cannot write " + path);
            }
            ++stillsTaken;
        }
        if (wantFrames && k + 1 < range.first) {
            progress.update(fmt::format("running up to {:.2f} s", options.from), k + 1, range.first,
                            "iterations");
        } else if (wantFrames && k >= range.first && k < range.last) {
            progress.update("capturing", result.frames, captureEnd - range.first, "frames");
        } else if (!wantFrames) {
            progress.update("stills", k + 1, estimatedEnd, "iterations");
        }
    }
    progress.finish();
    result.iterations = k;
    result.overruns = clock.overruns();
    result.showEnded = !canvas.isOpen();

    // Close the video first: what it holds is playable whatever happens next.
    if (video && !video->finish()) {
        throw std::runtime_error("ffmpeg failed to finish the video (its message is above)");
    }

    // The sound of exactly the frames written.
    const std::int64_t firstSample = sampleAt(range.first, fps);
    const std::int64_t sampleCount = sampleAt(range.first + result.frames, fps) - firstSample;
    const std::vector<sf::Int16> sound = mixStereo(deck.playbacks(fps, k), firstSample, sampleCount);
    if (!options.wavPath.empty()) {
        writeWav(options.wavPath, sound);
    }
    if (!options.framesDir.empty()) {
        writeWav((fs::path(options.framesDir) / "sound.wav").string(), sound);
        std::ofstream note(fs::path(options.framesDir) / "join.txt");
        note << joinNote(options.framesDir, fps);
    }
    if (video) {
        const std::string videoPart = videoPartPath(options.out);
        const std::string soundPart = soundPartPath(options.out);
        if (result.frames > 0) {
            writeWav(soundPart, sound);
            if (!runProgram(muxCommand(ffmpeg, videoPart, soundPart, options.out))) {
                throw std::runtime_error(fmt::format(
                    "ffmpeg could not join the video and its sound; they are kept as {} and {}",
                    videoPart, soundPart));
            }
        }
        std::error_code ignored;
        fs::remove(videoPart, ignored);
        fs::remove(soundPart, ignored);
    }
    if (wantStills && stillsTaken > 0) {
        const std::string path = (fs::path(options.stillsDir) / "contact-sheet.png").string();
        if (!contactSheet(stillImages).saveToFile(path)) {
            throw std::runtime_error("cannot write " + path);
        }
    }

    if (log.on()) {
        for (const Cue& cue : deck.cues()) {
            log.line(JsonLine()
                         .add("cue", soundName(cue.id))
                         .add("action", cue.play ? "play" : "stop")
                         .add("iteration", cue.iteration)
                         .add("frame", cue.iteration - range.first)
                         .add("sample", static_cast<long>(sampleAt(cue.iteration, fps) - firstSample))
                         .add("time_us", static_cast<long>(cue.time.asMicroseconds())));
        }
        log.line(JsonLine()
                     .add("summary", true)
                     .add("fps", fps)
                     .add("frames", result.frames)
                     .add("first_iteration", range.first)
                     .add("iterations", result.iterations)
                     .add("samples", static_cast<long>(sampleCount))
                     .add("overruns", result.overruns)
                     .add("interrupted", result.interrupted)
                     .add("show_ended", result.showEnded));
    }
    for (const std::string& path : deck.unreadable()) {
        fmt::print(stderr, "tolva-capture: note: {} could not be read; its sound is silent, as in the show\n", path);
    }
    result.wallSeconds = std::chrono::duration<double>(SteadyClock::now() - began).count();
    return result;
}

} // namespace tolva

// tolva-flashes: does a video pass the general flash and red flash thresholds? Any video ffmpeg
// can decode: the show's capture, or another entry of a competition. See FlashCounter.h for how
// flashes are counted.
//
// Status 0: within the limits; 1: past them (a line for each span says where); 2: no verdict
// (a file it cannot read or write, a bad option).

#include "capture/FfmpegPipe.h"
#include "capture/Progress.h"
#include "FlashCounter.h"
#include "Plot.h"
#include "Video.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include <unistd.h>

namespace {

using namespace tolva::flashes;

int refuse(const std::string& message)
{
    fmt::print(stderr, "tolva-flashes: {}\n", message);
    return 2;
}

// The file as the user named it, unless that was a path of many folders.
std::string shortName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// "1 red flash", "0.5 flashes".
std::string flashes(int transitions, bool red = false)
{
    const double count = flashesOf(transitions);
    return fmt::format("{:g} {}flash{}", count, red ? "red " : "", count == 1.0 ? "" : "es");
}

std::string spanLine(const Span& span)
{
    return fmt::format("fails at {:.1f}-{:.1f} s: {} in one second", span.start, span.end,
                       flashes(span.transitions, span.red));
}

struct FlashesOptions {
    std::string path, csvPath, plotPath;
    int width = 300;
};

// The command line into options; an exit status when there is nothing more to do.
std::optional<int> parseCommandLine(int argc, char** argv, FlashesOptions& options)
{
    CLI::App app{"Counts the flashes of a video by the general flash and red flash thresholds of WCAG 2.2: "
                 "more than 3 flashes (or red flashes) in any one second over a quarter of the picture fail. "
                 "Status 0: within the limits, 1: past them, 2: the file cannot be read.",
                 "tolva-flashes"};
    app.add_option("FILE", options.path, "the video (any file ffmpeg can decode)")->required();
    app.add_option("--csv", options.csvPath, "write a line per frame: time, the luminance flashes and red flashes a quarter "
                                             "of the picture made in the second ending there, and the share of the picture "
                                             "with a luminance transition (either way) and with a red transition in the frame");
    app.add_option("--plot", options.plotPath, "draw the flashes a second over time into this PNG picture");
    app.add_option("--width", options.width, "analyse the picture scaled down to this many pixels across (0: as it is)")
        ->default_val(300)
        ->check(CLI::Range(0, 16384));
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return 2;
    }
    return std::nullopt;
}

using CsvFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The outputs, opened before the work, so that a path that cannot be written costs nothing; what
// is wrong with them.
std::optional<std::string> openOutputs(const FlashesOptions& options, CsvFile& csv)
{
    if (!options.csvPath.empty()) {
        csv.reset(std::fopen(options.csvPath.c_str(), "w"));
        if (!csv) {
            return fmt::format("cannot write {}: {}", options.csvPath, std::strerror(errno));
        }
        fmt::print(csv.get(), "time,luminance_flashes,red_flashes,area,red_area\n");
    }
    if (!options.plotPath.empty() && !std::ofstream(options.plotPath, std::ios::binary).good()) {
        return fmt::format("cannot write {}: {}", options.plotPath, std::strerror(errno));
    }
    return std::nullopt;
}

// The progress once the work has taken a while: redrawn in place on a terminal, else a line
// every ten seconds. Decoding keeps a steady pace, so the rate is the whole run's.
class Analysing {
public:
    explicit Analysing(long expected) : expected_(expected) {}
    void update(long frames)
    {
        const auto now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - started_).count();
        if (elapsed > 2.0 && now - shown_ >= (terminal_ ? std::chrono::milliseconds(500) : std::chrono::seconds(10))) {
            const std::string line = tolva::progressLine("analysing", frames, std::max(expected_, frames),
                                                         static_cast<double>(frames) / elapsed, "frames");
            fmt::print(stderr, terminal_ ? "\r{}\x1b[K" : "{}\n", line);
            shown_ = now;
        }
    }
    void finish() const
    {
        if (terminal_ && shown_ > started_) {
            fmt::print(stderr, "\n");
        }
    }

private:
    long expected_;
    bool terminal_ = isatty(STDERR_FILENO) != 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_ = started_ - std::chrono::hours(1);
};

// Every frame through the counter, a line each into the CSV file; the worst frame's flashes.
FrameFlashes countFlashes(Decoder& decoder, FlashCounter& counter, std::FILE* csv, PlotData* plot, long expected)
{
    Analysing progress(expected);
    FrameFlashes worst;
    std::vector<std::uint8_t> frame;
    while (decoder.next(frame)) {
        const FrameFlashes frameFlashes = counter.add(frame.data());
        worst.transitions = std::max(worst.transitions, frameFlashes.transitions);
        worst.redTransitions = std::max(worst.redTransitions, frameFlashes.redTransitions);
        if (csv != nullptr) {
            fmt::print(csv, "{:.4f},{:g},{:g},{:.4f},{:.4f}\n", frameFlashes.time, flashesOf(frameFlashes.transitions),
                       flashesOf(frameFlashes.redTransitions), frameFlashes.area, frameFlashes.redArea);
        }
        if (plot != nullptr) {
            plot->frames.push_back(frameFlashes);
        }
        progress.update(counter.frames());
    }
    progress.finish();
    return worst;
}

// The verdict on standard output: the video, each span that fails, and the one line.
void printVerdict(const FlashesOptions& options, const VideoInfo& info, const FlashCounter& counter,
                  const std::vector<Span>& failures, const FrameFlashes& worst, int analysedWidth, int analysedHeight)
{
    const double rate = static_cast<double>(info.rateNum) / static_cast<double>(info.rateDen);
    fmt::print("{}: {}x{}, {:g} frames a second, {} frames, {:.1f} s (analysed at {}x{})\n", options.path, info.width,
               info.height, rate, counter.frames(), counter.timeOf(counter.frames()), analysedWidth, analysedHeight);
    for (const Span& failure : failures) {
        fmt::print("{}\n", spanLine(failure));
    }
    const std::string verdict =
        failures.empty()
            ? fmt::format("passes: at most {} and {} in any one second (the limit is 3)",
                          flashes(worst.transitions), flashes(worst.redTransitions, true))
            : fmt::format("fails: more than 3 flashes in one second over a quarter of the picture or more, "
                          "in {} stretch{} (at most {} and {})",
                          failures.size(), failures.size() == 1 ? "" : "es", flashes(worst.transitions),
                          flashes(worst.redTransitions, true));
    fmt::print("{}\n", verdict);
    std::fflush(stdout);
}

// The video's flashes counted, the verdict said and the outputs written; the exit status.
int analyse(const FlashesOptions& options, const std::string& ffmpeg, const VideoInfo& info, CsvFile& csv)
{
    int analysedWidth = 0, analysedHeight = 0;
    analysisSize(info, options.width, analysedWidth, analysedHeight);
    const double rate = static_cast<double>(info.rateNum) / static_cast<double>(info.rateDen);
    FlashCounter counter(analysedWidth, analysedHeight, info.rateNum, info.rateDen);
    PlotData plot;
    plot.chapters = info.chapters;
    Decoder decoder(ffmpeg, options.path, info, analysedWidth, analysedHeight);
    const FrameFlashes worst = countFlashes(decoder, counter, csv.get(), options.plotPath.empty() ? nullptr : &plot,
                                            std::lround(info.duration * rate));
    const bool readToEnd = decoder.finish();
    if (counter.frames() == 0 || !readToEnd) {
        return refuse(fmt::format("cannot read {}{}", options.path,
                                  counter.frames() == 0 ? ": no frame decoded"
                                                        : fmt::format(" past {:.1f} s", counter.timeOf(counter.frames()))));
    }
    if (csv && (std::fflush(csv.get()) != 0 || std::ferror(csv.get()) != 0)) {
        return refuse(fmt::format("cannot write {}: {}", options.csvPath, std::strerror(errno)));
    }
    const std::vector<Span>& failures = counter.finish();
    printVerdict(options, info, counter, failures, worst, analysedWidth, analysedHeight);
    if (!options.plotPath.empty()) {
        plot.title = fmt::format("{} - {}", shortName(options.path), failures.empty() ? "passes" : "fails");
        plot.duration = counter.timeOf(counter.frames());
        plot.failures = failures;
        if (!drawPlot(plot).saveToFile(options.plotPath)) {
            std::filesystem::remove(options.plotPath);
            return refuse(fmt::format("cannot write {}", options.plotPath));
        }
    }
    return failures.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    FlashesOptions options;
    if (const auto status = parseCommandLine(argc, argv, options)) {
        return *status;
    }
    const auto ffmpeg = tolva::findProgram("ffmpeg");
    const auto ffprobe = tolva::findProgram("ffprobe");
    if (!ffmpeg || !ffprobe) {
        return refuse("needs ffmpeg and ffprobe on the PATH (Debian's package ffmpeg)");
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(options.path, ignored)) {
        return refuse(fmt::format("cannot read {}: it is a folder", options.path));
    }
    if (!std::ifstream(options.path, std::ios::binary).good()) {
        return refuse(fmt::format("cannot read {}: {}", options.path, std::strerror(errno)));
    }
    const auto info = probe(*ffprobe, options.path);
    if (!info) {
        return refuse(fmt::format("cannot read {}: no video that ffmpeg can decode", options.path));
    }
    CsvFile csv(nullptr, std::fclose);
    if (const auto problem = openOutputs(options, csv)) {
        return refuse(*problem);
    }
    return analyse(options, *ffmpeg, *info, csv);
}

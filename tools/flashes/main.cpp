// tolva-flashes: does a video pass the general flash and red flash thresholds? Any video ffmpeg
// can decode: the show's capture, or another entry of a competition. See FlashCounter.h for how
// flashes are counted.
//
// Status 0: within the limits; 1: past them (a line for each stretch says where); 2: no verdict
// (a file it cannot read or write, a bad option).

#include "capture/FfmpegPipe.h"
#include "capture/Progress.h"
#include "FlashCounter.h"
#include "Plot.h"
#include "Video.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

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

std::string stretchLine(const Stretch& stretch)
{
    return fmt::format("fails at {:.1f}-{:.1f} s: {} in one second", stretch.start, stretch.end,
                       flashes(stretch.transitions, stretch.red));
}

} // namespace

int main(int argc, char** argv)
{
    std::string path, csvPath, plotPath;
    int width = 300;
    CLI::App app{"Counts the flashes of a video by the general flash and red flash thresholds of WCAG 2.2: "
                 "more than 3 flashes (or red flashes) in any one second over a quarter of the picture fail. "
                 "Status 0: within the limits, 1: past them, 2: the file cannot be read.",
                 "tolva-flashes"};
    app.add_option("FILE", path, "the video (any file ffmpeg can decode)")->required();
    app.add_option("--csv", csvPath, "write a line per frame: time, the luminance flashes and red flashes a quarter "
                                     "of the picture made in the second ending there, and the share of the picture "
                                     "with a luminance transition (either way) and with a red transition in the frame");
    app.add_option("--plot", plotPath, "draw the flashes a second over time into this PNG picture");
    app.add_option("--width", width, "analyse the picture scaled down to this many pixels across (0: as it is)")
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

    const auto ffmpeg = tolva::findProgram("ffmpeg");
    const auto ffprobe = tolva::findProgram("ffprobe");
    if (!ffmpeg || !ffprobe) {
        return refuse("needs ffmpeg and ffprobe on the PATH (Debian's package ffmpeg)");
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return refuse(fmt::format("cannot read {}: it is a folder", path));
    }
    if (!std::ifstream(path, std::ios::binary).good()) {
        return refuse(fmt::format("cannot read {}: {}", path, std::strerror(errno)));
    }
    const auto info = probe(*ffprobe, path);
    if (!info) {
        return refuse(fmt::format("cannot read {}: no video that ffmpeg can decode", path));
    }
    // The outputs are opened before the work, so that a path that cannot be written costs nothing.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> csv(nullptr, std::fclose);
    if (!csvPath.empty()) {
        csv.reset(std::fopen(csvPath.c_str(), "w"));
        if (!csv) {
            return refuse(fmt::format("cannot write {}: {}", csvPath, std::strerror(errno)));
        }
        fmt::print(csv.get(), "time,luminance_flashes,red_flashes,area,red_area\n");
    }
    if (!plotPath.empty() && !std::ofstream(plotPath, std::ios::binary).good()) {
        return refuse(fmt::format("cannot write {}: {}", plotPath, std::strerror(errno)));
    }

    int analysedWidth = 0, analysedHeight = 0;
    analysisSize(*info, width, analysedWidth, analysedHeight);
    const double rate = static_cast<double>(info->rateNum) / static_cast<double>(info->rateDen);
    const long expected = std::lround(info->duration * rate);
    FlashCounter counter(analysedWidth, analysedHeight, info->rateNum, info->rateDen);
    PlotData plot;
    plot.chapters = info->chapters;
    Decoder decoder(*ffmpeg, path, *info, analysedWidth, analysedHeight);
    // Progress once the work has taken a while: redrawn in place on a terminal, else a line
    // every ten seconds. Decoding keeps a steady pace, so the rate is the whole run's.
    const bool terminal = isatty(STDERR_FILENO) != 0;
    const auto started = std::chrono::steady_clock::now();
    auto shown = started - std::chrono::hours(1);
    FrameFlashes worst;
    std::vector<std::uint8_t> frame;
    while (decoder.next(frame)) {
        const FrameFlashes frameFlashes = counter.add(frame.data());
        worst.transitions = std::max(worst.transitions, frameFlashes.transitions);
        worst.redTransitions = std::max(worst.redTransitions, frameFlashes.redTransitions);
        if (csv) {
            fmt::print(csv.get(), "{:.4f},{:g},{:g},{:.4f},{:.4f}\n", frameFlashes.time, flashesOf(frameFlashes.transitions),
                       flashesOf(frameFlashes.redTransitions), frameFlashes.area, frameFlashes.redArea);
        }
        if (!plotPath.empty()) {
            plot.frames.push_back(frameFlashes);
        }
        const auto now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - started).count();
        if (elapsed > 2.0 && now - shown >= (terminal ? std::chrono::milliseconds(500) : std::chrono::seconds(10))) {
            const std::string line = tolva::progressLine("analysing", counter.frames(), std::max(expected, counter.frames()),
                                                         static_cast<double>(counter.frames()) / elapsed, "frames");
            fmt::print(stderr, terminal ? "\r{}\x1b[K" : "{}\n", line);
            shown = now;
        }
    }
    if (terminal && shown > started) {
        fmt::print(stderr, "\n");
    }
    const bool readToEnd = decoder.finish();
    if (counter.frames() == 0 || !readToEnd) {
        return refuse(fmt::format("cannot read {}{}", path,
                                  counter.frames() == 0 ? ": no frame decoded"
                                                        : fmt::format(" past {:.1f} s", counter.timeOf(counter.frames()))));
    }
    if (csv && (std::fflush(csv.get()) != 0 || std::ferror(csv.get()) != 0)) {
        return refuse(fmt::format("cannot write {}: {}", csvPath, std::strerror(errno)));
    }

    const std::vector<Stretch>& failures = counter.finish();
    const double duration = counter.timeOf(counter.frames());
    fmt::print("{}: {}x{}, {:g} frames a second, {} frames, {:.1f} s (analysed at {}x{})\n", path, info->width,
               info->height, rate, counter.frames(), duration, analysedWidth, analysedHeight);
    for (const Stretch& failure : failures) {
        fmt::print("{}\n", stretchLine(failure));
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

    if (!plotPath.empty()) {
        plot.title = fmt::format("{} - {}", shortName(path), failures.empty() ? "passes" : "fails");
        plot.duration = duration;
        plot.failures = failures;
        if (!drawPlot(plot).saveToFile(plotPath)) {
            std::filesystem::remove(plotPath);
            return refuse(fmt::format("cannot write {}", plotPath));
        }
    }
    return failures.empty() ? 0 : 1;
}

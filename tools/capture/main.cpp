// tolva-capture: the whole show, or a part of it, to a video file with its sound, frame-exact.
//
// The show runs offscreen on virtual time: iteration heads exactly 1/fps apart, every clock
// reading and drawing operation costing a fixed amount of time (see worktime/WorkClock.h), so the
// same options give the same frames, bit for bit.

#include "capture/Capture.h"
#include "capture/FfmpegPipe.h"
#include "Version.h"
#include "driver/Show.h"
#include "process/Signals.h"
#include "show/AssetFolder.h"
#include "worktime/FrameRange.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

namespace {

using namespace tolva;

// The command line into options; an exit status when there is nothing more to do (help, a bad
// option, --version).
std::optional<int> parseCommandLine(int argc, char** argv, CaptureOptions& options)
{
    std::string out;
    std::string audio = "aac";
    // Named here: installed, the program is started through a launcher from a path of its own.
    CLI::App app{"Renders the show offscreen on virtual time, frame-exact, into a video with its sound.",
                 "tolva-capture"};
    app.add_option("--fps", options.fps, "frames per second of the video (one per iteration of the frame loop)")
        ->default_val(60);
    app.add_option("--out", out, fmt::format("the video to write through ffmpeg, H.264 with its sound in an .mp4, "
                                             ".mkv or .mov file (the name's extension chooses); default {}",
                                             defaultVideoName));
    app.add_option("--audio", audio, "the video's sound: aac (default) or lossless (FLAC in .mkv, ALAC in "
                                     ".mp4 and .mov), for archives")
        ->check(CLI::IsMember(audioTrackNames()));
    app.add_option("--scale", options.scale, "each pixel as a K x K block in the video (1 to 4): 2 makes a "
                                             "3840x2160 master for video sites")
        ->default_val(1);
    app.add_option("--frames", options.framesDir, "write PNG frames, sound.wav, chapters.txt and join.txt "
                                                  "(the ffmpeg command that joins them) to this folder; no video then, unless --out is given too");
    app.add_option("--from", options.from, "first second of the show written (the show still runs from its start)")
        ->default_val(0.0);
    app.add_option("--to", options.to, "second of the show where the part written ends (default: the show's end)");
    app.add_option("--stills", options.stillsDir, "write one PNG per scene and contact-sheet.png to this folder");
    app.add_option("--log", options.logPath, "write one JSON line per frame (with its hash), per sound cue, a summary "
                                             "and the chapters");
    app.add_option("--wav", options.wavPath, "write the mixed sound of the part written as a WAV file");
    app.add_option("--progress", options.progressFd, "write the progress as JSON lines to this open file descriptor "
                                                     "(for programs), instead of the progress and closing count on stderr");
    bool version = false;
    app.add_flag("--version", version, "print the version and the OpenGL renderer the frames are drawn with");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        fmt::print(stderr, "tolva-capture: {} (see --help)\n", error.what());
        return 2;
    }
    if (version) {
        fmt::print("{}", versionReport());
        return 0;
    }
    // With no other output asked for, the video goes to the default name.
    options.out = out;
    options.audio = audioTrackNamed(audio);
    if (out.empty() && options.framesDir.empty() && options.stillsDir.empty() &&
        options.logPath.empty() && options.wavPath.empty()) {
        options.out = defaultVideoName;
    }
    return std::nullopt;
}

// What the capture made and where, on stderr (the chapters alone on standard output); the exit
// status.
int report(const CaptureOptions& options, const CaptureResult& result, const std::string& ffmpeg)
{
    // The chapters, ready to paste into a video's description: alone on standard output.
    if (result.frames > 0 && (!options.out.empty() || !options.framesDir.empty())) {
        fmt::print("{}", descriptionLines(result.chapters, options.fps));
        std::fflush(stdout);
    }
    if (!options.stillsDir.empty()) {
        fmt::print(stderr, "tolva-capture: stills of scenes 1 to {} and contact-sheet.png are in {}\n",
                   sceneCount, options.stillsDir);
    }
    if (result.frames > 0 && options.progressFd < 0) {
        fmt::print(stderr, "tolva-capture: {} frames ({:.3f} s at {} fps) in {:.1f} s{}{}\n",
                   result.frames, static_cast<double>(result.frames) / options.fps, options.fps, result.wallSeconds,
                   options.out.empty() ? "" : ", written to " + options.out,
                   result.overruns > 0 ? fmt::format(" ({} iterations overran their frame)", result.overruns) : "");
    }
    if (!options.framesDir.empty()) {
        fmt::print(stderr, "tolva-capture: PNG frames and sound.wav are in {} (join.txt there says how to join them)\n",
                   options.framesDir);
        if (ffmpeg.empty()) {
            fmt::print(stderr, "{}", joinNote(options.framesDir, options.fps, options.scale));
        }
    }
    if (result.showEnded && options.to && result.frames > 0 && result.iterations < frameRange(options).last) {
        fmt::print(stderr, "tolva-capture: the show ended after {:.3f} s, before --to {}\n",
                   static_cast<double>(result.iterations) / options.fps, *options.to);
    }
    if (result.interrupted) {
        fmt::print(stderr, "tolva-capture: interrupted; {}\n",
                   result.frames > 0 ? "what was captured so far is written and playable"
                                     : "no frame of the part asked for was captured yet");
        return 130;
    }
    if (result.frames == 0 && options.stillsDir.empty()) {
        fmt::print(stderr, "tolva-capture: the show ended after {:.2f} s, before --from {}\n",
                   static_cast<double>(result.iterations) / options.fps, options.from);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CaptureOptions options;
    if (const auto status = parseCommandLine(argc, argv, options)) {
        return *status;
    }
    runBesideAssets({&options.out, &options.framesDir, &options.stillsDir, &options.logPath, &options.wavPath});
    const std::string ffmpeg = findProgram("ffmpeg").value_or("");
    if (const auto problem = checkOptions(options, ffmpeg)) {
        fmt::print(stderr, "tolva-capture: {}\n", *problem);
        return 2;
    }
    if (!displayAvailable()) {
        fmt::print(stderr, "tolva-capture: no X display to render on (is DISPLAY set? "
                           "without a screen, run it under xvfb-run)\n");
        return 1;
    }
    // Ctrl-C and a polite kill both stop the capture cleanly: what was captured so far is
    // finished and playable. A second one ends the program at once.
    catchStopSignals({SIGINT, SIGTERM}, SecondStop::endsAtOnce);
    try {
        return report(options, runCapture(options, ffmpeg, stopRequested()), ffmpeg);
    } catch (const std::exception& error) {
        fmt::print(stderr, "tolva-capture: {}\n", error.what());
        return 1;
    }
}

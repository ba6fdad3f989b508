// tolva-farm: one capture spread over many machines by GNU parallel (or a Slurm cluster), in
// parts of whole frames, and joined into the video and log one capture of the whole range would
// write.

#include "Farm.h"

#include "capture/FfmpegPipe.h"
#include "process/Signals.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <csignal>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    using namespace tolva::farm;
    FarmOptions options;
    CLI::App app{"Captures the show on many machines at once with GNU parallel over ssh, or as Slurm jobs: "
                 "the range in parts of whole frames, joined into the video and log one tolva-capture run "
                 "would write.",
                 "tolva-farm"};
    app.add_option("--fps", options.fps, "frames per second of the video")->default_val(60);
    app.add_option("--from", options.from, "first second of the show written")->default_val(0.0);
    app.add_option("--to", options.to, "second of the show where the part written ends (default: the show's end)");
    app.add_option("--out", options.out, fmt::format("the video: .mp4, .mkv or .mov (default {})", tolva::defaultVideoName));
    app.add_option("--log", options.log, "the log of every frame's hash, the sound cues and a summary");
    app.add_option("--audio", options.audio, "the video's sound: aac (default) or lossless")
        ->check(CLI::IsMember(tolva::audioTrackNames()));
    app.add_option("--parts", options.parts, "parts the range is cut into (default: one a job slot)");
    app.add_option("--hosts", options.hostsFile, "the machines, in GNU parallel's --sshloginfile format "
                                                  "(':' is this one; default: this one only)");
    app.add_flag("--slurm", options.slurm,
                 "run on a Slurm cluster instead: the parts as one job array, the sound mixed by a job beside "
                 "it, the join by a job after them; needs --work, and tolva-farm, tolva-capture, ffmpeg and "
                 "xvfb-run installed alike on every node");
    app.add_option("--slurm-args", options.slurmArgs,
                   "sbatch options for every job of the run, as one string (\"--partition=gpu --time=02:00:00\")");
    app.add_option("--work", options.workDir,
                   "the folder the farm works in (default: beside --out); with --slurm it must be on the "
                   "cluster's shared file system, at the same path on every node and here");
    // A Slurm join job's own (see --slurm).
    app.add_option("--join-in", options.joinIn)->group("");
    // The capture's other outputs are files of a single run; saying so beats "not expected".
    for (int k = 1; k < argc; ++k) {
        for (const char* own : {"--frames", "--stills", "--wav"}) {
            const std::size_t length = std::strlen(own);
            if (std::strncmp(argv[k], own, length) == 0 && (argv[k][length] == '\0' || argv[k][length] == '=')) {
                fmt::print(stderr, "tolva-farm: {} is tolva-capture's alone; the farm makes a video "
                                   "(--out) and a log (--log)\n", own);
                return 2;
            }
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        fmt::print(stderr, "tolva-farm: {} (see --help)\n", error.what());
        return 2;
    }
    if (options.out.empty() && options.log.empty() && options.joinIn.empty()) {
        options.out = tolva::defaultVideoName;
    }
    if (const auto problem = checkFarmOptions(options)) {
        fmt::print(stderr, "tolva-farm: {}\n", *problem);
        return 2;
    }
    // Ctrl-C, a polite kill or a lost terminal ends every part on every host, and what was made
    // goes, however many come.
    tolva::catchStopSignals({SIGINT, SIGTERM, SIGHUP}, tolva::SecondStop::isCaught);
    return runFarm(options, tolva::stopRequested());
}

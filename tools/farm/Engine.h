#pragma once

// How the farm's parts run. An engine starts each part on a host and reads its progress (the
// capture's --progress lines); the farm around it (Farm.cpp) makes the plan, mixes the sound,
// joins what the parts made and cleans up. GNU parallel over ssh is the one engine so far
// (ParallelEngine.h).

#include "Plan.h"

#include "capture/Progress.h"
#include "process/Child.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tolva::farm {

// Thrown when a stop was asked for while the farm or its engine waited; what runs is ended first.
struct Stopped {};

// The hidden folder beside the results where a farm keeps everything until the results take
// their names; what a part makes on any host carries its name (the token) too.
struct Workspace {
    std::filesystem::path folder;
    std::string token;  // "tolva-farm-XXXXXX"

    std::filesystem::path at(const std::string& name) const { return folder / name; }
    std::string partName(const Part& part) const;
    // A child working in the folder, this machine's capture first on its PATH (bin/ there), its
    // standard input empty, its output and errors to the descriptors given (-1: ours).
    Launch launch(const std::vector<std::string>& argv, int out, int err) const;
};

// The capture's options each part runs with, besides its range.
struct PartOptions {
    int fps = 60;
    bool video = true;  // NAME.mp4 beside NAME.jsonl
};

// Where an engine tells what the parts do: each report of a part's progress as it comes, by the
// part's number, and a tick now and then while they run.
struct ProgressSink {
    std::function<void(int part, const ProgressReport& report)> report;
    std::function<void()> tick;
};

class Engine {
public:
    virtual ~Engine() = default;
    // What each host draws with, in their order (see readProbe).
    virtual std::vector<Probe> probe(const std::vector<Host>& hosts, bool needEncoder) = 0;
    // Runs every part to its end on the hosts, a part that fails tried again where the engine can;
    // the parts' progress goes to the sink as it comes. True if every part succeeded; otherwise
    // `failure` says what failed. Throws Stopped on a stop.
    virtual bool runParts(const std::vector<Host>& hosts, const std::vector<Part>& parts,
                          const PartOptions& options, const ProgressSink& sink, std::string& failure) = 0;
    // Where each part ran, once they have.
    virtual std::string whereRun() const = 0;
    // What parts left on the hosts (stopped, killed or lost there), removed.
    virtual void sweep() = 0;
};

// Put in front of a command on a host: without a display there, a private X server for it (from
// display TOLVA_FARM_DISPLAY_FROM up, 99 as xvfb-run has it). Its authority file is `name` in the
// host's /tmp: xvfb-run hands that path to Xvfb unquoted, so it must be a word of safe characters,
// which the folder the command runs in need not be.
std::string displayWrapper(const std::string& name);

// Reads a text file whole; empty if it cannot.
std::string readText(const std::filesystem::path& path);
// Writes a text file whole; throws std::runtime_error naming it.
void writeText(const std::filesystem::path& path, const std::string& text);
// A file a child writes to (truncated); throws std::runtime_error naming it.
int openForChild(const std::filesystem::path& path);

} // namespace tolva::farm

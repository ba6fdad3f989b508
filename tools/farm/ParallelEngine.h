#pragma once

// The farm's parts run by GNU parallel on the hosts of an --sshloginfile: this machine (":")
// and others over ssh, a part lost with its host or killed there run again on another.

#include "Engine.h"

#include <csignal>

namespace tolva::farm {

class ParallelEngine : public Engine {
public:
    ParallelEngine(const Workspace& work, const volatile std::sig_atomic_t& stop) : work_(work), stop_(stop) {}

    std::vector<Probe> probe(const std::vector<Host>& hosts, bool needEncoder) override;
    bool runParts(const std::vector<Host>& hosts, const std::vector<Part>& parts, const PartOptions& options,
                  const ProgressSink& sink, std::string& failure) override;
    std::string whereRun() const override;
    void sweep() override;

private:
    void waitAll(std::vector<Child>& children);
    std::vector<std::string> command(const std::vector<Host>& hosts, const std::vector<Part>& parts,
                                     const PartOptions& options);
    int follow(Child& parallel, int output, int errors, const ProgressSink& sink);

    const Workspace& work_;
    const volatile std::sig_atomic_t& stop_;
    std::vector<Host> hosts_;  // those the parts ran on, to be swept
};

// The command a host runs to say what it draws with (see readProbe): the capture's version
// report under the display the parts would have, the encoder's version, nproc. `authority`: the
// name of its X authority file, if it needs one.
std::string probeCommand(const std::string& authority);

// The command a part runs, with its name, from and to (empty: the show's end) as parallel's
// columns 2 to 4: the capture writes NAME.jsonl and, for a video, NAME.mp4 in the folder the host
// runs it in, its progress on standard output and nothing else there.
std::string partCommand(const PartOptions& options);

// One line a part's output or errors brought through parallel ("N\ttext", N the part's number),
// told to the sink when it is the part's progress; otherwise the line for the reader.
std::optional<std::string> takePartLine(const std::string& line, const ProgressSink& sink);

} // namespace tolva::farm

#pragma once

// The farm's parts run as Slurm jobs: the parts as one job array (a task a part), the sound mixed
// by a job beside them and the join by a job after them all (afterok). Every job works in the
// work folder, which every node must see at the same path (the cluster's shared file system),
// and leaves its progress, errors and outcome there: the farm reads those files, never Slurm's
// text, to follow the parts. Slurm says only which jobs are still queued or running.

#include "Engine.h"

#include <csignal>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

namespace tolva::farm {

// Slurm missing, or its controller not answering: said in one line, nothing submitted.
struct SlurmUnavailable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The words of --slurm-args, split as the shell would split them without expanding anything:
// blanks part them, single and double quotes and backslashes keep what they hold together.
// Throws std::invalid_argument for a quote left open.
std::vector<std::string> splitWords(const std::string& text);

// The partition(s) the options ask for ("-p X", "--partition X", "--partition=X"), if any.
std::optional<std::string> partitionOf(const std::vector<std::string>& sbatchArgs);

// The nodes of `sinfo -h -N -o "%N|%c|%t"`, each once with its processors, those that cannot take
// work (down, drained, failing) left out.
std::vector<Host> nodesOf(const std::string& sinfo);

// What a job of the farm wrote when it ended: its status, the node, its start and end (seconds
// since the epoch).
struct JobOutcome {
    int status = 1;
    std::string node;
    double seconds = 0.0;
};
// The outcome file's text; none if it is not (yet) whole.
std::optional<JobOutcome> parseOutcome(const std::string& text);

// The script a job runs: in the work folder (whatever bytes its path holds), this machine's
// capture first on its PATH (bin/ there), without the submitter's display; `select` sets the job's own
// variables (from the array task's number), `body` is its work. The outcome goes to
// "$name.status" as parseOutcome reads it, written whole or not at all.
std::string jobScript(const std::filesystem::path& folder, const std::string& select, const std::string& body);

// The body of a part's job: the capture of $from to $to (empty: the show's end) writing
// $name.jsonl (and $name.mp4), its progress appended to $name.progress, its errors in $name.err.
std::string slurmPartBody(const PartOptions& options);

// The lines choosing each array task's part by its number: name, from and to.
std::string partSelection(const Workspace& work, const std::vector<Part>& parts, int fps);

class SlurmEngine : public Engine {
public:
    SlurmEngine(const Workspace& work, const volatile std::sig_atomic_t& stop, std::vector<std::string> sbatchArgs)
        : work_(work), stop_(stop), sbatchArgs_(std::move(sbatchArgs))
    {
    }

    // The nodes the parts may run on, with their processors. Throws SlurmUnavailable.
    std::vector<Host> nodes();
    // What runs beside the parts and after them: the sound's shell command (empty: none) and the
    // join's program and arguments. Set before runParts, which then runs all of them.
    void follow(std::string soundCommand, std::vector<std::string> join);

    std::vector<Probe> probe(const std::vector<Host>& hosts, bool needEncoder) override;
    bool runParts(const std::vector<Host>& hosts, const std::vector<Part>& parts, const PartOptions& options,
                  const ProgressSink& sink, std::string& failure) override;
    std::string whereRun() const override;
    // How long the join job took, once it has ended.
    double joinSeconds();
    // Every job of the run still queued or running is cancelled, and waited for.
    void sweep() override;

private:
    struct PartRun {
        std::string job;      // the array task or single job now running it
        int tries = 0;
        bool done = false;
        int missing = 0;      // polls since its job left the queue without an outcome
        std::uintmax_t offset = 0;  // of its progress read so far
        std::string pending;  // a progress line not yet whole
    };
    struct Attempt {
        int part;
        JobOutcome outcome;
        bool ended;           // false: its job left the queue without a word
    };

    // Runs a Slurm command to its end (or a minute); its status, output and errors.
    int slurm(const std::vector<std::string>& argv, std::string& output, std::string& errors);
    std::string submit(const std::string& name, const std::string& script, const std::vector<std::string>& extra);
    std::set<std::string> queued();
    std::optional<JobOutcome> outcome(const std::string& name);
    void readProgress(const std::vector<Part>& parts, const ProgressSink& sink);
    std::string submitJoin();
    void submitAll(const std::vector<Host>& hosts, const std::vector<Part>& parts, const PartOptions& options);
    void resubmit(const Part& part, PartRun& run);
    // Where a watched job stands after a look at the queue.
    enum class Watch { running, succeeded, failed, rejoin };
    Watch watchParts(const std::vector<Part>& parts, const std::set<std::string>& live, std::string& failure);
    Watch watchSound(const std::set<std::string>& live, std::string& failure);
    Watch watchJoin(const std::set<std::string>& live, std::string& failure);
    std::string excluded(const std::vector<Host>& hosts) const;
    void checkStop() const;

    const Workspace& work_;
    const volatile std::sig_atomic_t& stop_;
    std::vector<std::string> sbatchArgs_;
    std::vector<std::string> allNodes_;  // every node sinfo named, usable or not
    std::string soundCommand_;
    std::vector<std::string> join_;
    std::map<int, PartRun> runs_;
    std::vector<std::string> placed_;  // sbatch options of every job: the nodes left out
    std::string partScript_;           // the array's script, which a part run again reuses
    std::string mixJob_;               // empty once the sound is mixed, or with none to mix
    std::string joinJob_;
    int mixMissing_ = 0;  // looks since a job left the queue without an outcome
    int joinMissing_ = 0;
    int joinsLost_ = 0;   // join jobs submitted again after leaving without a word
    std::vector<Attempt> attempts_;
    bool submitted_ = false;
};

} // namespace tolva::farm

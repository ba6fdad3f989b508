#pragma once

#include <csignal>
#include <optional>
#include <string>

namespace tolva::farm {

struct FarmOptions {
    int fps = 60;
    double from = 0.0;
    std::optional<double> to;
    std::string out;            // the video; empty: none
    std::string log;            // the joined log; empty: none
    std::string audio = "aac";
    std::optional<int> parts;   // none: one a job slot
    std::string hostsFile;      // empty: this machine only
    bool slurm = false;         // the parts, the sound and the join as Slurm jobs instead
    std::string slurmArgs;      // sbatch's options for every job, as the shell would split them
    std::string workDir;        // where the work folder goes (empty: beside the results)
    std::string joinIn;         // a Slurm join job's: the work folder whose parts it joins
};

// What is wrong with the options, in one line, before anything starts.
std::optional<std::string> checkFarmOptions(const FarmOptions& options);

// One capture spread over the hosts by GNU parallel (or over a Slurm cluster) and joined; the
// exit status: 0 done, 1 failed, 2 hosts refused or Slurm unavailable, 130 stopped (`stop` became
// nonzero). Nothing it made stays behind unless it succeeded.
int runFarm(const FarmOptions& options, const volatile std::sig_atomic_t& stop);

} // namespace tolva::farm

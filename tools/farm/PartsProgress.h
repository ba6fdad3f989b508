#pragma once

// The farm's one line of progress, from the parts' own reports (the capture's --progress), by
// whatever engine runs them.

#include "Plan.h"

#include "capture/Progress.h"

#include <chrono>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tolva::farm {

class PartsProgress {
public:
    using Clock = std::chrono::steady_clock;
    PartsProgress(const std::vector<Part>& parts, bool terminal);

    // A part's report: a part run again (its run-up anew) starts over.
    void take(int part, const ProgressReport& report);
    // The frames done of all, and the parts done and running.
    long framesDone() const;
    long framesInAll() const { return total_; }
    std::size_t partsDone() const { return done_.size(); }
    std::size_t partsRunning() const { return frames_.size() - done_.size(); }
    // The line, now and then (on a terminal redrawn in place); at once when `last`.
    void show(bool last, Clock::time_point now = Clock::now());
    std::string line(Clock::time_point now);

private:
    std::size_t parts_;
    long total_ = 0;
    bool terminal_;
    std::map<int, long> frames_;  // of the parts heard from
    std::set<int> done_;
    std::deque<std::pair<Clock::time_point, long>> marks_;
    Clock::time_point lastShown_{};
};

} // namespace tolva::farm

#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace tolva {

// One line of the progress display: a bar, what is done of how much, the rate and the time left.
std::string progressLine(const std::string& label, long done, long total, double perSecond,
                         const std::string& unit, int barWidth = 30);

// "1:05:09", "3:21" or "0:07" for a number of seconds; "?" when unknown.
std::string clockText(double seconds);

// The progress of a capture on stderr: redrawn in place on a terminal, a line now and then
// otherwise (a log file should not fill with carriage returns).
class Progress {
public:
    Progress(std::FILE* out, bool terminal);

    // `done` of `total` in the current phase (total <= 0: not known).
    void update(const std::string& label, long done, long total, const std::string& unit);
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    std::FILE* out_;
    bool terminal_;
    std::string label_;
    Clock::time_point phaseStart_;
    Clock::time_point lastShown_;
    long phaseFirst_ = 0;
    bool drawn_ = false;
};

} // namespace tolva

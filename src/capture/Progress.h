#pragma once

#include <chrono>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>

namespace tolva {

// One line of the progress display: a bar, what is done of how much, the rate and the time left.
std::string progressLine(const std::string& label, long done, long total, double perSecond,
                         const std::string& unit, int barWidth = 30);

// "1:05:09", "3:21" or "0:07" for a number of seconds; "?" when unknown.
std::string clockText(double seconds);

// The progress of a capture on stderr: redrawn in place on a terminal, a line now and then
// otherwise (a log file should not fill with carriage returns). The rate is that of the last
// twenty seconds or so: the time left follows the scene at hand, not the whole run's average.
class Progress {
public:
    using Clock = std::chrono::steady_clock;
    Progress(std::FILE* out, bool terminal);

    // `done` of `total` in the current phase (total <= 0: not known), as of `now`. A phase's
    // first update counts its work from the update before (or from the start).
    void update(const std::string& label, long done, long total, const std::string& unit,
                Clock::time_point now = Clock::now());
    void finish();

private:
    struct Mark {
        Clock::time_point time;
        long done;
    };
    std::FILE* out_;
    bool terminal_;
    std::string label_;
    std::deque<Mark> marks_;  // a mark a second or so, back to the window's start
    Clock::time_point lastCall_;
    Clock::time_point lastShown_;
    bool drawn_ = false;
};

// Where a capture stands, for a program that follows it (tolva-farm follows its parts): one JSON
// object a line, {"phase":..., "frames":..., "frames_total":..., "iterations":...}. The phases:
// "run-up" (the show runs, undrawn, up to the first frame written), "capturing", "stills" (the
// show runs for its stills alone) and last "done" or "interrupted", once everything is written.
// frames_total is 0 while it is not known.
struct ProgressReport {
    std::string phase;
    long frames = 0;       // written so far
    long framesTotal = 0;  // to write in all (the show's end estimated when open)
    long iterations = 0;   // of the frame loop, run so far
};
std::string progressJson(const ProgressReport& report);
// A line as progressJson writes it; none for any other text.
std::optional<ProgressReport> parseProgressJson(const std::string& line);

// Those lines on a file descriptor: at each new phase, at a phase's last step and twice a second
// at most in between. A reader gone away ends the reports, not the capture.
class ProgressFeed {
public:
    using Clock = std::chrono::steady_clock;
    explicit ProgressFeed(int fd) : fd_(fd) {}
    void update(const ProgressReport& report, Clock::time_point now = Clock::now());
    void finish(const ProgressReport& report);

private:
    void write(const ProgressReport& report);
    int fd_;
    std::string phase_;
    Clock::time_point lastWritten_{};
};

} // namespace tolva

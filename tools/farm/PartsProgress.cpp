#include "PartsProgress.h"

#include <fmt/format.h>

#include <algorithm>

namespace tolva::farm {

PartsProgress::PartsProgress(const std::vector<Part>& parts, bool terminal) : parts_(parts.size()), terminal_(terminal)
{
    for (const Part& part : parts) {
        total_ += part.last - part.first;
    }
}

void PartsProgress::take(int part, const ProgressReport& report)
{
    if (report.phase == "run-up") {
        frames_[part] = 0;
        done_.erase(part);
    } else if (report.phase == "capturing") {
        frames_[part] = report.frames;
    } else if (report.phase == "done") {
        frames_[part] = report.frames;
        done_.insert(part);
    }
}

long PartsProgress::framesDone() const
{
    long done = 0;
    for (const auto& [part, frames] : frames_) {
        done += frames;
    }
    return done;
}

std::string PartsProgress::line(Clock::time_point now)
{
    const long done = framesDone();
    marks_.emplace_back(now, done);
    while (marks_.size() > 2 && now - marks_.front().first > std::chrono::seconds(30)) {
        marks_.pop_front();
    }
    const double seconds = std::chrono::duration<double>(now - marks_.front().first).count();
    const double rate = seconds > 0 ? static_cast<double>(done - marks_.front().second) / seconds : 0.0;
    return progressLine(fmt::format("{}/{} parts done, {} running", partsDone(), parts_, partsRunning()),
                        std::min(done, total_), total_, rate, "frames");
}

void PartsProgress::show(bool last, Clock::time_point now)
{
    if (!last && now - lastShown_ < std::chrono::milliseconds(terminal_ ? 500 : 10000)) {
        return;
    }
    lastShown_ = now;
    const std::string text = line(now);
    if (terminal_) {
        fmt::print(stderr, "\r{}\x1b[K{}", text, last ? "\n" : "");
    } else {
        fmt::print(stderr, "{}\n", text);
    }
}

} // namespace tolva::farm

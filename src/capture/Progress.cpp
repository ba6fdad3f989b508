#include "capture/Progress.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace tolva {

std::string clockText(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0) {
        return "?";
    }
    const long whole = std::lround(seconds);
    const long hours = whole / 3600;
    const long minutes = whole / 60 % 60;
    const long rest = whole % 60;
    if (hours > 0) {
        return fmt::format("{}:{:02}:{:02}", hours, minutes, rest);
    }
    return fmt::format("{}:{:02}", minutes, rest);
}

std::string progressLine(const std::string& label, long done, long total, double perSecond,
                         const std::string& unit, int barWidth)
{
    std::string line = label + " ";
    if (total > 0) {
        const double part = std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0);
        const auto filled = static_cast<int>(part * barWidth);
        line += "[" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(barWidth - filled), '-') + "] ";
        line += fmt::format("{}/{} {}", done, total, unit);
    } else {
        line += fmt::format("{} {}", done, unit);
    }
    line += fmt::format("  {:.1f} {}/s", perSecond, unit);
    if (total > 0) {
        const double left = perSecond > 0 ? static_cast<double>(total - done) / perSecond : -1.0;
        line += "  " + clockText(left) + " left";
    }
    return line;
}

Progress::Progress(std::FILE* out, bool terminal)
    : out_(out), terminal_(terminal), lastCall_(Clock::now()), lastShown_(lastCall_)
{
}

void Progress::update(const std::string& label, long done, long total, const std::string& unit,
                      Clock::time_point now)
{
    constexpr std::chrono::seconds window(20);
    if (label != label_) {
        if (drawn_ && terminal_) {
            std::fputc('\n', out_);
        }
        label_ = label;
        marks_.assign(1, Mark{lastCall_, std::max(done - 1, 0L)});
        drawn_ = false;
    }
    lastCall_ = now;
    if (now - marks_.back().time >= std::chrono::seconds(1)) {
        marks_.push_back({now, done});
    }
    while (marks_.size() > 2 && now - marks_[1].time >= window) {
        marks_.pop_front();
    }
    const double shownAgo = std::chrono::duration<double>(now - lastShown_).count();
    const bool last = total > 0 && done >= total;
    if (drawn_ && !last && shownAgo < (terminal_ ? 0.2 : 10.0)) {
        return;
    }
    const Mark& from = marks_.front();
    const double elapsed = std::chrono::duration<double>(now - from.time).count();
    const double rate = elapsed > 0 ? static_cast<double>(done - from.done) / elapsed : 0.0;
    const std::string line = progressLine(label, done, total, rate, unit);
    if (terminal_) {
        fmt::print(out_, "\r{}\x1b[K", line);
    } else {
        fmt::print(out_, "{}\n", line);
    }
    std::fflush(out_);
    lastShown_ = now;
    drawn_ = true;
}

void Progress::finish()
{
    if (drawn_ && terminal_) {
        std::fputc('\n', out_);
        std::fflush(out_);
    }
    drawn_ = false;
    label_.clear();
}

} // namespace tolva

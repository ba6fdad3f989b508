#include "capture/Progress.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <unistd.h>

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

std::string progressJson(const ProgressReport& report)
{
    nlohmann::ordered_json json;
    json["phase"] = report.phase;
    json["frames"] = report.frames;
    json["frames_total"] = report.framesTotal;
    json["iterations"] = report.iterations;
    return json.dump();
}

std::optional<ProgressReport> parseProgressJson(const std::string& line)
{
    const nlohmann::json json = nlohmann::json::parse(line, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    const auto phase = json.find("phase");
    ProgressReport report;
    if (phase == json.end() || !phase->is_string()) {
        return std::nullopt;
    }
    report.phase = phase->get<std::string>();
    for (const auto& [key, value] : {std::pair<const char*, long*>{"frames", &report.frames},
                                     {"frames_total", &report.framesTotal},
                                     {"iterations", &report.iterations}}) {
        const auto field = json.find(key);
        if (field == json.end() || !field->is_number_integer()) {
            return std::nullopt;
        }
        *value = field->get<long>();
    }
    return report;
}

void ProgressFeed::update(const ProgressReport& report, Clock::time_point now)
{
    const bool last = report.framesTotal > 0 && report.frames >= report.framesTotal;
    if (report.phase == phase_ && !last && now - lastWritten_ < std::chrono::milliseconds(500)) {
        return;
    }
    phase_ = report.phase;
    lastWritten_ = now;
    write(report);
}

void ProgressFeed::finish(const ProgressReport& report) { write(report); }

void ProgressFeed::write(const ProgressReport& report)
{
    const std::string line = progressJson(report) + "\n";
    std::size_t at = 0;
    while (fd_ >= 0 && at < line.size()) {
        const ssize_t written = ::write(fd_, line.data() + at, line.size() - at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fd_ = -1;
            break;
        }
        at += static_cast<std::size_t>(written);
    }
}

} // namespace tolva

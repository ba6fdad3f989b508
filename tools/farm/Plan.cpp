#include "Plan.h"

#include "capture/Mixer.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>

namespace tolva::farm {

namespace {

std::string trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return "";
    }
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            result.push_back(line);
        }
    }
    return result;
}

} // namespace

std::string Host::line() const
{
    // A login that is a path ("/usr/local/bin/myssh host") needs the slot field, even empty.
    return groups + (slots ? fmt::format("{}/", *slots) : login[0] == '/' ? "/" : "") + login;
}

std::string Host::name() const
{
    if (login == ":") {
        return "this machine";
    }
    // "ssh -p 2222 -i key user@host" is user@host on port 2222 to the reader.
    std::istringstream words(login);
    std::vector<std::string> parts;
    for (std::string word; words >> word;) {
        parts.push_back(word);
    }
    std::string port;
    for (std::size_t k = 0; k + 1 < parts.size(); ++k) {
        if (parts[k] == "-p") {
            port = " port " + parts[k + 1];
        }
    }
    return parts.size() > 1 ? parts.back() + port : login;
}

std::vector<Host> parseHosts(const std::string& text)
{
    std::vector<Host> hosts;
    std::istringstream in(text);
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++number;
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        Host host;
        std::string rest = line;
        if (rest[0] == '@') {  // host groups, up to their slash
            const auto slash = rest.find('/');
            if (slash == std::string::npos) {
                throw std::invalid_argument(fmt::format("line {}: '{}' names host groups but no host", number, line));
            }
            host.groups = rest.substr(0, slash + 1);
            rest = rest.substr(slash + 1);
        }
        std::size_t digits = 0;
        while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) {
            ++digits;
        }
        if (digits < rest.size() && rest[digits] == '/') {  // "N/", or "/" before a path
            if (digits > 0) {
                const int slots = digits <= 6 ? std::stoi(rest.substr(0, digits)) : 0;
                if (slots < 1) {
                    throw std::invalid_argument(fmt::format("line {}: '{}' gives no job slot to its host", number, line));
                }
                host.slots = slots;
            }
            rest = rest.substr(digits + 1);
        }
        host.login = trimmed(rest);
        if (host.login.empty()) {
            throw std::invalid_argument(fmt::format("line {}: '{}' names no host", number, line));
        }
        hosts.push_back(host);
    }
    return hosts;
}

std::string whereRun(const std::string& joblog)
{
    std::string said;
    for (const std::string& line : lines(joblog)) {
        std::vector<std::string> columns;
        std::istringstream in(line);
        for (std::string column; std::getline(in, column, '\t');) {
            columns.push_back(column);
        }
        if (columns.size() < 8 || columns[0] == "Seq") {
            continue;
        }
        const std::string host = Host{"", std::nullopt, trimmed(columns[1])}.name();
        const std::string status = trimmed(columns[6]);
        const std::string signal = trimmed(columns[7]);
        said += (said.empty() ? "" : ", ") +
                (status == "0" && signal == "0"
                     ? fmt::format("part {} on {} ({} s)", columns[0], host, trimmed(columns[3]))
                     : fmt::format("part {} failed on {} (status {}, signal {})", columns[0], host, status, signal));
    }
    return said;
}

std::vector<Part> cutParts(long first, long last, bool openEnd, int parts)
{
    const long frames = last - first;
    const long count = std::clamp<long>(parts, 1, std::max(frames, 1L));
    std::vector<Part> result;
    for (long k = 0; k < count; ++k) {
        result.push_back(Part{static_cast<int>(k + 1), first + frames * k / count,
                              first + frames * (k + 1) / count, openEnd && k + 1 == count});
    }
    return result;
}

std::string secondsOf(long frame, int fps)
{
    // The shortest text of frame / fps reads back as the same double, whose product with fps is
    // within a rounding of the whole frame: the capture rounds it back there.
    return fmt::format("{}", static_cast<double>(frame) / static_cast<double>(fps));
}

Probe readProbe(const std::string& output, const std::string& errors, bool needEncoder)
{
    Probe probe;
    std::vector<std::string> identity;
    for (const std::string& line : lines(output)) {
        if (std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isdigit(c); })) {
            probe.processors = std::stoi(line.substr(0, 6));
        } else {
            identity.push_back(line);
        }
    }
    const bool capture = !identity.empty() && identity.front().rfind("tolva-capture ", 0) == 0;
    const bool renderer = std::any_of(identity.begin(), identity.end(), [](const std::string& line) {
        return line.rfind("renderer: ", 0) == 0 && line != "renderer: none (no X display)";
    });
    const bool encoder = std::any_of(identity.begin(), identity.end(), [](const std::string& line) {
        return line.rfind("ffmpeg version ", 0) == 0;
    });
    if (capture && renderer && (encoder || !needEncoder) && probe.processors > 0) {
        probe.answered = true;
        for (const std::string& line : identity) {
            probe.identity += line + "\n";
        }
        return probe;
    }
    const std::vector<std::string> said = lines(errors);
    probe.problem = !said.empty() ? trimmed(said.back())
                    : !capture    ? "it gave no version of tolva-capture"
                    : !renderer   ? "it has no OpenGL renderer"
                                  : "it has no ffmpeg";
    return probe;
}

std::vector<std::size_t> oddHosts(const std::vector<Host>& hosts, const std::vector<Probe>& probes)
{
    std::map<std::string, int> count;
    std::string reference;
    int most = 0;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        if (hosts[k].login == ":") {
            reference = probes[k].identity;
            most = hosts.size();  // this machine decides
        }
    }
    for (const Probe& probe : probes) {
        if (++count[probe.identity] > most) {
            most = count[probe.identity];
            reference = probe.identity;
        }
    }
    std::vector<std::size_t> odd;
    for (std::size_t k = 0; k < probes.size(); ++k) {
        if (probes[k].identity != reference) {
            odd.push_back(k);
        }
    }
    return odd;
}

PartLog splitLog(const std::string& text)
{
    PartLog log;
    for (const std::string& line : lines(text)) {
        if (line.rfind("{\"frame\":", 0) == 0) {
            log.frames.push_back(line);
        } else if (line.rfind("{\"cue\":", 0) == 0) {
            log.cues.push_back(line);
        } else if (line.rfind("{\"summary\":", 0) == 0) {
            log.summary = line;
        } else if (line.rfind("{\"chapter\":", 0) != 0) {
            throw std::runtime_error(fmt::format("a line of no known kind: {}", line));
        }
    }
    return log;
}

namespace {

// Where the integer of "key": starts and ends in line; npos if the key is not there.
std::pair<std::size_t, std::size_t> integerSpan(const std::string& line, const std::string& key)
{
    const std::string tag = "\"" + key + "\":";
    const auto at = line.find(tag);
    if (at == std::string::npos) {
        return {std::string::npos, std::string::npos};
    }
    const std::size_t begin = at + tag.size();
    std::size_t end = begin + (begin < line.size() && line[begin] == '-' ? 1 : 0);
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) {
        ++end;
    }
    return {begin, end};
}

} // namespace

std::optional<long> integerField(const std::string& line, const std::string& key)
{
    const auto [begin, end] = integerSpan(line, key);
    if (begin == std::string::npos || end == begin) {
        return std::nullopt;
    }
    try {
        return std::stol(line.substr(begin, end - begin));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string withIntegerField(const std::string& line, const std::string& key, long value)
{
    const auto [begin, end] = integerSpan(line, key);
    if (begin == std::string::npos) {
        throw std::runtime_error(fmt::format("no \"{}\" in {}", key, line));
    }
    return line.substr(0, begin) + fmt::format("{}", value) + line.substr(end);
}

std::vector<Chapter> chaptersOf(const std::vector<PartLog>& logs)
{
    std::vector<Chapter> chapters;
    long frame = 0;
    for (const PartLog& log : logs) {
        for (const std::string& line : log.frames) {
            std::vector<int> scenes;
            const auto at = line.find("\"scenes\":[");
            if (at != std::string::npos) {
                std::istringstream list(line.substr(at + 10, line.find(']', at) - at - 10));
                for (std::string scene; std::getline(list, scene, ',');) {
                    scenes.push_back(std::stoi(scene));
                }
            }
            noteFrame(chapters, frame++, scenes);
        }
    }
    return chapters;
}

std::string joinLogs(const std::vector<PartLog>& logs, const std::vector<Part>& parts, int fps)
{
    const long first = parts.front().first;
    const auto field = [](const std::string& line, const char* key, int part) {
        const auto value = integerField(line, key);
        if (!value) {
            throw std::runtime_error(fmt::format("part {}'s log has a line without \"{}\": {}", part, key, line));
        }
        return *value;
    };
    // A cue as the whole range's log gives it.
    const auto renumberedCue = [&](const std::string& cue, int part) {
        const long iteration = field(cue, "iteration", part);
        const std::string line = withIntegerField(cue, "frame", iteration - first);
        return withIntegerField(line, "sample", static_cast<long>(sampleAt(iteration, fps) - sampleAt(first, fps)));
    };

    std::string joined;
    long next = first;
    std::vector<std::vector<std::string>> cues;
    for (std::size_t k = 0; k < logs.size(); ++k) {
        const Part& part = parts[k];
        const PartLog& log = logs[k];
        if (log.summary.empty() || log.summary.find("\"interrupted\":false") == std::string::npos) {
            throw std::runtime_error(fmt::format("part {}'s log is unfinished", part.number));
        }
        for (const std::string& frame : log.frames) {
            const long iteration = field(frame, "iteration", part.number);
            if (iteration != next) {
                throw std::runtime_error(fmt::format("part {}'s log has iteration {} where {} was due",
                                                     part.number, iteration, next));
            }
            joined += withIntegerField(frame, "frame", next - first) + "\n";
            ++next;
        }
        // An open end lies wherever the show ends.
        if (part.openEnd ? next <= part.first : next != part.last) {
            throw std::runtime_error(fmt::format("part {} ends at iteration {}, not {}", part.number, next, part.last));
        }
        cues.emplace_back();
        for (const std::string& cue : log.cues) {
            cues.back().push_back(renumberedCue(cue, part.number));
        }
    }
    // Every part ran the show from its start, so an earlier part's cues begin the last part's.
    const std::vector<std::string>& last = cues.back();
    for (std::size_t k = 0; k + 1 < cues.size(); ++k) {
        if (cues[k].size() > last.size() || !std::equal(cues[k].begin(), cues[k].end(), last.begin())) {
            throw std::runtime_error(fmt::format("parts {} and {} heard different sound cues",
                                                 parts[k].number, parts.back().number));
        }
    }
    for (const std::string& cue : last) {
        joined += cue + "\n";
    }
    const long frames = next - first;
    std::string summary = withIntegerField(logs.back().summary, "frames", frames);
    summary = withIntegerField(summary, "first_iteration", first);
    summary = withIntegerField(summary, "samples", static_cast<long>(sampleAt(first + frames, fps) - sampleAt(first, fps)));
    joined += summary + "\n";
    const std::vector<Chapter> chapters = chaptersOf(logs);
    for (std::size_t n = 0; n < chapters.size(); ++n) {
        joined += chapterLogLine(chapters, n, frames, first, fps).str() + "\n";
    }
    return joined;
}

} // namespace tolva::farm

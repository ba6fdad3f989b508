#include "Plan.h"

#include "capture/Mixer.h"
#include "process/Child.h"
#include "render/Json.h"

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
    for (const std::string& line : linesOf(joblog)) {
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

namespace {

// The capture's version report, as the identity's lines: program and version, renderer, OpenGL.
// Empty if the line is not that report.
std::vector<std::string> versionLines(const std::string& line, bool& renderer)
{
    const nlohmann::json report = nlohmann::json::parse(line, nullptr, false);
    if (!report.is_object() || report.value("program", nlohmann::json()) != "tolva-capture") {
        return {};
    }
    const auto text = [&](const char* key) {
        const auto field = report.find(key);
        return field != report.end() && field->is_string() ? field->get<std::string>() : std::string();
    };
    renderer = !text("renderer").empty();
    return {"tolva-capture " + text("version"), "renderer: " + text("renderer"), "OpenGL: " + text("opengl")};
}

// Why a probe gave no usable answer: its own last words first, then what its answer lacks.
std::string probeProblem(const std::string& errors, int status, bool capture, bool renderer, bool encoder,
                         int processors)
{
    const std::vector<std::string> said = linesOf(errors);
    if (!said.empty()) {
        return trimmed(said.back());
    }
    if (!capture) {
        return status != 0 ? fmt::format("tolva-capture --version failed there (status {}) without a message", status)
                           : "tolva-capture --version gave no version report there";
    }
    if (!renderer) {
        return "tolva-capture --version found no X display there to draw on";
    }
    if (!encoder) {
        return "ffmpeg is not on its PATH";
    }
    return processors > 0 ? fmt::format("its probe ended with status {}", status) : "nproc gave no processor count";
}

} // namespace

Probe readProbe(const std::string& output, const std::string& errors, int status, bool needEncoder)
{
    Probe probe;
    std::vector<std::string> identity;
    bool renderer = false;
    bool encoder = false;
    for (const std::string& line : linesOf(output)) {
        if (std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isdigit(c); })) {
            probe.processors = std::stoi(line.substr(0, 6));
        } else if (line.front() == '{') {
            const std::vector<std::string> version = versionLines(line, renderer);
            identity.insert(identity.end(), version.begin(), version.end());
        } else {
            encoder = encoder || line.rfind("ffmpeg version ", 0) == 0;
            identity.push_back(line);
        }
    }
    const bool capture = !identity.empty() && identity.front().rfind("tolva-capture ", 0) == 0;
    if (capture && renderer && (encoder || !needEncoder) && probe.processors > 0 && status == 0) {
        probe.answered = true;
        for (const std::string& line : identity) {
            probe.identity += line + "\n";
        }
        return probe;
    }
    probe.problem = probeProblem(errors, status, capture, renderer, encoder || !needEncoder, probe.processors);
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
    for (const std::string& line : linesOf(text)) {
        nlohmann::ordered_json json = nlohmann::ordered_json::parse(line, nullptr, false);
        const std::string kind = json.is_object() && !json.empty() ? json.begin().key() : "";
        if (kind == "frame") {
            log.frames.push_back(std::move(json));
        } else if (kind == "cue") {
            log.cues.push_back(std::move(json));
        } else if (kind == "summary") {
            log.summary = std::move(json);
        } else if (kind != "chapter") {
            throw std::runtime_error(fmt::format("a line of no known kind: {}", line));
        }
    }
    return log;
}

std::string logLineText(const nlohmann::ordered_json& line)
{
    JsonLine text;
    for (const auto& [key, value] : line.items()) {
        text.raw(key, value.is_number_float() ? JsonLine::number(value.get<double>()) : value.dump());
    }
    return text.str();
}

std::vector<Chapter> chaptersOf(const std::vector<PartLog>& logs)
{
    std::vector<Chapter> chapters;
    long frame = 0;
    for (const PartLog& log : logs) {
        for (const nlohmann::ordered_json& line : log.frames) {
            std::vector<int> scenes;
            if (const auto list = line.find("scenes"); list != line.end() && list->is_array()) {
                for (const auto& scene : *list) {
                    scenes.push_back(scene.get<int>());
                }
            }
            noteFrame(chapters, frame++, scenes);
        }
    }
    return chapters;
}

namespace {

// The integer of a part's log line under `key`.
long integerField(const nlohmann::ordered_json& line, const char* key, int part)
{
    const auto field = line.find(key);
    if (field == line.end() || !field->is_number_integer()) {
        throw std::runtime_error(fmt::format("part {}'s log has a line without \"{}\": {}", part, key, line.dump()));
    }
    return field->get<long>();
}

// The parts' frames in order, numbered from the range's first; the iteration after the last.
long joinFrames(const std::vector<PartLog>& logs, const std::vector<Part>& parts, std::string& joined)
{
    const long first = parts.front().first;
    long next = first;
    for (std::size_t k = 0; k < logs.size(); ++k) {
        const Part& part = parts[k];
        const PartLog& log = logs[k];
        if (!log.summary.is_object() || log.summary.value("interrupted", true)) {
            throw std::runtime_error(fmt::format("part {}'s log is unfinished", part.number));
        }
        for (nlohmann::ordered_json frame : log.frames) {
            const long iteration = integerField(frame, "iteration", part.number);
            if (iteration != next) {
                throw std::runtime_error(fmt::format("part {}'s log has iteration {} where {} was due",
                                                     part.number, iteration, next));
            }
            frame["frame"] = next - first;
            joined += logLineText(frame) + "\n";
            ++next;
        }
        // An open end lies wherever the show ends.
        if (part.openEnd ? next <= part.first : next != part.last) {
            throw std::runtime_error(fmt::format("part {} ends at iteration {}, not {}", part.number, next, part.last));
        }
    }
    return next;
}

// The cues of the last part, renumbered for the whole range, once every part agrees with them:
// every part ran the show from its start, so an earlier part's cues begin the last part's.
std::vector<std::string> joinCues(const std::vector<PartLog>& logs, const std::vector<Part>& parts, int fps)
{
    const long first = parts.front().first;
    std::vector<std::vector<std::string>> cues;
    for (std::size_t k = 0; k < logs.size(); ++k) {
        cues.emplace_back();
        for (nlohmann::ordered_json cue : logs[k].cues) {
            const long iteration = integerField(cue, "iteration", parts[k].number);
            integerField(cue, "frame", parts[k].number);
            integerField(cue, "sample", parts[k].number);
            cue["frame"] = iteration - first;
            cue["sample"] = static_cast<long>(sampleAt(iteration, fps) - sampleAt(first, fps));
            cues.back().push_back(logLineText(cue));
        }
    }
    const std::vector<std::string>& last = cues.back();
    for (std::size_t k = 0; k + 1 < cues.size(); ++k) {
        if (cues[k].size() > last.size() || !std::equal(cues[k].begin(), cues[k].end(), last.begin())) {
            throw std::runtime_error(fmt::format("parts {} and {} heard different sound cues",
                                                 parts[k].number, parts.back().number));
        }
    }
    return last;
}

} // namespace

std::string joinLogs(const std::vector<PartLog>& logs, const std::vector<Part>& parts, int fps, long* frameCount)
{
    const long first = parts.front().first;
    std::string joined;
    const long frames = joinFrames(logs, parts, joined) - first;
    for (const std::string& cue : joinCues(logs, parts, fps)) {
        joined += cue + "\n";
    }
    nlohmann::ordered_json summary = logs.back().summary;
    for (const char* key : {"frames", "first_iteration", "samples"}) {
        integerField(summary, key, parts.back().number);
    }
    summary["frames"] = frames;
    summary["first_iteration"] = first;
    summary["samples"] = static_cast<long>(sampleAt(first + frames, fps) - sampleAt(first, fps));
    joined += logLineText(summary) + "\n";
    const std::vector<Chapter> chapters = chaptersOf(logs);
    for (std::size_t n = 0; n < chapters.size(); ++n) {
        joined += chapterLogLine(chapters, n, frames, first, fps).str() + "\n";
    }
    if (frameCount != nullptr) {
        *frameCount = frames;
    }
    return joined;
}

} // namespace tolva::farm

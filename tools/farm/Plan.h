#pragma once

// The farm's plan and its bookkeeping, apart from any process: the hosts as GNU parallel's
// --sshloginfile gives them, the cut of a frame range into parts, what each host says it draws
// with, and the parts' logs joined into the log one capture of the whole range writes.

#include "capture/Chapters.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tolva::farm {

// One line of a --sshloginfile: an sshlogin (":" is this machine), with the number of job slots
// parallel gives it when the line starts with "N/" (after any "@group/" prefixes).
struct Host {
    std::string groups;  // "@a+b/" prefixes as written, or empty
    std::optional<int> slots;
    std::string login;   // the rest: "user@host", "ssh -p 2222 host", ":"
    std::string line() const;  // as parallel reads it
    std::string name() const;  // for messages: the login as written
};

// The hosts of a --sshloginfile text (empty lines and '#' comments skipped); throws
// std::invalid_argument naming the line for one parallel would not read as an sshlogin.
std::vector<Host> parseHosts(const std::string& text);

// Where parallel's --joblog says each part ran, and where an attempt failed, for the reader.
std::string whereRun(const std::string& joblog);

// Frames [first, last) of the frame loop, one part of the range; an open end runs to the show's
// end, wherever that falls.
struct Part {
    int number;   // from 1
    long first;
    long last;
    bool openEnd;
};

// The frames [first, last) cut into `parts` parts of whole frames, as even as can be (no part
// empty: fewer parts when there are fewer frames). With openEnd the last part runs on to the
// show's end, past `last`.
std::vector<Part> cutParts(long first, long last, bool openEnd, int parts);

// A second of video that the capture's --from and --to turn back into exactly `frame`
// (lround(seconds * fps) == frame), in as few digits as that takes.
std::string secondsOf(long frame, int fps);

// What a host answered when asked what it draws with: the capture's version report (one JSON
// line), the encoder's version line (needed for a video) and its processor count; or what failed.
struct Probe {
    bool answered = false;
    std::string identity;    // version, renderer and encoder lines: equal ones draw equal frames
    int processors = 0;
    std::string problem;     // when not answered: what failed, in its own words where it gave some
};
// `output` and `errors` as the probe's command wrote them, `status` its exit status.
Probe readProbe(const std::string& output, const std::string& errors, int status, bool needEncoder);

// The hosts (by index) whose identity differs from the reference: this machine's where it is
// among them, otherwise the one most hosts share (the first such, on a tie).
std::vector<std::size_t> oddHosts(const std::vector<Host>& hosts, const std::vector<Probe>& probes);

// A part's --log file, its lines sorted by kind (its chapters, those of its own frames, are
// made anew for the whole range).
struct PartLog {
    std::vector<nlohmann::ordered_json> frames;
    std::vector<nlohmann::ordered_json> cues;
    nlohmann::ordered_json summary;
};

// The scenes as chapters of the video the parts' frames make, from the scenes each frame ran.
std::vector<Chapter> chaptersOf(const std::vector<PartLog>& logs);
// Throws std::runtime_error for a line that is no log line of the capture.
PartLog splitLog(const std::string& text);

// A log line as the capture writes it: compact, its fields in their order, numbers with a
// fraction in their shortest form ("59" where a JSON library would write "59.0").
std::string logLineText(const nlohmann::ordered_json& line);

// The parts' logs as one capture of parts.front().first to the last part's end writes its log:
// the frames in order, numbered from the range's first, then the cues and the summary, taken from
// the last part (which ran the whole show up to the range's end) and renumbered, then the
// chapters of the whole range; `frames` is set to the frames joined. Throws
// std::runtime_error naming the part when they disagree (frames missing or out of order, cues
// that differ, a part interrupted).
std::string joinLogs(const std::vector<PartLog>& logs, const std::vector<Part>& parts, int fps, long* frames = nullptr);

} // namespace tolva::farm

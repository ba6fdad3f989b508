#include "SlurmEngine.h"

#include "ParallelEngine.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <unistd.h>

namespace tolva::farm {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

namespace {

// A part failing this often, each time on whatever node Slurm chose, fails the farm.
constexpr int triesPerPart = 3;
// Polls of the queue a job may be gone from it before its outcome file shows (a shared file
// system can be slow to show a file another node wrote).
constexpr int outcomeGrace = 8;

std::string lastLine(const std::string& text)
{
    const std::vector<std::string> lines = linesOf(text);
    return lines.empty() ? std::string() : lines.back();
}

std::string joined(const std::vector<std::string>& words, const char* between)
{
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : between) + word;
    }
    return text;
}

} // namespace

std::vector<std::string> splitWords(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (quote == '\'') {
            if (c == '\'') {
                quote = 0;
            } else {
                word += c;
            }
        } else if (quote == '"') {
            if (c == '"') {
                quote = 0;
            } else if (c == '\\' && k + 1 < text.size() && std::string("\"\\$`").find(text[k + 1]) != std::string::npos) {
                word += text[++k];
            } else {
                word += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            inWord = true;
            if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == '\\' && k + 1 < text.size()) {
                word += text[++k];
            } else {
                word += c;
            }
        }
    }
    if (quote != 0) {
        throw std::invalid_argument(fmt::format("a {} quote is left open in '{}'", quote == '"' ? "double" : "single", text));
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

std::optional<std::string> partitionOf(const std::vector<std::string>& args)
{
    std::optional<std::string> partition;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if ((arg == "-p" || arg == "--partition") && k + 1 < args.size()) {
            partition = args[++k];
        } else if (arg.rfind("--partition=", 0) == 0) {
            partition = arg.substr(12);
        } else if (arg.size() > 2 && arg.rfind("-p", 0) == 0) {
            partition = arg.substr(2);
        }
    }
    return partition;
}

std::vector<Host> nodesOf(const std::string& sinfo)
{
    std::vector<Host> nodes;
    for (const std::string& line : linesOf(sinfo)) {
        std::istringstream in(line);
        std::string name;
        std::string processors;
        std::string state;
        std::getline(in, name, '|');
        std::getline(in, processors, '|');
        std::getline(in, state);
        // "*" marks a node that does not respond; the rest cannot take work as they are.
        static const std::vector<std::string> unusable = {"down", "drain", "drng", "fail", "futr", "inval", "unk"};
        const bool usable = !name.empty() && state.find('*') == std::string::npos &&
                            std::none_of(unusable.begin(), unusable.end(),
                                         [&state](const std::string& bad) { return state.rfind(bad, 0) == 0; });
        const bool known = std::any_of(nodes.begin(), nodes.end(), [&name](const Host& node) { return node.login == name; });
        if (usable && !known) {
            int count = 0;
            try {
                count = std::stoi(processors);
            } catch (const std::exception&) {
            }
            nodes.push_back(Host{"", count > 0 ? std::optional<int>(count) : std::nullopt, name});
        }
    }
    return nodes;
}

std::optional<JobOutcome> parseOutcome(const std::string& text)
{
    if (text.empty() || text.back() != '\n') {
        return std::nullopt;
    }
    std::istringstream in(text);
    JobOutcome outcome;
    std::string start;
    std::string end;
    if (!(in >> outcome.status >> outcome.node >> start >> end)) {
        return std::nullopt;
    }
    try {
        outcome.seconds = std::max(0.0, std::stod(end) - std::stod(start));
    } catch (const std::exception&) {
        outcome.seconds = 0.0;  // a node whose date lacks %N still says how it ended
    }
    return outcome;
}

std::string jobScript(const fs::path& folder, const std::string& select, const std::string& body)
{
    // The node's X authority file goes with the job however it ends; Slurm's SIGTERM reaches
    // every process of the job, the capture included.
    return "#!/bin/sh\n"
           "# A job of tolva-farm; what it makes and says stays in its work folder.\n"
           "cd " + shellQuote(folder.string()) + " || exit 1\n"
           // bin/ relative, as the farm's own children have it: the folder's path may hold a ':'.
           "PATH=bin:$PATH\n"
           "export PATH\n"
           "unset DISPLAY XAUTHORITY\n" +
           select + "\n"
           "trap 'rm -f \"/tmp/$name.xauth\"; exit 143' TERM INT HUP\n"
           "start=$(date +%s.%N)\n" +
           body + "\n"
           "printf '%s %s %s %s\\n' \"$status\" \"${SLURMD_NODENAME:-$(hostname)}\" \"$start\" \"$(date +%s.%N)\" "
           "> \"$name.status.new\" && mv -f \"$name.status.new\" \"$name.status\"\n"
           "exit \"$status\"\n";
}

std::string slurmPartBody(const PartOptions& options)
{
    const std::string video = options.video ? " --out \"$PWD/$name.mp4\"" : "";
    return displayWrapper("$name.xauth") +
           fmt::format("\"$@\" tolva-capture --fps {} --from \"$from\" ${{to:+--to \"$to\"}}{} --log \"$PWD/$name.jsonl\" "
                       "--progress 3 3>> \"$name.progress\" > /dev/null 2> \"$name.err\"\n",
                       options.fps, video) +
           "status=$?\nrm -f \"/tmp/$name.xauth\"";
}

std::string partSelection(const Workspace& work, const std::vector<Part>& parts, int fps)
{
    std::string select = "case ${SLURM_ARRAY_TASK_ID-} in\n";
    for (const Part& part : parts) {
        select += fmt::format("{}) name={} from={} to={} ;;\n", part.number, shellQuote(work.partName(part)),
                              shellQuote(secondsOf(part.first, fps)),
                              shellQuote(part.openEnd ? "" : secondsOf(part.last, fps)));
    }
    return select + "*) echo \"no part numbered ${SLURM_ARRAY_TASK_ID-}\" >&2; exit 1 ;;\nesac";
}

int SlurmEngine::slurm(const std::vector<std::string>& argv, std::string& output, std::string& errors)
{
    const int out = openForChild(work_.at("slurm.out"));
    const int err = openForChild(work_.at("slurm.err"));
    Child child(work_.launch(argv, out, err));
    ::close(out);
    ::close(err);
    // A client that cannot reach the controller retries for a while; a minute is plenty.
    const auto deadline = SteadyClock::now() + std::chrono::seconds(60);
    std::optional<int> status;
    while (!(status = child.poll()) && SteadyClock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!status) {
        child.signal(SIGKILL);
        child.wait();
    }
    output = readText(work_.at("slurm.out"));
    errors = readText(work_.at("slurm.err"));
    if (!status) {
        errors += fmt::format("{} did not answer within a minute\n", argv.front());
        return 124;
    }
    return *status;
}

std::vector<Host> SlurmEngine::nodes()
{
    for (const char* program : {"sbatch", "squeue", "scancel", "sinfo"}) {
        if (!findProgram(program)) {
            throw SlurmUnavailable(fmt::format("{} is not on PATH: this machine is no Slurm client "
                                               "(Debian: apt-get install slurm-client)", program));
        }
    }
    std::vector<std::string> argv = {"sinfo", "-h", "-N", "-o", "%N|%c|%t"};
    const std::optional<std::string> partition = partitionOf(sbatchArgs_);
    if (partition) {
        argv.push_back("--partition=" + *partition);
    }
    std::string output;
    std::string errors;
    if (slurm(argv, output, errors) != 0) {
        const std::string said = lastLine(errors);
        throw SlurmUnavailable("Slurm does not answer" + (said.empty() ? std::string() : ": " + said));
    }
    allNodes_.clear();
    for (const std::string& line : linesOf(output)) {
        const std::string name = line.substr(0, line.find('|'));
        if (std::find(allNodes_.begin(), allNodes_.end(), name) == allNodes_.end()) {
            allNodes_.push_back(name);
        }
    }
    std::vector<Host> usable = nodesOf(output);
    if (usable.empty()) {
        throw SlurmUnavailable(fmt::format("Slurm has no node that can take work{}",
                                           partition ? " in partition " + *partition : std::string()));
    }
    return usable;
}

void SlurmEngine::follow(std::string soundCommand, std::vector<std::string> join)
{
    soundCommand_ = std::move(soundCommand);
    join_ = std::move(join);
}

void SlurmEngine::checkStop() const
{
    if (stop_ != 0) {
        throw Stopped{};
    }
}

std::string SlurmEngine::submit(const std::string& name, const std::string& script, const std::vector<std::string>& extra)
{
    const fs::path file = work_.at(name + ".sh");
    writeText(file, script);
    // The site's options first, so that the farm's own (its jobs' name, where their output goes)
    // come last and hold.
    std::vector<std::string> argv = {"sbatch", "--parsable"};
    argv.insert(argv.end(), sbatchArgs_.begin(), sbatchArgs_.end());
    argv.insert(argv.end(), {"--job-name=" + work_.token, "--output=/dev/null", "--error=/dev/null", "--chdir=/"});
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back(file.string());
    std::string output;
    std::string errors;
    const int status = slurm(argv, output, errors);
    submitted_ = true;  // whatever it said: a job may be queued all the same
    const std::string id = lastLine(output).substr(0, lastLine(output).find(';'));
    if (status != 0 || id.empty() || !std::all_of(id.begin(), id.end(), [](unsigned char c) { return std::isdigit(c); })) {
        throw std::runtime_error(fmt::format("sbatch refused the {} job: {}", name, lastLine(errors)));
    }
    return id;
}

std::set<std::string> SlurmEngine::queued()
{
    std::string output;
    std::string errors;
    // Not at all: a controller that stops answering for a while must not look like jobs ended.
    for (int attempt = 0;; ++attempt) {
        checkStop();
        if (slurm({"squeue", "-h", "-r", "--name=" + work_.token, "-o", "%i"}, output, errors) == 0) {
            break;
        }
        if (attempt == 4) {
            throw std::runtime_error("Slurm stopped answering: " + lastLine(errors));
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    std::set<std::string> jobs;
    for (const std::string& line : linesOf(output)) {
        std::istringstream in(line);
        std::string id;
        in >> id;
        jobs.insert(id);
    }
    return jobs;
}

std::optional<JobOutcome> SlurmEngine::outcome(const std::string& name)
{
    return parseOutcome(readText(work_.at(name + ".status")));
}

std::vector<Probe> SlurmEngine::probe(const std::vector<Host>& hosts, bool needEncoder)
{
    std::vector<std::string> jobs;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        const std::string name = fmt::format("probe-{}", k);
        const std::string body = probeCommand(fmt::format("{}-probe-{}.xauth", work_.token, k)) +
                                 " > \"$name.out\" 2> \"$name.err\"\nstatus=$?";
        jobs.push_back(submit(name, jobScript(work_.folder, "name=" + name, body),
                              {"--nodelist=" + hosts[k].login, "--ntasks=1"}));
    }
    for (;;) {
        const std::set<std::string> live = queued();
        if (std::none_of(jobs.begin(), jobs.end(), [&live](const std::string& job) { return live.count(job) > 0; })) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    std::vector<Probe> probes;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        const std::string name = fmt::format("probe-{}", k);
        std::optional<JobOutcome> ended;
        for (int wait = 0; !(ended = outcome(name)) && wait < outcomeGrace; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        if (!ended) {
            Probe lost;
            lost.problem = "its probe job ended without a word (cancelled, or the node lost it)";
            probes.push_back(lost);
            continue;
        }
        probes.push_back(readProbe(readText(work_.at(name + ".out")), readText(work_.at(name + ".err")),
                                   ended->status, needEncoder));
    }
    return probes;
}

std::string SlurmEngine::excluded(const std::vector<Host>& hosts) const
{
    std::vector<std::string> out;
    for (const std::string& node : allNodes_) {
        if (std::none_of(hosts.begin(), hosts.end(), [&node](const Host& host) { return host.login == node; })) {
            out.push_back(node);
        }
    }
    return joined(out, ",");
}

void SlurmEngine::readProgress(const std::vector<Part>& parts, const ProgressSink& sink)
{
    for (const Part& part : parts) {
        PartRun& run = runs_[part.number];
        std::ifstream in(work_.at(work_.partName(part) + ".progress"), std::ios::binary);
        if (!in) {
            continue;
        }
        in.seekg(static_cast<std::streamoff>(run.offset));
        std::ostringstream fresh;
        fresh << in.rdbuf();
        const std::string text = fresh.str();
        run.offset += text.size();
        run.pending += text;
        for (std::size_t end; (end = run.pending.find('\n')) != std::string::npos; run.pending.erase(0, end + 1)) {
            if (const auto report = parseProgressJson(run.pending.substr(0, end))) {
                sink.report(part.number, *report);
            }
        }
    }
}

// The join, after every part's job that has not yet succeeded and the sound's: those it depends
// on are named one by one, so that a part run again takes its failed task's place.
std::string SlurmEngine::submitJoin()
{
    std::vector<std::string> after;
    for (const auto& [number, run] : runs_) {
        if (!run.done) {
            after.push_back(run.job);
        }
    }
    if (!mixJob_.empty()) {
        after.push_back(mixJob_);
    }
    std::string command;
    for (const std::string& word : join_) {
        command += (command.empty() ? "" : " ") + shellQuote(word);
    }
    const std::string body = command + " > \"$name.out\" 2> \"$name.err\"\nstatus=$?";
    std::vector<std::string> extra = {"--ntasks=1"};
    if (!after.empty()) {
        extra.push_back("--dependency=afterok:" + joined(after, ":"));
    }
    return submit("join", jobScript(work_.folder, "name=join", body), extra);
}

// The sound beside the parts, the parts as one array, the join after them all.
void SlurmEngine::submitAll(const std::vector<Host>& hosts, const std::vector<Part>& parts, const PartOptions& options)
{
    placed_.clear();
    if (const std::string out = excluded(hosts); !out.empty()) {
        placed_.push_back("--exclude=" + out);  // nodes that did not answer the probe
    }
    if (!soundCommand_.empty()) {
        const std::string body = "sh -c " + shellQuote(soundCommand_) + " > \"$name.err\" 2>&1\nstatus=$?";
        std::vector<std::string> extra = placed_;
        extra.push_back("--ntasks=1");
        mixJob_ = submit("sound", jobScript(work_.folder, "name=sound", body), extra);
    }
    partScript_ = jobScript(work_.folder, partSelection(work_, parts, options.fps), slurmPartBody(options));
    std::vector<std::string> extra = placed_;
    extra.insert(extra.end(), {"--ntasks=1", fmt::format("--array=1-{}", parts.size())});
    const std::string array = submit("parts", partScript_, extra);
    runs_.clear();
    for (const Part& part : parts) {
        runs_[part.number].job = fmt::format("{}_{}", array, part.number);
        runs_[part.number].tries = 1;
    }
    joinJob_ = submitJoin();
}

// A part's task alone, submitted again under the array's script.
void SlurmEngine::resubmit(const Part& part, PartRun& run)
{
    std::vector<std::string> again = placed_;
    again.insert(again.end(), {"--ntasks=1", fmt::format("--array={}", part.number)});
    run.job = fmt::format("{}_{}", submit("part-" + std::to_string(part.number), partScript_, again), part.number);
    run.tries += 1;
    run.missing = 0;
}

// The parts whose jobs left the queue: done, or submitted again. Watch::failed once a part has
// failed its last try; Watch::rejoin when one was submitted again.
SlurmEngine::Watch SlurmEngine::watchParts(const std::vector<Part>& parts, const std::set<std::string>& live,
                                           std::string& failure)
{
    Watch watch = Watch::running;
    for (const Part& part : parts) {
        PartRun& run = runs_[part.number];
        if (run.done || live.count(run.job) > 0) {
            continue;
        }
        const std::string name = work_.partName(part);
        const std::optional<JobOutcome> ended = outcome(name);
        if (!ended && ++run.missing < outcomeGrace) {
            continue;
        }
        attempts_.push_back({part.number, ended.value_or(JobOutcome{}), ended.has_value()});
        if (ended && ended->status == 0) {
            run.done = true;
            continue;
        }
        const std::string how = ended ? fmt::format("failed on {} (status {})", ended->node, ended->status)
                                      : std::string("was lost (its job ended without a word)");
        const std::string said = lastLine(readText(work_.at(name + ".err")));
        if (run.tries >= triesPerPart) {
            failure = fmt::format("part {} {}, its {} try{}", part.number, how, run.tries,
                                  said.empty() ? std::string() : ": " + said);
            return Watch::failed;
        }
        fmt::print(stderr, "\ntolva-farm: part {} {}; running it again{}\n", part.number, how,
                   said.empty() ? std::string() : " (it said: " + said + ")");
        fs::remove(work_.at(name + ".status"));
        resubmit(part, run);
        watch = Watch::rejoin;
    }
    return watch;
}

// The sound's job, once it left the queue: Watch::failed if it did not mix the sound.
SlurmEngine::Watch SlurmEngine::watchSound(const std::set<std::string>& live, std::string& failure)
{
    if (mixJob_.empty() || live.count(mixJob_) > 0) {
        return Watch::running;
    }
    const std::optional<JobOutcome> ended = outcome("sound");
    if (!ended && ++mixMissing_ < outcomeGrace) {
        return Watch::running;
    }
    if (!ended || ended->status != 0) {
        failure = "the sound of the range could not be mixed:\n" + readText(work_.at("sound.err"));
        return Watch::failed;
    }
    mixJob_.clear();
    return Watch::running;
}

// The join's job, once it left the queue: Watch::succeeded or Watch::failed by its outcome; one
// cancelled before it ran (a site may cancel a job whose dependency failed) is submitted anew.
SlurmEngine::Watch SlurmEngine::watchJoin(const std::set<std::string>& live, std::string& failure)
{
    if (live.count(joinJob_) > 0) {
        return Watch::running;
    }
    if (const std::optional<JobOutcome> ended = outcome("join")) {
        if (ended->status == 0) {
            return Watch::succeeded;
        }
        failure = fmt::format("the join failed on {} (status {}):\n{}", ended->node, ended->status,
                              readText(work_.at("join.err")));
        return Watch::failed;
    }
    if (++joinMissing_ >= outcomeGrace) {
        if (++joinsLost_ >= triesPerPart) {
            failure = "the join's job ended without a word, every time it was submitted";
            return Watch::failed;
        }
        joinJob_ = submitJoin();
        joinMissing_ = 0;
    }
    return Watch::running;
}

bool SlurmEngine::runParts(const std::vector<Host>& hosts, const std::vector<Part>& parts, const PartOptions& options,
                           const ProgressSink& sink, std::string& failure)
{
    submitAll(hosts, parts, options);
    joinMissing_ = joinsLost_ = mixMissing_ = 0;
    auto nextLook = SteadyClock::now();
    for (;; std::this_thread::sleep_for(std::chrono::milliseconds(200))) {
        checkStop();
        readProgress(parts, sink);
        sink.tick();
        if (SteadyClock::now() < nextLook) {
            continue;
        }
        nextLook = SteadyClock::now() + std::chrono::seconds(1);
        const std::set<std::string> live = queued();
        const Watch onParts = watchParts(parts, live, failure);
        if (onParts == Watch::failed || watchSound(live, failure) == Watch::failed) {
            return false;
        }
        if (onParts == Watch::rejoin) {
            // The join waited for the failed task, which will never succeed now.
            std::string output;
            std::string errors;
            slurm({"scancel", joinJob_}, output, errors);
            joinJob_ = submitJoin();
            joinMissing_ = 0;
            continue;
        }
        if (const Watch onJoin = watchJoin(live, failure); onJoin != Watch::running) {
            return onJoin == Watch::succeeded;
        }
    }
}

std::string SlurmEngine::whereRun() const
{
    std::vector<Attempt> sorted = attempts_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Attempt& a, const Attempt& b) { return a.part < b.part; });
    std::string said;
    for (const Attempt& attempt : sorted) {
        std::string text;
        if (!attempt.ended) {
            text = fmt::format("part {} lost", attempt.part);
        } else if (attempt.outcome.status == 0) {
            text = fmt::format("part {} on {} ({:.1f} s)", attempt.part, attempt.outcome.node, attempt.outcome.seconds);
        } else {
            text = fmt::format("part {} failed on {} (status {}, after {:.1f} s)", attempt.part, attempt.outcome.node,
                               attempt.outcome.status, attempt.outcome.seconds);
        }
        said += (said.empty() ? "" : ", ") + text;
    }
    return said;
}

double SlurmEngine::joinSeconds() { return outcome("join").value_or(JobOutcome{}).seconds; }

void SlurmEngine::sweep()
{
    if (!submitted_) {
        return;
    }
    submitted_ = false;
    std::string output;
    std::string errors;
    slurm({"scancel", "--name=" + work_.token}, output, errors);
    // Cancelled jobs end their processes (SIGTERM, SIGKILL after the site's grace); the work
    // folder goes only once nothing of them can write there any more.
    const auto deadline = SteadyClock::now() + std::chrono::seconds(120);
    while (SteadyClock::now() < deadline) {
        if (slurm({"squeue", "-h", "--name=" + work_.token, "-o", "%i"}, output, errors) == 0 && linesOf(output).empty()) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    fmt::print(stderr, "tolva-farm: jobs named {} are still in Slurm's queue\n", work_.token);
}

} // namespace tolva::farm

#include "ParallelEngine.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace tolva::farm {

std::string probeCommand(const std::string& authority)
{
    const std::string script =
        displayWrapper(authority) +
        "\"$@\" tolva-capture --version; status=$?; rm -f \"/tmp/" + authority + "\"; "
        "if command -v ffmpeg > /dev/null; then ffmpeg -version | head -n 1 | cut -d \" \" -f 1-3; fi; "
        "nproc; exit $status";
    return "sh -c " + shellQuote(script);
}

std::string partCommand(const PartOptions& options)
{
    // The progress on the part's standard output, which parallel brings back; the capture's own
    // standard output (the chapters) is not wanted.
    const std::string video = options.video ? " --out \"$PWD/$name.mp4\"" : "";
    const std::string script =
        "name=$1 from=$2 to=$3; " + displayWrapper("$name.xauth") +
        fmt::format("\"$@\" tolva-capture --fps {} --from \"$from\" ${{to:+--to \"$to\"}}{} --log \"$PWD/$name.jsonl\" "
                    "--progress 3 3>&1 > /dev/null; ",
                    options.fps, video) +
        "status=$?; rm -f \"/tmp/$name.xauth\"; exit $status";
    return "sh -c " + shellQuote(script) + " part {2} {3} {4}";
}

std::optional<std::string> takePartLine(const std::string& line, const ProgressSink& sink)
{
    const auto tab = line.find('\t');
    int part = 0;
    const char* end = line.data() + (tab == std::string::npos ? 0 : tab);
    if (tab == std::string::npos || !std::isdigit(static_cast<unsigned char>(line[0])) ||
        std::from_chars(line.data(), end, part).ptr != end) {
        return line;  // parallel's own
    }
    std::string text = line.substr(tab + 1);
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    if (const auto report = parseProgressJson(text)) {
        sink.report(part, *report);
        return std::nullopt;
    }
    return fmt::format("part {}: {}", part, text);
}

// Waits for the children to end; on a stop, ends them first.
void ParallelEngine::waitAll(std::vector<Child>& children)
{
    bool interrupted = false;
    for (;;) {
        const bool running = std::any_of(children.begin(), children.end(), [](Child& child) {
            return !child.poll();
        });
        if (!running) {
            break;
        }
        if (stop_ != 0 && !interrupted) {
            interrupted = true;
            for (const Child& child : children) {
                child.signal(SIGINT);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (interrupted) {
        throw Stopped{};
    }
}

std::vector<Probe> ParallelEngine::probe(const std::vector<Host>& hosts, bool needEncoder)
{
    std::vector<Child> children;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        const int out = openForChild(work_.at(fmt::format("probe-{}.out", k)));
        const int err = openForChild(work_.at(fmt::format("probe-{}.err", k)));
        Host host = hosts[k];
        host.slots = host.slots.value_or(1);  // so that parallel asks nothing more of it
        children.emplace_back(work_.launch({"parallel", "--will-cite", "--sshlogin", host.line(), "--nonall",
                                            "--timeout", "300",
                                            probeCommand(fmt::format("{}-probe-{}.xauth", work_.token, k))},
                                           out, err));
        ::close(out);
        ::close(err);
    }
    waitAll(children);
    std::vector<Probe> probes;
    for (std::size_t k = 0; k < hosts.size(); ++k) {
        probes.push_back(readProbe(readText(work_.at(fmt::format("probe-{}.out", k))),
                                   readText(work_.at(fmt::format("probe-{}.err", k))), children[k].wait(),
                                   needEncoder));
    }
    return probes;
}

std::vector<std::string> ParallelEngine::command(const std::vector<Host>& hosts, const std::vector<Part>& parts,
                                                 const PartOptions& options)
{
    std::string hostLines;
    for (const Host& host : hosts) {
        hostLines += host.line() + "\n";
    }
    writeText(work_.at("hosts"), hostLines);
    std::string table;
    for (const Part& part : parts) {
        table += fmt::format("{}\t{}\t{}\t{}\n", part.number, work_.partName(part), secondsOf(part.first, options.fps),
                             part.openEnd ? "" : secondsOf(part.last, options.fps));
    }
    writeText(work_.at("parts"), table);

    std::vector<std::string> command = {
        "parallel", "--will-cite", "--sshloginfile", work_.at("hosts").string(), "--colsep", "\t",
        // A part lost with its host, or killed there, runs again on another; one failing for good
        // stops the others.
        "--retries", "3", "--halt", "now,fail=1", "--joblog", work_.at("joblog").string(),
        "--line-buffer", "--tagstring", "{1}"};
    // The files of parts done elsewhere come back and go from there (this machine's are here).
    if (std::any_of(hosts.begin(), hosts.end(), [](const Host& host) { return host.login != ":"; })) {
        command.insert(command.end(), {"--return", "{2}.jsonl", "--cleanup"});
        if (options.video) {
            command.insert(command.end(), {"--return", "{2}.mp4"});
        }
    }
    command.insert(command.end(), {"--arg-file", work_.at("parts").string(), partCommand(options)});
    return command;
}

namespace {

// Lines as they come from a pipe, each handed on whole.
struct LineReader {
    int fd;
    std::string pending;
    bool open = true;

    template <class Take>
    void read(Take take)
    {
        char chunk[4096];
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got <= 0) {
            open = got < 0 && errno == EINTR;
            return;
        }
        pending.append(chunk, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            take(pending.substr(0, end));
        }
    }
};

} // namespace

// Reads parallel's output (the parts' progress) and errors (their messages, and its own) until
// it ends; its exit status.
int ParallelEngine::follow(Child& parallel, int output, int errors, const ProgressSink& sink)
{
    const auto take = [&sink](const std::string& line) {
        if (const auto said = takePartLine(line, sink)) {
            fmt::print(stderr, "tolva-farm: {}\n", *said);
        }
    };
    std::vector<LineReader> readers = {{output, {}}, {errors, {}}};
    bool interrupted = false;
    while (std::any_of(readers.begin(), readers.end(), [](const LineReader& reader) { return reader.open; })) {
        if (stop_ != 0 && !interrupted) {
            interrupted = true;
            parallel.signal(SIGINT);  // parallel ends every part, on every host
        }
        std::vector<pollfd> pollers;
        for (const LineReader& reader : readers) {
            pollers.push_back({reader.open ? reader.fd : -1, POLLIN, 0});
        }
        if (poll(pollers.data(), pollers.size(), 200) > 0) {
            for (std::size_t k = 0; k < readers.size(); ++k) {
                if (pollers[k].revents != 0) {
                    readers[k].read(take);
                }
            }
        }
        if (!interrupted) {
            sink.tick();
        }
    }
    const int status = parallel.wait();
    if (interrupted) {
        throw Stopped{};
    }
    return status;
}

bool ParallelEngine::runParts(const std::vector<Host>& hosts, const std::vector<Part>& parts,
                              const PartOptions& options, const ProgressSink& sink, std::string& failure)
{
    hosts_ = hosts;
    const std::vector<std::string> argv = command(hosts, parts, options);
    Pipe output;
    Pipe errors;
    Child parallel(work_.launch(argv, output.writeFd, errors.writeFd));
    output.closeWrite();
    errors.closeWrite();
    if (follow(parallel, output.readFd, errors.readFd, sink) == 0) {
        return true;
    }
    failure = "a part failed on every host it was tried on (parallel's job log follows)\n" +
              readText(work_.at("joblog"));
    if (!failure.empty() && failure.back() == '\n') {
        failure.pop_back();
    }
    return false;
}

std::string ParallelEngine::whereRun() const { return farm::whereRun(readText(work_.at("joblog"))); }

// What a part left on a host when it was stopped, killed or lost there (the files of parts that
// finished came back and were removed), once its processes have gone: all of it has the work
// folder's name.
void ParallelEngine::sweep()
{
    std::vector<Child> children;
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    for (const Host& host : hosts_) {
        if (host.login == ":") {
            continue;  // this machine's parts worked in the work folder
        }
        children.emplace_back(work_.launch({"parallel", "--will-cite", "--sshlogin", host.line(), "--nonall",
                                            "--timeout", "60",
                                            fmt::format("sleep 1; rm -f -- {0}-* /tmp/{0}-*", work_.token)},
                                           -1, quiet));
    }
    ::close(quiet);
    for (Child& child : children) {
        child.wait();
    }
    hosts_.clear();
}

} // namespace tolva::farm

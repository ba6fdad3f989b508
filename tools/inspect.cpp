// tolva-inspect: runs the show's own code on virtual time, with no window, and prints what it did.
//
//   tolva-inspect voices DIR                         the four tones as raw int16, and wanderText's colour
//   tolva-inspect timeline period_us=N startup_us=N  one JSON line per frame-loop iteration
//   tolva-inspect scene N name=value ... [frames=K]  the draw list of one step of scene N

#include "driver/Desktop.h"
#include "driver/Show.h"
#include "render/Json.h"
#include "render/Recorder.h"
#include "sound/Voices.h"
#include "worktime/FrameRange.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tolva;

// A command line the inspector refuses (status 2), as opposed to a run that fails (status 1).
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Settings {
    std::map<std::string, std::string> values;

    static Settings parse(const std::vector<std::string>& words)
    {
        Settings settings;
        for (const std::string& word : words) {
            const auto eq = word.find('=');
            if (eq == std::string::npos || eq == 0) {
                throw Refusal("expected name=value, got '" + word + "'");
            }
            settings.values[word.substr(0, eq)] = word.substr(eq + 1);
        }
        return settings;
    }

    std::optional<std::string> take(const std::string& name)
    {
        const auto it = values.find(name);
        if (it == values.end()) {
            return std::nullopt;
        }
        std::string value = it->second;
        values.erase(it);
        return value;
    }

    std::optional<double> takeNumber(const std::string& name)
    {
        const auto text = take(name);
        if (!text) {
            return std::nullopt;
        }
        std::size_t used = 0;
        double value = 0;
        try {
            value = std::stod(*text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != text->size()) {
            throw Refusal(name + ": not a number: '" + *text + "'");
        }
        return value;
    }

    // A number that must be finite and within [low, high], and whole if asked: the inspector turns
    // these into integers (microseconds, counts), which is undefined for anything else.
    std::optional<double> takeBounded(const std::string& name, double low, double high,
                                      bool whole = false)
    {
        const auto value = takeNumber(name);
        if (value && !(std::isfinite(*value) && *value >= low && *value <= high
                       && (!whole || std::trunc(*value) == *value))) {
            throw Refusal(fmt::format("{} must be {}from {} to {}, got {}", name,
                                      whole ? "a whole number " : "", low, high, *value));
        }
        return value;
    }

    void expectEmpty() const
    {
        if (!values.empty()) {
            throw Refusal("unknown name: " + values.begin()->first);
        }
    }
};

// Clock readings and deltas in seconds; a billion of them is far past any state of the show.
constexpr double maxSeconds = 1e9;
// Virtual time in whole microseconds: up to an hour a step.
constexpr double maxMicroseconds = 3.6e9;

// Only for values checked to lie within maxSeconds.
sf::Time seconds(double s) { return sf::microseconds(static_cast<sf::Int64>(s * 1e6 + (s < 0 ? -0.5 : 0.5))); }

std::optional<sf::Time> takeSeconds(Settings& settings, const std::string& name)
{
    const auto value = settings.takeBounded(name, -maxSeconds, maxSeconds);
    return value ? std::optional<sf::Time>(seconds(*value)) : std::nullopt;
}

void requireDisplay()
{
    if (const std::string problem = displayProblem(); !problem.empty()) {
        throw std::runtime_error(problem + " (fonts and textures need one: run under Xvfb)");
    }
}

int runVoices(const std::string& dir)
{
    const FirstThree three = computeFirstThree();
    const SampleArray four = computeFourth();
    const std::vector<const SampleArray*> arrays = {&three.one, &three.two, &three.three, &four};
    for (std::size_t k = 0; k < arrays.size(); ++k) {
        const std::string path = fmt::format("{}/voice{}.raw", dir, k + 1);
        std::ofstream out(path, std::ios::binary);
        for (sf::Int16 sample : *arrays[k]) {
            const auto bits = static_cast<std::uint16_t>(sample);
            const char bytes[2] = {static_cast<char>(bits & 0xff), static_cast<char>(bits >> 8)};
            out.write(bytes, 2);
        }
        if (!out) {
            throw std::runtime_error("cannot write " + path);
        }
    }
    const int s1 = four[1], s2 = four[2], s3 = four[3];
    fmt::print("wanderText colour: [{},{},{},255]\n", (s3 * 25) & 0xff, (s2 * 25) & 0xff,
               (s1 * 5) & 0xff);
    return 0;
}

int runTimeline(Settings settings)
{
    const auto period = settings.takeBounded("period_us", 1, maxMicroseconds, true);
    const auto startup = settings.takeBounded("startup_us", 0, maxMicroseconds, true);
    const double limit = settings.takeBounded("max_iterations", 1, 1e9, true).value_or(2e6);
    settings.expectEmpty();
    if (!period || !startup) {
        throw Refusal("timeline needs period_us and startup_us");
    }
    requireDisplay();

    ManualTimeSource time;
    ShowState state(time);
    Recorder recorder(false);
    Show show(state, recorder);
    time.advance(sf::microseconds(static_cast<sf::Int64>(*startup)));
    for (long iteration = 0; recorder.isOpen(); ++iteration) {
        if (static_cast<double>(iteration) >= limit) {
            throw std::runtime_error("the show did not end within max_iterations");
        }
        if (iteration > 0) {
            time.advance(sf::microseconds(static_cast<sf::Int64>(*period)));
        }
        const unsigned framesBefore = recorder.framesPresented();
        const IterationReport report = show.iterate(recorder, false);
        std::vector<std::vector<std::string>> cues;
        for (const SoundOp& cue : recorder.only<SoundOp>()) {
            cues.push_back({soundName(cue.id), cue.play ? "play" : "stop"});
        }
        recorder.forget();
        std::vector<float> countdowns(state.countdown.begin(), state.countdown.end());
        fmt::print("{}\n", JsonLine()
                               .add("iteration", iteration)
                               .add("scenes", report.scenes)
                               .add("cues", cues)
                               .add("countdowns", countdowns)
                               .add("sceneTime", state.sceneTime)
                               .add("warpTime", state.warpTime)
                               .add("frames", recorder.framesPresented() - framesBefore)
                               .str());
    }
    return 0;
}

int runScene(int scene, Settings settings)
{
    if (scene < 0 || scene > static_cast<int>(sceneCount)) {
        throw Refusal(fmt::format("scene must be 0 to {}", sceneCount));
    }
    const long frames = static_cast<long>(settings.takeBounded("frames", 1, 1e6, true).value_or(1));
    const sf::Time frameDelta = takeSeconds(settings, "frameDelta").value_or(seconds(1.0 / 60));
    const sf::Time midFrameDelta = takeSeconds(settings, "midFrameDelta").value_or(sf::Time::Zero);
    const auto fuseTick = takeSeconds(settings, "fuseTick");
    requireDisplay();
    ManualTimeSource time;
    ShowState state(time);
    Recorder recorder(true);
    Show show(state, recorder);

    for (auto& [name, value] : show.floatValues()) {
        if (const auto given = settings.takeNumber(name)) {
            *value = static_cast<float>(*given);
        }
    }
    for (auto& [name, flag] : show.flagValues()) {
        if (const auto given = settings.take(name)) {
            *flag = *given == "true" || *given == "1";
        }
    }
    auto clocks = show.clocks();
    clocks.erase("fuseTick");
    for (auto& [name, clock] : clocks) {
        if (const auto given = takeSeconds(settings, name)) {
            clock->setElapsed(*given);
        }
    }
    settings.expectEmpty();

    state.frameDelta = frameDelta;
    for (long k = 0; k < frames; ++k) {
        if (k > 0) {
            time.advance(frameDelta);  // the clocks that run on see a frame pass
        }
        recorder.forget();
        state.frameClock.setElapsed(midFrameDelta);
        if (fuseTick) {
            show.scenes.polygonGrids.fuseClock.setElapsed(*fuseTick);
        }
        show.run(scene, recorder);
    }
    for (const RecordedOp& op : recorder.ops()) {
        fmt::print("{}\n", toJson(op));
    }
    JsonLine line;
    line.add("op", "state");
    for (const auto& [name, value] : show.floatValues()) {
        line.add(name, *value);
    }
    for (const auto& [name, flag] : show.flagValues()) {
        line.add(name, *flag);
    }
    fmt::print("{}\n", line.str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Runs the show's code on virtual time and prints what it did."};
    app.require_subcommand(1);

    std::string voicesDir;
    auto* voices = app.add_subcommand("voices", "write voice1.raw ... voice4.raw to DIR");
    voices->add_option("DIR", voicesDir, "folder to write to")->required();

    std::vector<std::string> timelineArgs;
    auto* timeline = app.add_subcommand("timeline", "one JSON line per iteration of the frame loop");
    timeline->add_option("settings", timelineArgs, "period_us=N startup_us=N [max_iterations=N]");

    int sceneNumber = 0;
    std::vector<std::string> sceneArgs;
    auto* scene = app.add_subcommand("scene", "the draw list of one step of a scene");
    scene->add_option("N", sceneNumber, "scene number, 0 to 8")->required();
    scene->add_option("settings", sceneArgs, "name=value ... [frames=K]");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }
    try {
        if (*voices) {
            return runVoices(voicesDir);
        }
        if (*timeline) {
            return runTimeline(Settings::parse(timelineArgs));
        }
        return runScene(sceneNumber, Settings::parse(sceneArgs));
    } catch (const Refusal& refusal) {
        fmt::print(stderr, "tolva-inspect: {}\n", refusal.what());
        return 2;
    } catch (const std::exception& error) {
        fmt::print(stderr, "tolva-inspect: {}\n", error.what());
        return 1;
    }
}

// tolva-step-bench: the time of one scene's step (formulas, shape updates, the batch and its draw
// plan, sent nowhere), built natively and for node alike so that the two can be set side by side.
//
//   tolva-step-bench SCENE name=value ... [frames=K] [runs=R]
//
// Starts the show on virtual time, sets the named values (as tolva-inspect does), runs K steps
// R times (a frame of virtual time passing before each) after as many steps to warm up, and
// prints each run's mean step in microseconds and their median.

#include "driver/Show.h"
#include "render/Batch.h"
#include "render/DrawPlan.h"
#include "render/Recorder.h"

#include <SFML/Graphics/View.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace tolva;

// The show's canvas without a target: what BatchCanvas does with none.
class PlanCanvas final : public Canvas {
public:
    PlanCanvas()
    {
        batch_.setView(sf::View(sf::FloatRect(0, 0, 1920, 1080)).getTransform(), 1.0f);
    }
    void clear(sf::Color) override { batch_.clear(); }
    void draw(const Circle& circle, CellRef) override { batch_.add(circle); }
    void draw(const Rect& rect, CellRef) override { batch_.add(rect); }
    void draw(const sf::Text& text, ObjectRef, const sf::Shader* shader) override
    {
        if (shader != nullptr || !batch_.add(text)) {
            flush();
        }
    }
    void draw(const sf::Sprite&, ObjectRef) override { flush(); }
    void setUniform(sf::Shader& shader, const char* name, float value) override { shader.setUniform(name, value); }
    void setUniform(sf::Shader& shader, const char* name, sf::Glsl::Vec2 value) override
    {
        shader.setUniform(name, value);
    }
    void display() override { flush(); }
    bool isOpen() const override { return true; }
    void close() override {}
    std::size_t calls() const { return calls_; }

private:
    struct Nowhere : TargetTraits {
        bool hasStencil() override { return true; }
        bool rastersOnProcessor() override { return false; }
    };
    void flush()
    {
        if (!batch_.empty()) {
            plan_.make(batch_, Drawing::cheapest, {1920, 1080}, nowhere_);
            calls_ += plan_.calls().size();
        }
        batch_.clear();
    }

    Batch batch_;
    DrawPlan plan_;
    Nowhere nowhere_;
    std::size_t calls_ = 0;
};

struct Settings {
    int scene = 0;
    long frames = 200;
    long runs = 5;
    std::map<std::string, std::string> values;
};

Settings parse(int argc, char** argv)
{
    Settings settings;
    settings.scene = std::atoi(argv[1]);
    for (int k = 2; k < argc; ++k) {
        const std::string word = argv[k];
        const auto eq = word.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        settings.values[word.substr(0, eq)] = word.substr(eq + 1);
    }
    if (settings.values.count("runs")) {
        settings.runs = std::max(1L, std::atol(settings.values["runs"].c_str()));
        settings.values.erase("runs");
    }
    if (settings.values.count("frames")) {
        settings.values.erase("frames");  // a moment's own frame count; the bench sets its own
    }
    if (settings.values.count("steps")) {
        settings.frames = std::max(1L, std::atol(settings.values["steps"].c_str()));
        settings.values.erase("steps");
    }
    return settings;
}

void apply(Show& show, const std::map<std::string, std::string>& values)
{
    for (auto& [name, value] : show.floatValues()) {
        if (const auto given = values.find(name); given != values.end()) {
            *value = static_cast<float>(std::strtod(given->second.c_str(), nullptr));
        }
    }
    for (auto& [name, flag] : show.flagValues()) {
        if (const auto given = values.find(name); given != values.end()) {
            *flag = given->second == "true" || given->second == "1";
        }
    }
    for (auto& [name, clock] : show.clocks()) {
        if (const auto given = values.find(name); given != values.end()) {
            const double seconds = std::strtod(given->second.c_str(), nullptr);
            clock->setElapsed(sf::microseconds(static_cast<sf::Int64>(seconds * 1e6)));
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tolva-step-bench SCENE name=value ... [steps=K] [runs=R]\n");
        return 2;
    }
    const Settings settings = parse(argc, argv);
    ManualTimeSource time;
    ShowState state(time);
    Recorder deck(false);
    Show show(state, deck);
    apply(show, settings.values);
    state.frameDelta = sf::microseconds(16667);
    PlanCanvas canvas;
    std::vector<double> means;
    for (long run = 0; run <= settings.runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (long k = 0; k < settings.frames; ++k) {
            time.advance(state.frameDelta);
            show.run(settings.scene, canvas);
        }
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        if (run > 0) {  // the first run warms up
            means.push_back(took.count() / static_cast<double>(settings.frames));
        }
    }
    std::vector<double> sorted = means;
    std::sort(sorted.begin(), sorted.end());
    std::printf("scene %d: median %.1f us a step over %ld runs of %ld steps (", settings.scene,
                sorted[sorted.size() / 2], settings.runs, settings.frames);
    for (std::size_t k = 0; k < means.size(); ++k) {
        std::printf("%s%.1f", k ? " " : "", means[k]);
    }
    std::printf(")\n");
    return 0;
}

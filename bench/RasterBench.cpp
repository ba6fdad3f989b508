// Rasterizing one real frame of each scene on the GL the benchmark runs on (llvmpipe under Xvfb
// here): painter's order against the show's own order, which leaves out what opaque shapes hide.
// The frame is gathered from a tape of the scene's step, so formulas are not timed; the batch's
// building, the draw calls and the rasterizing (to glFinish) are.

#include "BenchShow.h"
#include "render/FrameTape.h"
#include "render/Letterbox.h"
#include "support/SceneMoments.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/Context.hpp>

#include <map>
#include <memory>
#include <string>

namespace {

using namespace tolva;

using Finish = void (*)();

// The moment's frame, taped once.
const FrameTape* tapeOf(benchmark::State& run, const testing::SceneMoment& moment)
{
    static std::map<std::string, std::unique_ptr<FrameTape>> tapes;
    auto& tape = tapes[moment.name];
    if (!tape) {
        auto* shared = bench::benchShow<ManualTimeSource>(run);
        if (shared == nullptr) {
            return nullptr;
        }
        tape = std::make_unique<FrameTape>();
        testing::playMoment(shared->show, shared->time, moment, *tape);
    }
    return tape.get();
}

void rasterizeFrame(benchmark::State& run, const testing::SceneMoment& moment, bool dropHidden)
{
    const FrameTape* tape = tapeOf(run, moment);
    if (tape == nullptr) {
        return;
    }
    static sf::RenderTexture target;
    static const bool created = target.create(showWidth, showHeight);
    if (!created) {
        run.SkipWithError("cannot create a render texture");
        return;
    }
    target.setActive(true);
    const auto finish = reinterpret_cast<Finish>(sf::Context::getFunction("glFinish"));
    BatchCanvas canvas(&target, nullptr);
    canvas.setDropHidden(dropHidden);
    for (auto _ : run) {
        tape->replay(canvas);
        target.display();
        finish();
    }
    run.counters["shapes"] = static_cast<double>(tape->shapes());
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

const bool registered = [] {
    for (const testing::SceneMoment& moment : testing::sceneMoments()) {
        for (const bool dropHidden : {false, true}) {
            const std::string name = std::string("RasterFrame/") + moment.name
                                     + (dropHidden ? "/shown" : "/painter");
            benchmark::RegisterBenchmark(name.c_str(), [&moment, dropHidden](benchmark::State& run) {
                rasterizeFrame(run, moment, dropHidden);
            })->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

} // namespace

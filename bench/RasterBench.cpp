// Rasterizing one real frame of each scene on the GL the benchmark runs on (llvmpipe under Xvfb
// here): painter's order against the show's own drawing, which leaves out what opaque shapes hide.
// The frame is gathered from a tape of the scene's step, so formulas are not timed; the batch's
// building, the draw calls and the rasterizing (to glFinish) are. The counter `screens` is what
// the frame paints, whatever GPU draws it: the fragments written (an occlusion query around the
// frame) over the picture's 1920 x 1080 pixels.

#include "BenchShow.h"
#include "render/BatchCanvas.h"
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
using GenQueries = void (*)(GLsizei, GLuint*);
using BeginQuery = void (*)(GLenum, GLuint);
using EndQuery = void (*)(GLenum);
using QueryResult = void (*)(GLuint, GLenum, GLuint*);

constexpr GLenum samplesPassed = 0x8914;  // GL_SAMPLES_PASSED
constexpr GLenum queryResult = 0x8866;    // GL_QUERY_RESULT

template <class Function>
Function glFunction(const char* name)
{
    return reinterpret_cast<Function>(sf::Context::getFunction(name));
}

// Fragments the canvas writes for one replay of the tape (none counted where GL has no query).
double fragmentsOf(const FrameTape& tape, BatchCanvas& canvas, sf::RenderTexture& target)
{
    static const auto gen = glFunction<GenQueries>("glGenQueries");
    static const auto begin = glFunction<BeginQuery>("glBeginQuery");
    static const auto end = glFunction<EndQuery>("glEndQuery");
    static const auto result = glFunction<QueryResult>("glGetQueryObjectuiv");
    if (gen == nullptr || begin == nullptr || end == nullptr || result == nullptr) {
        return 0;
    }
    static GLuint query = 0;
    if (query == 0) {
        gen(1, &query);
    }
    target.setActive(true);
    begin(samplesPassed, query);
    tape.replay(canvas);
    target.setActive(true);
    end(samplesPassed);
    GLuint fragments = 0;
    result(query, queryResult, &fragments);
    target.display();
    return static_cast<double>(fragments);
}

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

void rasterizeFrame(benchmark::State& run, const testing::SceneMoment& moment, Drawing drawing)
{
    const FrameTape* tape = tapeOf(run, moment);
    if (tape == nullptr) {
        return;
    }
    static sf::RenderTexture target;
    static const bool created = target.create(showWidth, showHeight, BatchCanvas::targetSettings());
    if (!created) {
        run.SkipWithError("cannot create a render texture");
        return;
    }
    target.setActive(true);
    const auto finish = reinterpret_cast<Finish>(sf::Context::getFunction("glFinish"));
    BatchCanvas canvas(&target, nullptr);
    canvas.setDrawing(drawing);
    for (auto _ : run) {
        tape->replay(canvas);
        target.display();
        finish();
    }
    const double fragments = fragmentsOf(*tape, canvas, target);
    run.counters["screens"] = fragments / (static_cast<double>(showWidth) * static_cast<double>(showHeight));
    run.counters["shapes"] = static_cast<double>(tape->shapes());
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

const bool registered = [] {
    for (const testing::SceneMoment& moment : testing::sceneMoments()) {
        for (const auto drawing : {Drawing::painter, Drawing::cheapest}) {
            const std::string name = std::string("RasterFrame/") + moment.name
                                     + (drawing == Drawing::cheapest ? "/shown" : "/painter");
            benchmark::RegisterBenchmark(name.c_str(), [&moment, drawing](benchmark::State& run) {
                rasterizeFrame(run, moment, drawing);
            })->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

} // namespace

// One step of scene 5 (polygon grids) and of scene 6 (square lattice): formulas, shape updates and
// building the batch, with no rasterizing. The Show is built once, under an X display.

#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Recorder.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tolva;

// Notes how many draw calls each frame took before the batch canvas forgets it.
class CountingCanvas final : public BatchCanvas {
public:
    CountingCanvas() : BatchCanvas(nullptr, nullptr) {}
    void display() override
    {
        flush();
        lastFrameDrawCalls = drawCalls();
        BatchCanvas::display();
    }
    unsigned lastFrameDrawCalls = 0;
};

struct Stage {
    ManualTimeSource time;
    ShowState state{time};
    Recorder deck{false};
    Show show{state, deck};
    CountingCanvas canvas;
};

Stage* stage()
{
    static std::unique_ptr<Stage> built;
    if (!built && displayAvailable()) {
        built = std::make_unique<Stage>();
    }
    return built.get();
}

constexpr sf::Int64 frameMicroseconds = 16667;

void polygonGridsStep(benchmark::State& run)
{
    Stage* s = stage();
    if (s == nullptr) {
        run.SkipWithError("needs an X display (run under Xvfb)");
        return;
    }
    s->state.frameDelta = sf::microseconds(frameMicroseconds);
    s->show.objects.gridTime = 0.0f;
    s->show.objects.colourFuse = 100.0f;
    for (auto _ : run) {
        s->time.advance(sf::microseconds(frameMicroseconds));
        s->show.polygonGrids.step(s->state, s->canvas, s->deck);
        if (s->show.objects.gridTime > 117.0f) {  // the range the scene covers at 60 fps
            s->show.objects.gridTime = 0.0f;
        }
    }
    run.counters["drawCalls"] = s->canvas.lastFrameDrawCalls;
}

void latticeStep(benchmark::State& run)
{
    Stage* s = stage();
    if (s == nullptr) {
        run.SkipWithError("needs an X display (run under Xvfb)");
        return;
    }
    s->state.frameDelta = sf::microseconds(frameMicroseconds);
    s->state.countdown[6] = 16.0f;  // inside both windows: a picture, a line and the lattice
    s->show.objects.latticeTime = 0.0f;
    for (auto _ : run) {
        s->time.advance(sf::microseconds(frameMicroseconds));
        s->show.lattice.step(s->state, s->canvas, s->deck);
        s->state.countdown[6] = 16.0f;
        if (s->show.objects.latticeTime > 54.0f) {  // about where the scene ends
            s->show.objects.latticeTime = 0.0f;
        }
    }
    run.counters["drawCalls"] = s->canvas.lastFrameDrawCalls;
}

BENCHMARK(polygonGridsStep)->Unit(benchmark::kMillisecond);
BENCHMARK(latticeStep)->Unit(benchmark::kMillisecond);

} // namespace

// Scenes 7 and 8, one step at a time: formulas, shape updates and building the batch, with the
// batch sent nowhere (no rasterizing). Needs an X display for the show's objects (run under Xvfb).

#include "BenchShow.h"
#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Recorder.h"
#include "scenes/VortexFormulas.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tolva;
using namespace tolva::vortex;

// A step of scene 7 in the state of a frame `k` frames into the scene (k cycling over the
// scene's 2,950 frames at 60 per second), with the field shown; tail from countdown7 < 6.
void runVortexStep(benchmark::State& run, float countdown)
{
    auto* shared = bench::benchShow<ManualTimeSource>(run);
    if (shared == nullptr) {
        return;
    }
    auto& b = *shared;
    BatchCanvas& canvas = b.canvas;
    b.state.frameDelta = sf::seconds(1.0f / 60);
    long k = 0;
    for (auto _ : run) {
        const float frames = static_cast<float>(k % 1700);  // vortexTime stays below 60
        b.state.countdown[7] = countdown;
        b.show.scenes.vortex.vortexTime = frames * 0.035f;
        b.show.scenes.shared.gridTime = 117.0f + frames * 0.5f;
        b.show.run(7, canvas);
        ++k;
    }
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

void VortexStepFieldShown(benchmark::State& run) { runVortexStep(run, 30.0f); }
void VortexStepFieldHidden(benchmark::State& run) { runVortexStep(run, 50.0f); }
void VortexStepTail(benchmark::State& run) { runVortexStep(run, 5.0f); }

// The cells alone, the plain definition against the hoisted terms.
void VortexCellsPlain(benchmark::State& run)
{
    float vortexTime = 20.0f;
    for (auto _ : run) {
        for (int i = 1; i <= vortexSide; ++i) {
            for (int j = 1; j <= vortexSide; ++j) {
                benchmark::DoNotOptimize(
                    vortexCell(static_cast<float>(i), static_cast<float>(j), vortexTime));
            }
        }
        vortexTime += 0.035f;
    }
}

void VortexCellsTerms(benchmark::State& run)
{
    VortexTerms terms;
    float vortexTime = 20.0f;
    for (auto _ : run) {
        terms.beginFrame(vortexTime);
        for (int i = 1; i <= vortexSide; ++i) {
            for (int j = 1; j <= vortexSide; ++j) {
                benchmark::DoNotOptimize(terms.cell(i, j));
            }
        }
        vortexTime += 0.035f;
    }
}

void FieldCellsPlain(benchmark::State& run)
{
    float gridTime = 600.0f;
    for (auto _ : run) {
        for (int i = 1; i <= fieldSide; ++i) {
            for (int j = 1; j <= fieldSide; ++j) {
                benchmark::DoNotOptimize(
                    fieldCell(static_cast<float>(i), static_cast<float>(j), gridTime, false));
            }
        }
        gridTime += 0.5f;
    }
}

void FieldCellsTerms(benchmark::State& run)
{
    FieldTerms terms;
    float gridTime = 600.0f;
    for (auto _ : run) {
        terms.beginFrame(gridTime, false);
        for (int i = 1; i <= fieldSide; ++i) {
            for (int j = 1; j <= fieldSide; ++j) {
                benchmark::DoNotOptimize(terms.cell(i, j));
            }
        }
        gridTime += 0.5f;
    }
}

// A step of scene 8 in its text window (the sprite and the text drawn).
void EndingStep(benchmark::State& run)
{
    auto* shared = bench::benchShow<ManualTimeSource>(run);
    if (shared == nullptr) {
        return;
    }
    auto& b = *shared;
    BatchCanvas& canvas = b.canvas;
    b.state.frameDelta = sf::seconds(1.0f / 60);
    for (auto _ : run) {
        b.state.countdown[8] = 13.0f;
        b.show.run(8, canvas);
    }
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

BENCHMARK(VortexStepFieldShown)->Unit(benchmark::kMillisecond);
BENCHMARK(VortexStepFieldHidden)->Unit(benchmark::kMillisecond);
BENCHMARK(VortexStepTail)->Unit(benchmark::kMillisecond);
BENCHMARK(VortexCellsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(VortexCellsTerms)->Unit(benchmark::kMillisecond);
BENCHMARK(FieldCellsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(FieldCellsTerms)->Unit(benchmark::kMillisecond);
BENCHMARK(EndingStep)->Unit(benchmark::kMicrosecond);

} // namespace

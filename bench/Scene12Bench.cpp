// Scenes 1 and 2, one step at a time: formulas, shape updates and building the batch, with the
// batch sent nowhere (no rasterizing). Needs an X display for the show's objects (run under Xvfb).

#include "BenchShow.h"
#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Recorder.h"
#include "scenes/ColumnCascadeFormulas.h"
#include "scenes/SpiralGridFormulas.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tolva;
using namespace tolva::spiral;
using namespace tolva::cascade;

// Scene 1 at a given sceneTime (credits, title or neither), warpTime held where the colours wrap.
void runSpiral(benchmark::State& run, float sceneTime)
{
    // On the steady clock, so that scene 2's per-square clock readings cost what they do in the show.
    auto* b = bench::benchShow<SteadyTimeSource>(run);
    if (b == nullptr) {
        return;
    }
    BatchCanvas& canvas = b->canvas;
    b->state.frameDelta = sf::microseconds(16667);
    b->state.scene1Pending = false;
    for (auto _ : run) {
        b->state.countdown[1] = 40.0f;
        b->state.warpTime = 420.0f;
        b->state.sceneTime = sceneTime;
        b->state.voiceOneOn = sceneTime > 21.0f && sceneTime < 29.0f;
        b->show.run(1, canvas);
    }
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

void SpiralGridStepCredits(benchmark::State& run) { runSpiral(run, 12.0f); }
void SpiralGridStepTitle(benchmark::State& run) { runSpiral(run, 25.0f); }

// Scene 2 with the squares still (first three seconds) or moving; columnTime and cascadeTime
// move on as in the show and are set back every 600 frames.
void runCascade(benchmark::State& run, float countdown)
{
    // On the steady clock, so that scene 2's per-square clock readings cost what they do in the show.
    auto* b = bench::benchShow<SteadyTimeSource>(run);
    if (b == nullptr) {
        return;
    }
    BatchCanvas& canvas = b->canvas;
    b->state.frameDelta = sf::microseconds(16667);
    b->state.scene2Pending = false;
    long k = 0;
    for (auto _ : run) {
        if (k % 600 == 0) {
            b->show.scenes.columnCascade.columnTime = 120.0f;
            b->show.scenes.columnCascade.cascadeTime = 60.0f;
        }
        b->state.countdown[1] = -1.0f;
        b->state.countdown[2] = countdown;
        b->state.sceneTime = 36.0f - countdown;
        b->show.run(2, canvas);
        ++k;
    }
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

void ColumnCascadeStepStill(benchmark::State& run) { runCascade(run, 34.5f); }
void ColumnCascadeStepMoving(benchmark::State& run) { runCascade(run, 20.0f); }

// The cells alone through the plain formulas, for comparison with the steps above.
void SpiralCellsPlain(benchmark::State& run)
{
    for (auto _ : run) {
        for (int i = 1; i <= spiralCells; ++i) {
            for (int j = 1; j <= spiralCells; ++j) {
                benchmark::DoNotOptimize(
                    spiralCell(static_cast<float>(i), static_cast<float>(j), 420.0f));
            }
        }
    }
}

void CascadeCellsPlain(benchmark::State& run)
{
    for (auto _ : run) {
        for (int i = 1; i <= columnCells; ++i) {
            for (int j = 1; j <= columnCells; ++j) {
                benchmark::DoNotOptimize(
                    columnCell(static_cast<float>(i), static_cast<float>(j), 120.0f));
            }
        }
        for (int a = 1; a <= cascadeCells; ++a) {
            for (int c = 1; c <= cascadeCells; ++c) {
                benchmark::DoNotOptimize(cascadeCell(a, c, 60.0f, 20.0f));
            }
        }
    }
}

// The same cells through the fast paths the steps use.
void SpiralCellsTerms(benchmark::State& run)
{
    SpiralTerms terms;
    for (auto _ : run) {
        terms.beginFrame(420.0f);
        forCells(spiralCells, [&](int i, int j) { benchmark::DoNotOptimize(terms.cell(i, j)); });
    }
}

void CascadeCellsTerms(benchmark::State& run)
{
    ColumnTerms columns;
    CascadeTerms squares;
    for (auto _ : run) {
        columns.beginFrame(120.0f);
        forCells(columnCells, [&](int i, int j) { benchmark::DoNotOptimize(columns.cell(i, j)); });
        squares.beginFrame(20.0f);
        forCells(cascadeCells, [&](int a, int c) { benchmark::DoNotOptimize(squares.cell(a, c, 60.0f)); });
    }
}

} // namespace

BENCHMARK(SpiralGridStepCredits)->Unit(benchmark::kMillisecond);
BENCHMARK(SpiralGridStepTitle)->Unit(benchmark::kMillisecond);
BENCHMARK(ColumnCascadeStepStill)->Unit(benchmark::kMillisecond);
BENCHMARK(ColumnCascadeStepMoving)->Unit(benchmark::kMillisecond);
BENCHMARK(SpiralCellsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(CascadeCellsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(SpiralCellsTerms)->Unit(benchmark::kMillisecond);
BENCHMARK(CascadeCellsTerms)->Unit(benchmark::kMillisecond);

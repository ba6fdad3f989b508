// One step of scene 5 (polygon grids) and of scene 6 (square lattice): formulas, shape updates and
// building the batch, with no rasterizing. The Show is built once, under an X display.

#include "BenchShow.h"
#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Recorder.h"
#include "scenes/LatticeFormulas.h"
#include "scenes/PolygonGridsFormulas.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tolva;

constexpr sf::Int64 frameMicroseconds = 16667;

void polygonGridsStep(benchmark::State& run)
{
    auto* s = bench::benchShow<ManualTimeSource>(run);
    if (s == nullptr) {
        return;
    }
    s->state.frameDelta = sf::microseconds(frameMicroseconds);
    s->show.scenes.shared.gridTime = 0.0f;
    s->show.scenes.polygonGrids.colourFuse = 100.0f;
    for (auto _ : run) {
        s->time.advance(sf::microseconds(frameMicroseconds));
        s->show.run(5, s->canvas);
        if (s->show.scenes.shared.gridTime > 117.0f) {  // the range the scene covers at 60 fps
            s->show.scenes.shared.gridTime = 0.0f;
        }
    }
    run.counters["drawCalls"] = s->canvas.lastFrameDrawCalls();
}

void latticeStep(benchmark::State& run)
{
    auto* s = bench::benchShow<ManualTimeSource>(run);
    if (s == nullptr) {
        return;
    }
    s->state.frameDelta = sf::microseconds(frameMicroseconds);
    s->state.countdown[6] = 16.0f;  // inside both windows: a picture, a line and the lattice
    s->show.scenes.lattice.latticeTime = 0.0f;
    for (auto _ : run) {
        s->time.advance(sf::microseconds(frameMicroseconds));
        s->show.run(6, s->canvas);
        s->state.countdown[6] = 16.0f;
        if (s->show.scenes.lattice.latticeTime > 54.0f) {  // about where the scene ends
            s->show.scenes.lattice.latticeTime = 0.0f;
        }
    }
    run.counters["drawCalls"] = s->canvas.lastFrameDrawCalls();
}

// The formulas alone, without shapes or batch: the fast path and the plain formulas it replaces.
void polygonGridsCells(benchmark::State& run)
{
    polygon::DecagonTerms decagons;
    polygon::PentagonTerms pentagons;
    polygon::HeptagonTerms heptagons;
    float gridTime = 0.0f;
    float fuse = 100.0f;
    for (auto _ : run) {
        gridTime = polygon::advanceGridTime(gridTime, 0.001f);
        const polygon::GridFrame frame = polygon::gridFrame(gridTime);
        decagons.beginFrame(frame.gridTime);
        pentagons.beginFrame(frame.gridTime, frame.fastPhase);
        heptagons.beginFrame(frame.slowPhase);
        forCells(polygon::cellsPerSide, [&](int i, int j) {
            benchmark::DoNotOptimize(decagons.cell(i, j));
            benchmark::DoNotOptimize(pentagons.cell(i, j));
            fuse = polygon::burnFuse(fuse, 0.0166f);
            benchmark::DoNotOptimize(heptagons.cell(i, j, fuse));
        });
    }
}

void polygonGridsCellsPlain(benchmark::State& run)
{
    float gridTime = 0.0f;
    float fuse = 100.0f;
    for (auto _ : run) {
        gridTime = polygon::advanceGridTime(gridTime, 0.001f);
        const polygon::GridFrame frame = polygon::gridFrame(gridTime);
        for (int i = 1; i <= 94; ++i) {
            for (int j = 1; j <= 94; ++j) {
                const float fi = static_cast<float>(i), fj = static_cast<float>(j);
                benchmark::DoNotOptimize(polygon::decagonCell(fi, fj, frame.gridTime));
                benchmark::DoNotOptimize(
                    polygon::pentagonCell(fi, fj, frame.gridTime, frame.fastPhase));
                fuse = polygon::burnFuse(fuse, 0.0166f);
                benchmark::DoNotOptimize(polygon::heptagonCell(fi, fj, frame.slowPhase, fuse));
            }
        }
    }
}

void latticeUpdate(benchmark::State& run)
{
    lattice::SquareTerms squares;
    float t = 0.0f;
    for (auto _ : run) {
        t += 0.0166f;
        squares.beginFrame(t);
        forCells(lattice::latticeCells, [&](int a, int k) { benchmark::DoNotOptimize(squares.cell(a, k)); });
    }
}

void latticeUpdatePlain(benchmark::State& run)
{
    float t = 0.0f;
    for (auto _ : run) {
        t += 0.0166f;
        for (int a = 1; a <= 124; ++a) {
            for (int k = 1; k <= 124; ++k) {
                benchmark::DoNotOptimize(lattice::squareCell(a, k, t));
            }
        }
    }
}

BENCHMARK(polygonGridsStep)->Unit(benchmark::kMillisecond);
BENCHMARK(latticeStep)->Unit(benchmark::kMillisecond);
BENCHMARK(polygonGridsCells)->Unit(benchmark::kMillisecond);
BENCHMARK(polygonGridsCellsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(latticeUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(latticeUpdatePlain)->Unit(benchmark::kMillisecond);

} // namespace

// Scenes 3 and 4, one step at a time: formulas, shape updates and building the batch, with the
// batch sent nowhere (no rasterizing). Needs an X display for the show's objects (run under Xvfb).

#include "BenchShow.h"
#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Recorder.h"
#include "scenes/GreetingsScrollerFormulas.h"
#include "scenes/SwirlFieldFormulas.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tolva;

// Scene 3 half-way through: the clock, the phase and the countdown move on frame by frame as in
// the show, and are set back every 600 frames so the state stays in the scene.
void GreetingsStep(benchmark::State& run)
{
    auto* shared = bench::benchShow<ManualTimeSource>(run);
    if (shared == nullptr) {
        return;
    }
    auto& b = *shared;
    BatchCanvas& canvas = b.canvas;
    const sf::Time frame = sf::microseconds(16667);
    b.state.frameDelta = frame;
    b.state.scene3Pending = false;
    long k = 0;
    for (auto _ : run) {
        if (k % 600 == 0) {
            b.state.countdown[3] = 30.0f;
            b.show.scenes.greetingsScroller.scrollPhase = 160.0f;
            b.show.scenes.greetingsScroller.scrollerClock.setElapsed(sf::seconds(27.0f));
        }
        b.time.advance(frame);
        b.state.frameClock.setElapsed(sf::microseconds(2000));
        b.show.run(3, canvas);
        ++k;
    }
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

// Scene 4 with countdown4 held in one of its phases while the phase moves on.
void runSwirlStep(benchmark::State& run, float countdown)
{
    auto* shared = bench::benchShow<ManualTimeSource>(run);
    if (shared == nullptr) {
        return;
    }
    auto& b = *shared;
    BatchCanvas& canvas = b.canvas;
    b.state.frameDelta = sf::microseconds(16667);
    long k = 0;
    for (auto _ : run) {
        if (k % 600 == 0) {
            b.show.scenes.swirlField.swirlPhase = 150.0f;
        }
        b.state.countdown[4] = countdown;
        b.state.frameClock.setElapsed(sf::microseconds(2000));
        b.show.run(4, canvas);
        ++k;
    }
    run.counters["drawCalls"] = canvas.lastFrameDrawCalls();
}

void SwirlStepOuterPhase(benchmark::State& run) { runSwirlStep(run, 40.0f); }
void SwirlStepSineForm(benchmark::State& run) { runSwirlStep(run, 24.0f); }
void SwirlStepRowDependentV(benchmark::State& run) { runSwirlStep(run, 21.0f); }

// The cells alone, plain formulas against the held terms: what the caches buy.
void SwirlCellsPlain(benchmark::State& run)
{
    const swirl::Frame frame = swirl::frameOf(150.0f, 40.0f);
    for (auto _ : run) {
        for (int i = 1; i <= swirl::heptagonSize; ++i) {
            for (int j = 1; j <= swirl::heptagonSize; ++j) {
                benchmark::DoNotOptimize(
                    swirl::heptagonCell(static_cast<float>(i), static_cast<float>(j), frame));
            }
        }
        for (int k = 1; k <= swirl::squareSize; ++k) {
            for (int c = 1; c <= swirl::squareSize; ++c) {
                benchmark::DoNotOptimize(
                    swirl::squareCell(static_cast<float>(k), static_cast<float>(c), frame));
            }
        }
    }
}

void SwirlCellsCached(benchmark::State& run)
{
    static swirl::HeptagonTerms heptagons;
    static swirl::SquareTerms squares;
    const swirl::Frame frame = swirl::frameOf(150.0f, 40.0f);
    for (auto _ : run) {
        heptagons.beginFrame(frame);
        squares.beginFrame(frame);
        for (int i = 1; i <= swirl::heptagonSize; ++i) {
            for (int j = 1; j <= swirl::heptagonSize; ++j) {
                benchmark::DoNotOptimize(heptagons.cell(i, j));
            }
        }
        for (int k = 1; k <= swirl::squareSize; ++k) {
            for (int c = 1; c <= swirl::squareSize; ++c) {
                benchmark::DoNotOptimize(squares.cell(k, c));
            }
        }
    }
}

void GreetingsCellsPlain(benchmark::State& run)
{
    for (auto _ : run) {
        for (int i = 1; i <= greetings::fieldSize; ++i) {
            for (int j = 1; j <= greetings::fieldSize; ++j) {
                benchmark::DoNotOptimize(greetings::circleCell(static_cast<float>(i),
                                                               static_cast<float>(j), 160.0f, 0.05f));
            }
        }
    }
}

void GreetingsCellsCached(benchmark::State& run)
{
    static greetings::CircleTerms field;
    for (auto _ : run) {
        field.beginFrame(160.0f, 0.05f);
        for (int i = 1; i <= greetings::fieldSize; ++i) {
            for (int j = 1; j <= greetings::fieldSize; ++j) {
                benchmark::DoNotOptimize(field.cell(i, j));
            }
        }
    }
}

} // namespace

BENCHMARK(GreetingsStep)->Unit(benchmark::kMillisecond);
BENCHMARK(SwirlStepOuterPhase)->Unit(benchmark::kMillisecond);
BENCHMARK(SwirlStepSineForm)->Unit(benchmark::kMillisecond);
BENCHMARK(SwirlStepRowDependentV)->Unit(benchmark::kMillisecond);
BENCHMARK(GreetingsCellsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(GreetingsCellsCached)->Unit(benchmark::kMillisecond);
BENCHMARK(SwirlCellsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(SwirlCellsCached)->Unit(benchmark::kMillisecond);

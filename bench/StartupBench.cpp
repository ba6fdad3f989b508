// Start-up: everything main does before the first frame is presented (window, timing state, the
// start-up sequence with the tones, the first iteration of the frame loop), under an X display.

#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Letterbox.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <benchmark/benchmark.h>

namespace {

using namespace tolva;

void StartUpToFirstFrame(benchmark::State& run)
{
    if (!displayAvailable()) {
        run.SkipWithError("needs an X display (run under Xvfb)");
        return;
    }
    for (auto _ : run) {
        SteadyTimeSource time;
        sf::RenderWindow window(sf::VideoMode(1920, 1080, 32), "Tolva", sf::Style::Fullscreen,
                                sf::ContextSettings());
        window.setVerticalSyncEnabled(true);
        window.setMouseCursorVisible(false);
        fitShowView(window);
        ShowState state(time);
        OpenAlDeck deck;
        Show show(state, deck);
        BatchCanvas canvas(&window, &window);
        show.iterate(canvas, false);
        benchmark::DoNotOptimize(state.countdown[0]);
    }
}
BENCHMARK(StartUpToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

// The start-up sequence alone, with the sound deck of the show.
void StartUpSequence(benchmark::State& run)
{
    if (!displayAvailable()) {
        run.SkipWithError("needs an X display (run under Xvfb)");
        return;
    }
    for (auto _ : run) {
        ManualTimeSource time;
        ShowState state(time);
        OpenAlDeck deck;
        Show show(state, deck);
        benchmark::DoNotOptimize(&show);
    }
}
BENCHMARK(StartUpSequence)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

} // namespace

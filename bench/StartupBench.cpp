// Start-up: everything main does before the first frame is presented (window, timing state, the
// start-up sequence with the tones, the first iteration of the frame loop), under an X display.

#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Letterbox.h"

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

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
                                BatchCanvas::targetSettings());
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

// The two heaviest files through the show's own loaders, from the run folder: the pond picture
// (decoding and texture upload) and each track (decoding into a sound buffer).
void LoadPicture(benchmark::State& run, const char* path)
{
    if (!displayAvailable()) {
        run.SkipWithError("needs an X display (run under Xvfb)");
        return;
    }
    sf::Texture holder;  // a GL context for the whole run, as the show has one
    for (auto _ : run) {
        sf::Texture texture;
        if (!texture.loadFromFile(path, sf::IntRect(0, 0, 0, 0))) {
            run.SkipWithError("cannot load the picture: run from the run folder");
            return;
        }
    }
}
BENCHMARK_CAPTURE(LoadPicture, pond, "graphics/PirtasFrogs.png")
    ->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

void LoadSound(benchmark::State& run, const char* path)
{
    sf::SoundBuffer device;  // keeps the sound device open between loads, as the show's tones do
    for (auto _ : run) {
        sf::SoundBuffer buffer;
        if (!buffer.loadFromFile(path)) {
            run.SkipWithError("cannot load the sound: run from the run folder");
            return;
        }
    }
}
BENCHMARK_CAPTURE(LoadSound, klez, "sounds/klez.wav")->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);
BENCHMARK_CAPTURE(LoadSound, endOfTolva, "sounds/endOfTolva.wav")
    ->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

} // namespace

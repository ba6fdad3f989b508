// Building a frame's batch (no rasterizing): the part of every scene step that is not formulas.

#include "render/BatchCanvas.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tolva;

void BatchCirclesOfOneRadius(benchmark::State& run)
{
    BatchCanvas canvas(nullptr, nullptr);
    Circle circle;
    circle.setRadius(15);
    circle.setPointCount(7);
    for (auto _ : run) {
        canvas.clear(sf::Color::Black);
        for (int k = 0; k < 12100; ++k) {
            circle.setPosition(static_cast<float>(k % 110) * 17.0f, static_cast<float>(k / 110) * 9.0f);
            circle.setRotation(static_cast<float>(k));
            canvas.draw(circle, {"bench", k, 0});
        }
        canvas.display();
    }
}
BENCHMARK(BatchCirclesOfOneRadius)->Unit(benchmark::kMillisecond);

void BatchCirclesOfManyRadii(benchmark::State& run)
{
    BatchCanvas canvas(nullptr, nullptr);
    Circle circle;
    circle.setPointCount(10);
    for (auto _ : run) {
        canvas.clear(sf::Color::Black);
        for (int k = 0; k < 8836; ++k) {
            circle.setRadius(static_cast<float>(k % 97) * 0.5f);
            circle.setPosition(static_cast<float>(k % 94) * 13.0f, static_cast<float>(k / 94) * 13.0f);
            canvas.draw(circle, {"bench", k, 0});
        }
        canvas.display();
    }
}
BENCHMARK(BatchCirclesOfManyRadii)->Unit(benchmark::kMillisecond);

void BatchSquares(benchmark::State& run)
{
    BatchCanvas canvas(nullptr, nullptr);
    Rect rect;
    rect.setSize({35, 35});
    for (auto _ : run) {
        canvas.clear(sf::Color::Black);
        for (int k = 0; k < 15376; ++k) {
            rect.setPosition(static_cast<float>(k % 124) * 15.0f, static_cast<float>(k / 124) * 8.0f);
            rect.setRotation(static_cast<float>(k) * 0.5f);
            canvas.draw(rect, {"bench", k, 0});
        }
        canvas.display();
    }
}
BENCHMARK(BatchSquares)->Unit(benchmark::kMillisecond);

} // namespace

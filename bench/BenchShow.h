#pragma once

// The show's objects for the scene-step benchmarks: built once for all of them (building them
// costs more than the steps measured), under an X display, on the time source the benchmark needs.

#include "driver/Show.h"
#include "render/BatchCanvas.h"
#include "render/Recorder.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace tolva::bench {

template <class Source>
struct BenchShow {
    Source time;
    ShowState state{time};
    Recorder deck{false};
    Show show{state, deck};
    BatchCanvas canvas{nullptr, nullptr};  // builds the batch and sends it nowhere
};

// Null, with the benchmark marked skipped, where no display can be opened.
template <class Source>
BenchShow<Source>* benchShow(benchmark::State& run)
{
    static std::unique_ptr<BenchShow<Source>> instance;
    if (!instance) {
        if (!displayAvailable()) {
            run.SkipWithError("needs an X display (run under Xvfb)");
            return nullptr;
        }
        instance = std::make_unique<BenchShow<Source>>();
    }
    return instance.get();
}

} // namespace tolva::bench

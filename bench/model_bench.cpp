// SPDX-License-Identifier: MIT
// One user action through the model, against the bare arithmetic of the estimates it recomputes.
#include "estimation/estimates.hpp"

#include <benchmark/benchmark.h>

#include "form/form1.hpp"

namespace {

using lenstally::ControlId;

// Baseline: one bandwidth and one storage estimate, numbers only.
void BM_BareEstimates(benchmark::State& state) {
    double frameSize = 7.5;
    double fps = 29;
    for (auto _ : state) {
        benchmark::DoNotOptimize(frameSize);
        benchmark::DoNotOptimize(fps);
        const double p = lenstally::FrameBasedBandwidth(frameSize, fps);
        const double t = lenstally::TotalBandwidth(1, p);
        const double v = lenstally::FrameStorage(frameSize, fps, 1, 23, 7);
        benchmark::DoNotOptimize(t);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_BareEstimates);

// A resolution click: frame-size lookup, the text write with its nested Change, both refreshes
// twice, every caption formatted. Alternates two buttons so every click changes something.
void BM_ResolutionClick(benchmark::State& state) {
    lenstally::Form1 form;
    form.load();
    bool flip = false;
    for (auto _ : state) {
        form.selectOption(flip ? ControlId::optResolution1 : ControlId::optResolution4);
        flip = !flip;
        benchmark::DoNotOptimize(form.control(ControlId::lbStorageSize).text.data());
    }
}
BENCHMARK(BM_ResolutionClick);

} // namespace

BENCHMARK_MAIN();

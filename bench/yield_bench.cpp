#include "framework/core/Yield.h"

#include <benchmark/benchmark.h>

// The yield sits in every pass of the scoring and pruning loops: it must cost
// next to nothing.
static void BM_BackgroundYield(benchmark::State& state) {
    for (auto _ : state) {
        fw::BackgroundYield();
    }
}
BENCHMARK(BM_BackgroundYield);

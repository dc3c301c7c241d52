#include "gfx/noise.h"

#include <benchmark/benchmark.h>

static void BM_make_noise(benchmark::State &state) {
    for (auto _ : state) {
        make_noise();
        benchmark::DoNotOptimize(NoisePixels[0]);
    }
}
BENCHMARK(BM_make_noise)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

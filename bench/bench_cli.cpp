// A sweep of 100,000 rows written to /dev/null.
#include "sweep.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace velmorant;

static void BM_sweep100k(benchmark::State &state)
{
    std::FILE *devnull = std::fopen("/dev/null", "w");
    const SweepSpec spec{std::size_t(Field::Rpm), 5000, 14999.9, 0.1}; // 100,000 rows
    for (auto _ : state)
        writeSweep(devnull, defaultParameters(), spec);
    state.counters["rows"] = double(sweepRowCount(spec));
    std::fclose(devnull);
}
BENCHMARK(BM_sweep100k)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

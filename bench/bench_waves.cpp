// The gas-dynamic model's cost: per cell update, one speed to periodic on the default design at
// the default cell, and a 21-speed sweep on one thread and on every core.
#include "chamber.h"
#include "cycle.h"
#include "duct.h"

#include <benchmark/benchmark.h>

using namespace velmorant;
using namespace velmorant::waves;

namespace {

Pipe defaultPipe()
{
    return firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
}

EngineInputs defaultEngine()
{
    return onDesign(EngineInputs(), defaultParameters());
}

void cellRate(benchmark::State &state, long long updates)
{
    state.counters["cell_updates"] = double(updates);
    state.counters["ns_per_cell"] = benchmark::Counter(
        double(updates), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
}

} // namespace

// The scheme alone on the default pipe's cells, a pressure pulse running between closed ends.
static void BM_schemeStep(benchmark::State &state)
{
    const Gas gas;
    const Pipe pipe = defaultPipe();
    const Duct duct = ductOf(pipe, double(state.range(0)) / 10);
    Scheme scheme(duct, gas, 0.005);
    DuctState s;
    s.resize(duct.cells());
    for (int i = 0; i < duct.cells(); ++i)
        s.set(gas, i, Primitive{0.5, 0, i < duct.cells() / 4 ? 2e5 : 1e5, 0});
    long long updates = 0;
    const int n = duct.cells();
    for (auto _ : state) {
        const double dt = scheme.stableStep(s, 0.9);
        scheme.advance(s, dt, Flux{0, s.primitive(gas, 0).p * duct.faceArea[0], 0, 0},
                       Flux{0, s.primitive(gas, n - 1).p * duct.faceArea[n], 0, 0});
        updates += n;
    }
    cellRate(state, updates);
}
BENCHMARK(BM_schemeStep)->Arg(50)->Arg(10);

// One speed from the start to a periodic cycle; `cell` in tenths of a millimetre (100 is the
// default).
static void BM_oneSpeed(benchmark::State &state)
{
    const Pipe pipe = defaultPipe();
    WaveOptions o;
    o.cellMm = double(state.range(0)) / 10;
    long long updates = 0;
    SpeedResult r;
    for (auto _ : state) {
        r = simulateSpeed(pipe, defaultEngine(), o, 10000);
        updates += r.cellUpdates;
    }
    cellRate(state, updates);
    state.counters["cycles"] = r.cycles;
    // The cell study: the default is the largest cell whose half moves this by under 0.5 %.
    state.counters["charging_eff"] = r.chargingEfficiency;
}
BENCHMARK(BM_oneSpeed)->Arg(200)->Arg(100)->Arg(50)->Arg(25)->Unit(benchmark::kMillisecond);

// 21 speeds, 8000 to 12000 rpm, on `threads` threads.
static void BM_sweep21(benchmark::State &state)
{
    const Pipe pipe = defaultPipe();
    QList<double> rpms;
    for (int k = 0; k <= 20; ++k)
        rpms << 8000 + 200 * k;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            simulateSpeeds(pipe, defaultEngine(), WaveOptions(), rpms, int(state.range(0))));
}
BENCHMARK(BM_sweep21)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();

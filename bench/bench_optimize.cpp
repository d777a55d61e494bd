// The pipe search's cost: evaluations per second, the cycles a speed takes from still gas
// against from a neighbouring pipe's settled state, one run of the band at the default cell,
// the default search (100 cm3, band 9000-11000, its default budget) on two cores, and what a
// second search from its best still finds.
#include "pipesearch.h"

#include <benchmark/benchmark.h>

using namespace velmorant;
using namespace velmorant::tuning;

namespace {

PipeSearchInputs defaultSearch()
{
    PipeSearchInputs in;
    in.start = firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
    in.engine = waves::onDesign(waves::EngineInputs(), defaultParameters());
    in.from = 9000;
    in.to = 11000;
    in.threads = 2;
    return in;
}

Pipe longer(Pipe p, double factor)
{
    for (PipeSection &s : p.sections)
        s.length *= factor;
    return p;
}

} // namespace

// The default search, whole: its time, evaluations and gain.
static void BM_defaultSearch(benchmark::State &state)
{
    const PipeSearchInputs in = defaultSearch();
    PipeSearchResult r;
    for (auto _ : state)
        r = searchPipe(in);
    state.counters["evaluations"] = r.evaluations;
    state.counters["evals_per_s"] =
        benchmark::Counter(double(r.evaluations), benchmark::Counter::kIsRate);
    state.counters["start_kw"] = r.startBand.meanKw;
    state.counters["best_kw"] = r.bestBand.meanKw;
}
BENCHMARK(BM_defaultSearch)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// Whether the default search settles: a second search started from the first one's best, with
// the same budget, and what it still gains over the band (the search is meant to leave under 1 %).
static void BM_searchSettles(benchmark::State &state)
{
    PipeSearchInputs in = defaultSearch();
    double gainPct = 0;
    for (auto _ : state) {
        const PipeSearchResult first = searchPipe(in);
        PipeSearchInputs again = in;
        again.start = first.best;
        const PipeSearchResult second = searchPipe(again);
        gainPct = 100.0 * (second.bestBand.meanKw - first.bestBand.meanKw) / first.bestBand.meanKw;
    }
    state.counters["second_gain_pct"] = gainPct;
}
BENCHMARK(BM_searchSettles)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// One run of the band's speeds at the default cell, as the search's final runs and --waves do.
static void BM_bandAtDefaultCell(benchmark::State &state)
{
    const PipeSearchInputs in = defaultSearch();
    const QList<double> rpms = bandSpeeds(in.from, in.to, BandSpeeds, in.objective);
    for (auto _ : state)
        benchmark::DoNotOptimize(waves::simulateSpeeds(in.start, in.engine, in.options, rpms, 2));
}
BENCHMARK(BM_bandAtDefaultCell)->Unit(benchmark::kMillisecond)->UseRealTime();

// One evaluation as the search makes it: the search's speeds on coarse cells, from still gas
// (0) or from the settled state of a pipe 3 % shorter (1); cycles per speed counted.
static void BM_evaluation(benchmark::State &state)
{
    const PipeSearchInputs in = defaultSearch();
    waves::WaveOptions o;
    o.cellMm = SearchCellMm;
    o.keepSettled = true;
    const QList<double> rpms = bandSpeeds(in.from, in.to, SearchSpeeds, in.objective);
    const QList<waves::SpeedResult> before =
        waves::simulateSpeeds(longer(in.start, 0.97), in.engine, o, rpms, 2);
    QList<const waves::WarmStart *> starts;
    if (state.range(0) == 1)
        for (const waves::SpeedResult &r : before)
            starts << r.settled.get();
    long long cycles = 0, runs = 0;
    for (auto _ : state) {
        const QList<waves::SpeedResult> rs =
            waves::simulateSpeeds(in.start, in.engine, o, rpms, 2, nullptr, nullptr, nullptr, starts);
        for (const waves::SpeedResult &r : rs)
            cycles += r.cycles;
        ++runs;
    }
    state.counters["cycles_per_speed"] = double(cycles) / double(runs * rpms.size());
}
BENCHMARK(BM_evaluation)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same speeds at the default cell from still gas: what coarse cells save.
static void BM_evaluationAtDefaultCell(benchmark::State &state)
{
    const PipeSearchInputs in = defaultSearch();
    const QList<double> rpms = bandSpeeds(in.from, in.to, SearchSpeeds, in.objective);
    for (auto _ : state)
        benchmark::DoNotOptimize(waves::simulateSpeeds(in.start, in.engine, in.options, rpms, 2));
}
BENCHMARK(BM_evaluationAtDefaultCell)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();

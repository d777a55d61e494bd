// The gas-dynamic model's cost: per cell update, one speed to periodic on the default design at
// the default cell with the firing engine and with the fixed cylinder, a 21-speed sweep on
// one thread and on every core, the QUB400 engine with its box as a tube and as a volume, and
// a race 125 typed by its ports with a piston-port intake and with a reed block.
#include "chamber.h"
#include "cycle.h"
#include "portareas.h"
#include "portstudy.h"
#include "scheme.h"

#include <QFile>

#include <benchmark/benchmark.h>

using namespace velmorant;
using namespace velmorant::waves;

namespace {

Pipe defaultPipe()
{
    return firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
}

EngineInputs defaultEngine(bool fired = true)
{
    EngineInputs e = onDesign(EngineInputs(), defaultParameters());
    e.cycle = fired ? engine::Cycle::Fired : engine::Cycle::Fixed;
    return e;
}

void cellRate(benchmark::State &state, long long updates)
{
    state.counters["cell_updates"] = double(updates);
    state.counters["ns_per_cell"] = benchmark::Counter(
        double(updates), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
}

} // namespace

// The scheme alone on the default pipe's cells, a pressure pulse running between closed ends;
// then 1 with the wall's heat (the wall at 400 C), 0 adiabatic; then 1 with the gas that
// follows its temperature and burnt share (half the pipe burnt gas), 0 the constant gas.
static void BM_schemeStep(benchmark::State &state)
{
    const Gas gas;
    const Pipe pipe = defaultPipe();
    const Duct duct = ductOf(pipe, double(state.range(0)) / 10);
    Scheme scheme(duct, gas, 0.005);
    if (state.range(1) != 0)
        scheme.setWall(std::vector<double>(std::size_t(duct.cells()), 673.15));
    DuctState s;
    const int n = duct.cells();
    s.resize(n, state.range(2) != 0);
    for (int i = 0; i < duct.cells(); ++i)
        s.set(gas, i,
              Primitive{0.5, 0, i < duct.cells() / 4 ? 2e5 : 1e5, 0, i < n / 2 ? 1.0 : 0.0});
    long long updates = 0;
    for (auto _ : state) {
        const double dt = scheme.stableStep(s, 0.9);
        scheme.advance(s, dt, Flux{0, s.primitive(gas, 0).p * duct.faceArea[0], 0, 0},
                       Flux{0, s.primitive(gas, n - 1).p * duct.faceArea[n], 0, 0});
        updates += n;
    }
    cellRate(state, updates);
}
BENCHMARK(BM_schemeStep)->Args({50, 0, 0})->Args({10, 0, 0})->Args({10, 1, 0})->Args({10, 0, 1});

// One speed from the start to a periodic cycle; `cell` in tenths of a millimetre (100 is the
// default), then 1 for the firing engine, 0 for the fixed cylinder, then 1 for the variable gas.
static void BM_oneSpeed(benchmark::State &state)
{
    const Pipe pipe = defaultPipe();
    WaveOptions o;
    o.cellMm = double(state.range(0)) / 10;
    o.variableGas = state.range(2) != 0;
    const EngineInputs e = defaultEngine(state.range(1) != 0);
    long long updates = 0, cycles = 0;
    SpeedResult r;
    for (auto _ : state) {
        r = simulateSpeed(pipe, e, o, 10000);
        updates += r.cellUpdates;
        cycles += r.cycles;
    }
    cellRate(state, updates);
    state.counters["cycles"] = r.cycles;
    state.counters["per_cycle"] = benchmark::Counter(
        double(cycles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // The cell study: the default is the largest cell whose half moves this by under 0.5 %.
    state.counters["charging_eff"] = r.chargingEfficiency;
}
BENCHMARK(BM_oneSpeed)
    ->Args({200, 1, 0})
    ->Args({100, 1, 0})
    ->Args({50, 1, 0})
    ->Args({25, 1, 0})
    ->Args({100, 0, 0})
    ->Args({100, 1, 1})
    ->Unit(benchmark::kMillisecond);

// 21 speeds, 8000 to 12000 rpm, on `threads` threads, then 1 firing or 0 fixed.
static void BM_sweep21(benchmark::State &state)
{
    const Pipe pipe = defaultPipe();
    QList<double> rpms;
    for (int k = 0; k <= 20; ++k)
        rpms << 8000 + 200 * k;
    const EngineInputs e = defaultEngine(state.range(1) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(simulateSpeeds(pipe, e, WaveOptions(), rpms, int(state.range(0))));
}
BENCHMARK(BM_sweep21)
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The QUB400 engine at 3000 rpm: 0 its box as a wide tube (the pipe alone, as a model without
// volumes takes it); 1 as its network, the box a volume, with the intake pipe, the transfer
// duct and the pipes' walls; 2 that network with the variable gas.
static void BM_qub400(benchmark::State &state)
{
    QFile ports(QStringLiteral(VELMORANT_CASES "/qub400/ports.csv"));
    if (!ports.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no QUB400 ports");
        return;
    }
    DesignParameters p = defaultParameters();
    p[Field::Cil] = 397.22;
    EngineInputs e;
    e.bore = 85;
    e.stroke = 70;
    e.conRodStrokes = 1.7857;
    e.compressionRatio = 10.15;
    e.crankcaseRatio = 1.45;
    e.portAreas = engine::readPortAreas(ports.readAll()).table;
    e.wiebeA = 5.25;
    e.wiebeM = 1.1;
    e.ignition = 9;
    e.airFuel = 16.5;
    e.heatTransfer = 0.343;
    e.ambientPressure = 1.0133;
    e.ambientTemperature = 25;
    e.scavenging = engine::Scavenging::Uniflow;
    e = onDesign(e, p);
    auto tube = [](double length, double d1, double d2) {
        Pipe t;
        t.sections << PipeSection(length, d1, d2);
        return t;
    };
    WaveOptions o;
    Pipe pipe = tube(200, 38, 38);
    o.intakePipe = tube(200, 34, 34.3086);
    if (state.range(0) == 0) {
        pipe.sections << PipeSection(318.31, 200, 200) << PipeSection(200, 38, 38);
    } else {
        GasPath path;
        path.pipes << PathPipe{pipe, {{0.0, 400.0}}} << PathPipe{tube(200, 38, 38), {{0.0, 227.0}}};
        path.volumes << PathVolume{10, 1, 1, 2, {}};
        o.exhaustPath = path;
        o.transferDuct = WaveOptions::TransferDuct{90, 35.0428, 40.716};
        o.variableGas = state.range(0) == 2;
    }
    long long updates = 0;
    SpeedResult r;
    for (auto _ : state) {
        r = simulateSpeed(pipe, e, o, 3000);
        updates += r.cellUpdates;
    }
    cellRate(state, updates);
    state.counters["cycles"] = r.cycles;
    state.counters["power_kw"] = r.brake.powerKw;
}
BENCHMARK(BM_qub400)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

// A race 125 typed by its ports at 11 500 rpm on its first sizing's pipe: 0 its intake a piston
// port, 1 a four-petal reed block (the petals' tips moved every step by the pressure across
// them).
static void BM_race125(benchmark::State &state)
{
    const QByteArray intake =
        state.range(0) == 0
            ? QByteArray(R"({"piston": {"opens_deg": 75, "width_mm": 40, "radius_mm": 4}})")
            : QByteArray(R"({"reed": {"petals": 4, "length_mm": 32, "width_mm": 22,
                 "thickness_mm": 0.40, "youngs_gpa": 50, "density_kg_m3": 1550,
                 "damping": 0.05, "stop_mm": 9, "port_area_mm2": 1300, "angle_deg": 30}})");
    const PortGeometryRead read = readPortGeometry(R"({"version": 1,
 "exhaust": {"opens_deg": 82, "width_mm": 40, "top_radius_mm": 6, "bottom_radius_mm": 4,
             "aux": [{"opens_deg": 84, "width_mm": 11, "top_radius_mm": 3, "count": 2}]},
 "transfers": [{"name": "A", "opens_deg": 116, "width_mm": 16, "top_radius_mm": 2, "count": 2},
               {"name": "B", "opens_deg": 116, "width_mm": 12, "top_radius_mm": 2, "count": 2},
               {"name": "C", "opens_deg": 117, "width_mm": 14, "top_radius_mm": 2}],
 "intake": )" + intake + "}");
    if (!read.ok()) {
        state.SkipWithError(read.error.toUtf8().constData());
        return;
    }
    DesignParameters p = defaultParameters();
    p[Field::Cil] = 124.82;
    p[Field::Rpm] = 11500;
    p[Field::Sc] = 196;
    p[Field::Asp] = 128;
    EngineInputs e;
    e.bore = 54;
    e.stroke = 54.5;
    e.conRodStrokes = 110 / 54.5;
    e.crankcaseRatio = 1.35;
    e = onDesign(e, p);
    WaveOptions o;
    if (const std::optional<QString> refused = putPorts(read.ports, QString(), e, o, 11500)) {
        state.SkipWithError(refused->toUtf8().constData());
        return;
    }
    const Pipe pipe = firstSizingPipe(evaluateChamber(p).dimensions);
    long long updates = 0;
    SpeedResult r;
    for (auto _ : state) {
        r = simulateSpeed(pipe, e, o, 11500);
        updates += r.cellUpdates;
    }
    cellRate(state, updates);
    state.counters["cycles"] = r.cycles;
    state.counters["delivery"] = r.deliveryRatio;
}
BENCHMARK(BM_race125)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

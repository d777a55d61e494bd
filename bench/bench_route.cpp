// The bent pipe: a route of 8 bends laid on the default pipe and cut into mitred parts (the
// developments, labels and nesting), its body as STL, the clearance to three obstacles, and
// the default fit.
#include "clearance.h"
#include "fit.h"
#include "mesh.h"
#include "plan.h"

#include <benchmark/benchmark.h>

using namespace velmorant;

namespace {

// Eight bends of two or three joints, turning about the pipe in several planes; joints stay
// within each section's builder's limit.
route::Route eightBends()
{
    route::Route r;
    const double at[8] = {30, 95, 190, 300, 420, 540, 660, 870};
    for (int i = 0; i < 8; ++i) {
        route::Bend b;
        b.atMm = at[i];
        b.angleDeg = 24;
        b.joints = 2;
        b.spacingMm = 22;
        b.planeDeg = 45.0 * i;
        r.bends << b;
    }
    return r;
}

route::Surroundings threeObstacles()
{
    route::Surroundings s;
    route::Obstacle engine, frame, wheel;
    engine.name = QStringLiteral("motore");
    engine.min = {-250, -120, -200};
    engine.max = {-30, 120, 80};
    frame.name = QStringLiteral("telaio");
    frame.min = {-400, -30, 60};
    frame.max = {600, 30, 120};
    wheel.name = QStringLiteral("ruota");
    wheel.kind = route::Obstacle::Kind::Cylinder;
    wheel.a = {700, -50, -600};
    wheel.b = {700, 50, -600};
    wheel.radius = 300;
    s.obstacles << engine << frame << wheel;
    return s;
}

} // namespace

static void BM_eightBendsToParts(benchmark::State &state)
{
    const DesignParameters p = defaultParameters();
    const ChamberDimensions d = evaluateChamber(p).dimensions;
    WorkshopOptions o;
    o.route = eightBends();
    int parts = 0;
    for (auto _ : state) {
        const WorkshopPlan plan = planWorkshop(p, d, firstSizingPipe(d), o);
        if (!plan.layout.ok())
            state.SkipWithError(plan.layout.problem.toStdString().c_str());
        parts = int(plan.parts.size());
    }
    state.counters["parts"] = parts;
}
BENCHMARK(BM_eightBendsToParts)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_eightBendsToStl(benchmark::State &state)
{
    const Pipe pipe = firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
    std::size_t facets = 0;
    for (auto _ : state) {
        const route::BodyMesh body = route::pipeBody(pipe, eightBends(), 1.0);
        benchmark::DoNotOptimize(route::stlBytes(body));
        facets = body.triangles.size();
    }
    state.counters["facets"] = double(facets);
}
BENCHMARK(BM_eightBendsToStl)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_clearanceToThreeObstacles(benchmark::State &state)
{
    const Pipe pipe = firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
    const route::RouteLayout laid = route::outerLayout(pipe, eightBends(), 1.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(route::clearanceOf(laid, threeObstacles()));
}
BENCHMARK(BM_clearanceToThreeObstacles)->Unit(benchmark::kMillisecond)->UseRealTime();

// The default pipe fitted to three obstacles and a target aside, with the default budget.
static void BM_defaultFit(benchmark::State &state)
{
    const Pipe pipe = firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
    route::Surroundings s = threeObstacles();
    s.target = route::TargetBox{{250, -150, -900}, {450, 150, -700}};
    route::FitResult f;
    for (auto _ : state)
        f = route::fitRoute(pipe, route::Route(), s, 1.0);
    state.counters["fits"] = f.fits;
    state.counters["evaluations"] = f.evaluations;
    state.counters["total_angle_deg"] = f.totalAngleDeg;
}
BENCHMARK(BM_defaultFit)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();

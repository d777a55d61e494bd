#include "calculator.h"
#include "chamber.h"
#include "sketch/sketch.h"

#include "band.h"
#include "methods.h"

#include <benchmark/benchmark.h>

using namespace velmorant;

static void BM_computeChamber(benchmark::State &state)
{
    DesignParameters p = defaultParameters();
    double rpm = 9000;
    for (auto _ : state) {
        p[Field::Rpm] = rpm; // vary the input so nothing is hoisted out of the loop
        rpm = rpm < 12000 ? rpm + 1 : 9000;
        benchmark::DoNotOptimize(computeChamber(p));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_computeChamber);

static void BM_drawSketch(benchmark::State &state)
{
    const ChamberDimensions d = computeChamber(defaultParameters());
    std::array<float, SketchCaptionCount> widths;
    widths.fill(640);
    double frame = 11520;
    for (auto _ : state) {
        SketchGeometry g = drawSketch(d, frame);
        placeCaptions(g, widths);
        benchmark::DoNotOptimize(g);
        frame = frame < 11600 ? frame + 1 : 11520;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_drawSketch);

static void BM_calculateCommand(benchmark::State &state)
{
    Calculator calculator;
    const ParameterTexts texts = parameterTexts(defaultParameters(), QLocale::c());
    const QLocale locale("it_IT");
    for (auto _ : state)
        benchmark::DoNotOptimize(calculator.calculate(texts, locale, 11520));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_calculateCommand);

// The band of a design: its pipe, the waves' lengths, the band and the seven rows of the
// sensitivity table.
static void BM_bandAndSensitivity(benchmark::State &state)
{
    const DesignParameters p = defaultParameters();
    const ChamberDimensions d = computeChamber(p);
    for (auto _ : state) {
        const Pipe pipe = withStages(firstSizingPipe(d), 3, 1.5);
        const WaveLengths l = *waveLengths(pipe);
        benchmark::DoNotOptimize(bandOf(l, p[Field::Sc], p[Field::Asp], p[Field::Temp1], 10));
        benchmark::DoNotOptimize(sensitivity(l, p[Field::Sc], p[Field::Asp], p[Field::Temp1], 10));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_bandAndSensitivity);

// The four methods side by side, as the command line's --compare and the window's Metodi.
static void BM_methods(benchmark::State &state)
{
    const DesignParameters p = defaultParameters();
    const ChamberDimensions d = computeChamber(p);
    MethodInputs in;
    in.rpm = p[Field::Rpm];
    in.sc = p[Field::Sc];
    in.headerD1 = d.D1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(firstSizingPipe(d));
        benchmark::DoNotOptimize(blairPipe(in, 2));
        benchmark::DoNotOptimize(blairPipe(in, 3));
        benchmark::DoNotOptimize(jenningsPipe(in));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_methods);

BENCHMARK_MAIN();

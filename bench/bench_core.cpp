#include "calculator.h"
#include "chamber.h"
#include "sketch/sketch.h"

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

BENCHMARK_MAIN();

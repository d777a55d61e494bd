// Nesting on sheets: time and sheets used, against a plain shelf packing of the parts'
// bounding boxes on the same sheets, for the defaults and for designs cut in many pieces.
#include "nesting.h"
#include "plan.h"

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace velmorant;

namespace {

struct Case
{
    const char *name;
    double cil, rpm, ratio, sheet, seam, maxSweep, maxLength;
    QSizeF sheetSize;
};

const Case Cases[] = {
    {"defaults", 100, 10000, 4, 0, 0, 180, 0, {1000, 500}},
    {"125cc_10deg_60mm_on_600x400", 125, 9000, 5, 1.5, 10, 10, 60, {600, 400}},
    {"125cc_10deg_60mm_on_450x300", 125, 9000, 5, 1.5, 10, 10, 60, {450, 300}},
    {"250cc_6000rpm_15deg_100mm", 250, 6000, 2, 1.5, 10, 15, 100, {1000, 500}},
    {"250cc_6000rpm_on_500x250", 250, 6000, 2, 1.5, 10, 30, 120, {500, 250}},
};

std::pair<QList<Part>, WorkshopOptions> partsOf(const Case &c)
{
    DesignParameters p = defaultParameters();
    p[Field::Cil] = c.cil;
    p[Field::Rpm] = c.rpm;
    p[Field::Rappsez] = c.ratio;
    WorkshopOptions o;
    o.sheetThickness = c.sheet;
    o.seamAllowance = c.seam;
    o.maxSweepDegrees = c.maxSweep;
    o.maxLength = c.maxLength;
    o.sheetSize = c.sheetSize;
    const ChamberDimensions d = computeChamber(p);
    return {makeParts(developSegments(d, o.sheetThickness), o).parts, o};
}

// Shelves of bounding boxes, each box turned to lie flat (or upright, if only so it fits),
// with the same gaps between boxes and from the edges.
int shelfSheets(const QList<Part> &parts, const WorkshopOptions &o)
{
    const double W = o.sheetSize.width() - 2 * o.gap, H = o.sheetSize.height() - 2 * o.gap;
    QList<QSizeF> boxes;
    for (const Part &p : parts) {
        QSizeF s = boundsOf(p.outline).size();
        if (s.height() > s.width())
            s.transpose();
        if (s.width() > W || s.height() > H)
            s.transpose();
        if (s.width() <= W && s.height() <= H)
            boxes << s;
    }
    std::sort(boxes.begin(), boxes.end(),
              [](const QSizeF &a, const QSizeF &b) { return a.height() > b.height(); });
    int sheets = boxes.isEmpty() ? 0 : 1;
    double x = 0, y = 0, shelf = 0;
    for (const QSizeF &b : boxes) {
        if (x > 0 && x + b.width() > W) {
            y += shelf + o.gap;
            x = shelf = 0;
        }
        if (y > 0 && y + b.height() > H) {
            ++sheets;
            x = y = shelf = 0;
        }
        x += b.width() + o.gap;
        shelf = std::max(shelf, b.height());
    }
    return sheets;
}

void BM_nesting(benchmark::State &state)
{
    const Case &c = Cases[state.range(0)];
    const auto [parts, options] = partsOf(c);
    NestingResult r;
    for (auto _ : state)
        benchmark::DoNotOptimize(r = nestParts(parts, options));
    state.SetLabel(c.name);
    state.counters["parts"] = double(parts.size());
    state.counters["sheets"] = r.sheets;
    state.counters["utilisation_pct"] = r.utilisation * 100;
    state.counters["shelf_sheets"] = shelfSheets(parts, options);
}

} // namespace

BENCHMARK(BM_nesting)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

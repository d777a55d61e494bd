// Nesting on sheets: time, sheets used and the gaps kept, against a plain shelf packing of the
// parts' bounding boxes on the same sheets, for 36 sets of 5 to 76 parts and for pipes cut in
// hundreds of strips.
#include "distance.h"
#include "nesting.h"
#include "plan.h"

#include "benchsets.h"

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace velmorant;
using namespace velmorant::bench;

namespace {

// The nearest any two parts of a sheet, or a part and the sheet's edge, come (mm); and the
// widest of the parts' own nearest distances.
std::pair<double, double> gaps(const QList<Part> &parts, const NestingResult &r, QSizeF sheet)
{
    std::vector<std::vector<Edge>> edges;
    for (const PartPlacement &at : r.placements)
        edges.push_back(edgesOf(transformed(parts[at.part].cut, at.transform())));
    double closest = 1e300, loosest = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        QRectF b;
        for (const Edge &e : edges[i])
            b = b.isNull() ? e.bounds : b.united(e.bounds);
        double mine = std::min({b.left(), b.top(), sheet.width() - b.right(),
                                sheet.height() - b.bottom()});
        for (std::size_t j = 0; j < edges.size(); ++j) {
            if (j != i && r.placements[j].sheet == r.placements[i].sheet)
                mine = std::min(mine, outlineDistance(edges[i], edges[j], mine));
        }
        closest = std::min(closest, mine);
        loosest = std::max(loosest, mine);
    }
    return {closest, loosest};
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

void report(benchmark::State &state, const Design &c, QSizeF sheet)
{
    const auto [parts, options] = partsOf(c, sheet);
    NestingResult r;
    for (auto _ : state)
        benchmark::DoNotOptimize(r = nestParts(parts, options));
    state.SetLabel(QStringLiteral("%1 on %2x%3")
                       .arg(QLatin1String(c.name))
                       .arg(sheet.width())
                       .arg(sheet.height())
                       .toStdString());
    const auto [closest, loosest] = gaps(parts, r, sheet);
    state.counters["parts"] = double(parts.size());
    state.counters["sheets"] = r.sheets;
    state.counters["shelf_sheets"] = shelfSheets(parts, options);
    state.counters["utilisation_pct"] = r.utilisation * 100;
    state.counters["closest_mm"] = closest;
    state.counters["loosest_mm"] = loosest; // of the parts' nearest neighbours or edges
}

void BM_nesting(benchmark::State &state)
{
    report(state, Designs[state.range(0) / 3], Sheets[state.range(0) % 3]);
}

void BM_nestingMany(benchmark::State &state)
{
    report(state, Many[state.range(0)], QSizeF(1000, 500));
}

} // namespace

BENCHMARK(BM_nesting)->DenseRange(0, 35)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_nestingMany)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();

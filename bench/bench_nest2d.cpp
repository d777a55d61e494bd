// The same part sets as bench_workshop, nested by libnest2d (Debian's libnest2d-dev: its
// no-fit-polygon placer and first-fit selection, turns of 90 degrees, one thread) on the
// parts' convex hulls, which it needs: it overlaps concave parts. A reference for the sheets
// and the time of bench_workshop, run on the same machine.
#include "part.h"

#include <libnest2d/libnest2d.hpp>

#include "benchsets.h"

#include <benchmark/benchmark.h>

#include <QPolygonF>

#include <algorithm>

using namespace velmorant;
using namespace velmorant::bench;

namespace {



QPolygonF hull(QPolygonF pts)
{
    std::sort(pts.begin(), pts.end(), [](QPointF a, QPointF b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    });
    auto cross = [](QPointF o, QPointF a, QPointF b) {
        return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
    };
    QPolygonF h(2 * pts.size());
    int k = 0;
    for (int i = 0; i < pts.size(); ++i) {
        while (k >= 2 && cross(h[k - 2], h[k - 1], pts[i]) <= 0)
            --k;
        h[k++] = pts[i];
    }
    for (int i = int(pts.size()) - 2, t = k + 1; i >= 0; --i) {
        while (k >= t && cross(h[k - 2], h[k - 1], pts[i]) <= 0)
            --k;
        h[k++] = pts[i];
    }
    h.resize(k - 1);
    return h;
}

void report(benchmark::State &state, const Design &c, QSizeF sheet)
{
    const auto [parts, o] = partsOf(c, sheet);
    const double unit = libnest2d::CoordType<libnest2d::PointImpl>::MM_IN_COORDS;
    std::vector<libnest2d::Item> items;
    for (const Part &part : parts) {
        if (!part.fitsSheet)
            continue;
        const QPolygonF h = hull(polygonOf(part.outline, 0.05));
        ClipperLib::Path path;
        // Clockwise, closed, as the clipper backend expects.
        for (int i = int(h.size()) - 1; i >= 0; --i)
            path.push_back({ClipperLib::cInt(h[i].x() * unit), ClipperLib::cInt(h[i].y() * unit)});
        path.push_back(path.front());
        items.emplace_back(path);
    }
    // Items keep half the gap each: the bin is the sheet less the gap to its edges, halved.
    const libnest2d::Box bin(libnest2d::Coord((sheet.width() - o.gap) * unit),
                             libnest2d::Coord((sheet.height() - o.gap) * unit));
    libnest2d::NestConfig<libnest2d::NfpPlacer, libnest2d::FirstFitSelection> cfg;
    cfg.placer_config.parallel = false;
    std::size_t bins = 0;
    int placed = 0;
    for (auto _ : state) {
        std::vector<libnest2d::Item> work = items;
        bins = libnest2d::nest(work, bin, libnest2d::Coord(o.gap * unit), cfg);
        // A part it could not place is left without a bin, not counted as a sheet of its own.
        placed = int(std::count_if(work.begin(), work.end(),
                                   [](const libnest2d::Item &i) { return i.binId() >= 0; }));
    }
    state.SetLabel(std::string(c.name) + " on " + std::to_string(int(sheet.width())) + "x" +
                   std::to_string(int(sheet.height())));
    state.counters["parts"] = double(items.size());
    state.counters["sheets"] = double(bins);
    state.counters["placed"] = placed;
}

void BM_nest2d(benchmark::State &state)
{
    report(state, Designs[state.range(0) / 3], Sheets[state.range(0) % 3]);
}

void BM_nest2dMany(benchmark::State &state)
{
    report(state, Many[state.range(0)], QSizeF(1000, 500));
}

} // namespace

BENCHMARK(BM_nest2d)->DenseRange(0, 35)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_nest2dMany)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();

#include "nesting.h"

#include "distance.h"
#include "nestgrid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <unordered_map>
#include <vector>

namespace velmorant {

using namespace nestgrid;

namespace {

constexpr double RotationStep = 15;    // degrees
constexpr int MaxFitTurns = 24;        // for a part that fits only turned
constexpr double Margin = 0.03;        // mm kept beyond the gap, whatever rounding does
constexpr double Enough = 0.05;        // a slide stops when it would gain less
constexpr int MaxSlideSteps = 48;      // safe steps of one slide
constexpr int MaxSettleRounds = 6;     // down, then left, again while it gains
constexpr int MaxPasses = 12;          // other orders tried after the first
constexpr long long PassBudget = 1000; // parts placed by all of them together
constexpr int Refusals = 40;           // parts in a row a sheet turns away before it is closed

struct Turn
{
    QPolygonF polygon; // turned, in the part's coordinates
    Mask mask;
};

struct Shape
{
    std::vector<Turn> turns; // empty when the part fits no sheet
};

struct Placed
{
    int sheet = -1;
    double rotation = 0;
    QPointF offset;
    std::vector<Edge> edges; // on the sheet
    QRectF bounds;
};

struct Layout
{
    std::vector<Placed> placed; // by part; sheet -1 when off the sheets
    int sheets = 0;
    double lastSheetArea = 0;
    bool cancelled = false;
};

QRectF boundsOfEdges(const std::vector<Edge> &edges)
{
    QRectF b;
    for (const Edge &e : edges)
        b = b.isNull() ? e.bounds : b.united(e.bounds);
    return b;
}

void translate(Placed &p, QPointF d)
{
    for (Edge &e : p.edges) {
        e.a += d;
        e.b += d;
        e.circle.centre += d;
        e.bounds.translate(d);
    }
    p.bounds.translate(d);
    p.offset += d;
}

// Slides the part along `dir` (down or left) as far as the gap lets it. Each step moves it by
// its clearance beyond the gap: a move of t changes a distance by at most t, so no step can
// bring it nearer than the gap.
double slide(Placed &p, QPointF dir, const std::vector<const Placed *> &others, double gap)
{
    auto toEdge = [&] { return dir.y() < 0 ? p.bounds.top() : p.bounds.left(); };
    const double far = toEdge();
    const QRectF swept = p.bounds.united(p.bounds.translated(dir * far))
                             .adjusted(-gap - 1, -gap - 1, gap + 1, gap + 1);
    std::vector<const Placed *> near;
    for (const Placed *q : others) {
        if (q->bounds.intersects(swept))
            near.push_back(q);
    }
    double moved = 0;
    for (int step = 0; step < MaxSlideSteps; ++step) {
        double room = toEdge() - gap - Margin;
        for (const Placed *q : near) {
            if (room < Enough)
                break;
            room = std::min(room, outlineDistance(p.edges, q->edges, gap + Margin + room) - gap -
                                      Margin);
        }
        if (room < Enough)
            break;
        translate(p, dir * room);
        moved += room;
    }
    return moved;
}

void settle(Placed &p, const std::vector<const Placed *> &others, double gap)
{
    for (int round = 0; round < MaxSettleRounds; ++round) {
        const double moved =
            slide(p, QPointF(0, -1), others, gap) + slide(p, QPointF(-1, 0), others, gap);
        if (moved < Enough)
            break;
    }
}

// The turns a part may take: steps of 15 degrees and the one that fits it best; when it fits
// only turned off the sheet's sides (a long strip across a small sheet), the degrees at which
// it fits.
Shape shapeOf(const Part &part, const Grid &g)
{
    Shape shape;
    if (!part.fitsSheet)
        return shape; // no turn fits it: it stays off the sheets
    const QPolygonF poly = polygonOf(part.cut, ChordTolerance);
    auto add = [&](double degrees) {
        Turn t;
        t.polygon = QTransform().rotate(degrees).map(poly);
        t.mask = makeMask(t.polygon, degrees, g);
        if (!t.mask.fits(g))
            return;
        // A turn whose cells another turn already has finds the same places (a strip turned
        // half round): measuring it again would only cost time.
        for (const Turn &other : shape.turns) {
            if (other.mask.sameCells(t.mask))
                return;
        }
        shape.turns.push_back(std::move(t));
    };
    bool square = false; // fits lying along the sheet's sides
    for (double a = 0; a < 360; a += RotationStep) {
        const std::size_t before = shape.turns.size();
        add(a);
        square = square || (std::fmod(a, 90) == 0 && shape.turns.size() > before);
    }
    const bool onlyTurned = !square;
    add(part.fitAngle);
    add(part.fitAngle + 180);
    if (onlyTurned) {
        std::vector<double> fitting;
        for (int degrees = 0; degrees < 180; ++degrees) {
            const QRectF b = QTransform().rotate(degrees).map(poly).boundingRect();
            if (b.width() + 2 * g.reach <= g.width * g.cell &&
                b.height() + 2 * g.reach <= g.height * g.cell && degrees != part.fitAngle)
                fitting.push_back(degrees);
        }
        const std::size_t n = fitting.size(), take = std::min<std::size_t>(n, MaxFitTurns / 2);
        for (std::size_t k = 0; k < take; ++k) {
            const double a = fitting[take > 1 ? k * (n - 1) / (take - 1) : 0];
            add(a);
            add(a + 180);
        }
    }
    // The flattest first: its place bounds how high the others may search.
    std::stable_sort(shape.turns.begin(), shape.turns.end(), [](const Turn &a, const Turn &b) {
        return a.mask.height < b.mask.height;
    });
    return shape;
}

class Nester
{
public:
    Nester(const QList<Part> &parts, const WorkshopOptions &o, const NestingProgress &progress)
        : m_parts(parts), m_options(o), m_grid(gridFor(o)), m_progress(progress)
    {
    }

    // Every part's turns and cells: a step of the work per part, like its placing.
    bool prepare()
    {
        for (const Part &p : m_parts) {
            if (!tell())
                return false;
            m_shapes.push_back(shapeOf(p, m_grid));
        }
        return true;
    }

    bool gridUsable() const { return m_grid.width > 0 && m_grid.height > 0; }

    void setTotal(long long steps) { m_total = steps; }

    Layout nest(const std::vector<int> &order)
    {
        Layout l;
        l.placed.resize(m_parts.size());
        std::vector<Occupancy> sheets;
        std::vector<std::vector<const Placed *>> onSheet;
        // Cells that found no place on a sheet never will: the sheet only fills up. Many parts
        // of a pipe cut in short stretches share their cells.
        std::vector<std::unordered_multimap<std::uint64_t, const Mask *>> failed;
        std::vector<int> refused;
        auto hasFailed = [&](int s, const Mask &m) {
            const auto [from, to] = failed[s].equal_range(m.signature);
            for (auto it = from; it != to; ++it) {
                if (it->second->sameCells(m))
                    return true;
            }
            return false;
        };
        for (int i : order) {
            if (!tell()) {
                l.cancelled = true;
                return l;
            }
            const Shape &shape = m_shapes[i];
            if (shape.turns.empty())
                continue;
            for (int s = 0;; ++s) {
                if (s == int(sheets.size())) {
                    sheets.emplace_back(m_grid);
                    onSheet.emplace_back();
                    failed.emplace_back();
                    refused.push_back(0);
                }
                // A sheet that has turned away many parts in a row is full for what remains
                // (smaller parts keep coming, but its holes are gaps): searching it again would
                // cost time and seldom a sheet.
                if (refused[s] >= Refusals)
                    continue;
                const Turn *best = nullptr;
                int bestX = 0, bestY = 0, bestTop = m_grid.height + 1;
                for (const Turn &t : shape.turns) {
                    if (hasFailed(s, t.mask))
                        continue;
                    int x, y;
                    if (!sheets[s].findPlace(t.mask, bestTop, x, y)) {
                        if (!best) // no place at all, not only none lower than the best
                            failed[s].emplace(t.mask.signature, &t.mask);
                    } else {
                        best = &t;
                        bestX = x;
                        bestY = y;
                        bestTop = y + t.mask.height;
                    }
                }
                if (!best) {
                    ++refused[s];
                    continue; // a fresh sheet always takes a part that has a turn
                }
                refused[s] = 0;
                Placed &p = l.placed[i];
                p.sheet = s;
                p.rotation = best->mask.rotation;
                p.offset = m_grid.origin + QPointF(bestX * m_grid.cell, bestY * m_grid.cell) -
                           best->mask.origin;
                p.edges = edgesOf(transformed(m_parts[i].cut,
                                              QTransform()
                                                  .translate(p.offset.x(), p.offset.y())
                                                  .rotate(p.rotation)));
                p.bounds = boundsOfEdges(p.edges);
                settle(p, onSheet[s], m_options.gap);
                // The cells of where it came to rest.
                const Mask rest = makeMask(best->polygon.translated(p.offset - m_grid.origin),
                                           p.rotation, m_grid, true);
                sheets[s].mark(rest, int(std::lround(rest.origin.x() / m_grid.cell)),
                               int(std::lround(rest.origin.y() / m_grid.cell)));
                onSheet[s].push_back(&p);
                break;
            }
        }
        l.sheets = int(sheets.size());
        for (int i = 0; i < m_parts.size(); ++i) {
            if (l.sheets > 0 && l.placed[i].sheet == l.sheets - 1)
                l.lastSheetArea += m_parts[i].area;
        }
        return l;
    }

private:
    bool tell()
    {
        const bool go = !m_progress || m_progress(int(std::min(m_done, m_total)), int(m_total));
        ++m_done;
        return go;
    }

    const QList<Part> &m_parts;
    const WorkshopOptions &m_options;
    Grid m_grid;
    const NestingProgress &m_progress;
    std::vector<Shape> m_shapes;
    long long m_done = 0, m_total = 0;
};

// The parts by a key, largest first; ties keep the parts' order.
std::vector<int> orderBy(int n, const std::function<double(int)> &key)
{
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::vector<double> k(n);
    for (int i = 0; i < n; ++i)
        k[i] = key(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return k[a] > k[b]; });
    return order;
}

// Another order for pass `pass`: by length, by width, the last sheet's parts first, then the
// areas shaken by a seeded generator (the same sequence on every platform).
std::vector<int> otherOrder(int pass, const QList<Part> &parts, const Layout &best)
{
    const int n = int(parts.size());
    auto extent = [&](int i, bool longer) {
        const QSizeF s = boundsOf(parts[i].cut).size();
        return longer ? std::max(s.width(), s.height()) : std::min(s.width(), s.height());
    };
    switch (pass) {
    case 0:
        return orderBy(n, [&](int i) { return extent(i, true); });
    case 1:
        return orderBy(n, [&](int i) { return extent(i, false); });
    case 2:
        return orderBy(n, [&](int i) {
            return parts[i].area + (best.placed[i].sheet == best.sheets - 1 ? 1e12 : 0);
        });
    default: {
        std::mt19937_64 random{std::uint64_t(pass)};
        return orderBy(n, [&](int i) {
            const double u = double(random() >> 11) / double(std::uint64_t(1) << 53);
            return parts[i].area * (0.7 + 0.6 * u);
        });
    }
    }
}

} // namespace

QTransform PartPlacement::transform() const
{
    return QTransform().translate(offset.x(), offset.y()).rotate(rotation);
}

std::optional<double> sheetFitAngle(const Contour &outline, const WorkshopOptions &o)
{
    const Grid g = gridFor(o);
    const QPolygonF poly = polygonOf(outline, ChordTolerance);
    std::optional<double> best;
    double bestSlack = -1;
    for (int degrees = 0; degrees < 180; ++degrees) {
        const QRectF b = QTransform().rotate(degrees).map(poly).boundingRect();
        const double w = std::ceil((b.width() + 2 * g.reach) / g.cell);
        const double h = std::ceil((b.height() + 2 * g.reach) / g.cell);
        const double slack = std::min(g.width - w, g.height - h);
        if (slack >= 0 && slack > bestSlack) {
            bestSlack = slack;
            best = degrees;
        }
    }
    return best;
}

NestingResult nestParts(const QList<Part> &parts, const WorkshopOptions &o,
                        const NestingProgress &progress)
{
    NestingResult result;
    const int n = int(parts.size());
    Nester nester(parts, o, progress);
    if (!nester.gridUsable()) {
        for (int i = 0; i < n; ++i)
            result.unplaced << i;
        return result;
    }
    const int passes = n > 0 ? int(std::min<long long>(MaxPasses, PassBudget / n)) : 0;
    nester.setTotal((long long)n * (2 + passes));
    if (!nester.prepare()) {
        result.cancelled = true;
        return result;
    }

    Layout best = nester.nest(orderBy(n, [&](int i) { return parts[i].area; }));
    double total = 0;
    for (const Part &p : parts)
        total += p.fitsSheet ? p.area : 0;
    const int fewest = int(std::ceil(total / (o.sheetSize.width() * o.sheetSize.height()) - 1e-9));
    for (int pass = 0; pass < passes && !best.cancelled && best.sheets > std::max(1, fewest);
         ++pass) {
        Layout other = nester.nest(otherOrder(pass, parts, best));
        if (other.cancelled)
            best.cancelled = true;
        else if (other.sheets < best.sheets ||
                 (other.sheets == best.sheets && other.lastSheetArea < best.lastSheetArea - 1e-6))
            best = std::move(other);
    }
    if (best.cancelled) {
        result.cancelled = true;
        return result;
    }
    if (progress)
        progress(1, 1);

    double placedArea = 0;
    for (int i = 0; i < n; ++i) {
        const Placed &p = best.placed[i];
        if (p.sheet < 0) {
            result.unplaced << i;
            continue;
        }
        PartPlacement at;
        at.part = i;
        at.sheet = p.sheet;
        at.rotation = p.rotation;
        at.offset = p.offset;
        result.placements << at;
        placedArea += parts[i].area;
    }
    result.sheets = best.sheets;
    if (result.sheets > 0)
        result.utilisation =
            placedArea / (result.sheets * o.sheetSize.width() * o.sheetSize.height());
    return result;
}

} // namespace velmorant

#include "nesting.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

namespace velmorant {

namespace {

constexpr double ChordTolerance = 0.05; // mm between an arc and the chords standing for it
constexpr double RotationStep = 15;     // degrees
constexpr int MaxGridCells = 2000;      // along the sheet's longer side

struct Grid
{
    double cell = 1;
    int width = 0, height = 0; // in cells
    QPointF origin;            // of cell (0, 0), in sheet coordinates
    double reach = 0;          // how far from the outline a cell's centre still marks it
};

Grid gridFor(const WorkshopOptions &o)
{
    Grid g;
    const double longer = std::max(o.sheetSize.width(), o.sheetSize.height());
    g.cell = std::max(1.0, longer / MaxGridCells);
    // The grid covers the sheet less half the gap on each side: a part's own half gap then
    // keeps it a whole gap from the edge.
    g.origin = QPointF(o.gap / 2, o.gap / 2);
    g.width = std::max(0, int(std::floor((o.sheetSize.width() - o.gap) / g.cell)));
    g.height = std::max(0, int(std::floor((o.sheetSize.height() - o.gap) / g.cell)));
    g.reach = o.gap / 2 + g.cell * std::sqrt(0.5) + ChordTolerance;
    return g;
}

// The cells a turned part occupies: runs of cells per row, from the mask's own origin.
struct Mask
{
    double rotation = 0;
    QPointF origin; // of cell (0, 0) in the turned part's coordinates
    int width = 0, height = 0;
    std::vector<std::vector<std::pair<int, int>>> rows; // [first, last] cells, inclusive
    long long cells = 0;
};

// The x interval of a horizontal line within `reach` of segment ab, if any.
bool capsuleSpan(QPointF a, QPointF b, double y, double reach, double &lo, double &hi)
{
    bool any = false;
    auto take = [&](double x0, double x1) {
        lo = any ? std::min(lo, x0) : x0;
        hi = any ? std::max(hi, x1) : x1;
        any = true;
    };
    for (QPointF p : {a, b}) {
        const double dy = y - p.y();
        if (std::abs(dy) <= reach) {
            const double dx = std::sqrt(reach * reach - dy * dy);
            take(p.x() - dx, p.x() + dx);
        }
    }
    // The band of the segment: the parallelogram a +- n reach, b +- n reach.
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    if (len > 0) {
        const QPointF n(-d.y() / len * reach, d.x() / len * reach);
        const QPointF quad[4] = {a + n, b + n, b - n, a - n};
        double x0 = 0, x1 = 0;
        bool hit = false;
        for (int i = 0; i < 4; ++i) {
            const QPointF p = quad[i], q = quad[(i + 1) % 4];
            if ((p.y() - y) * (q.y() - y) > 0 || p.y() == q.y())
                continue;
            const double x = p.x() + (q.x() - p.x()) * (y - p.y()) / (q.y() - p.y());
            x0 = hit ? std::min(x0, x) : x;
            x1 = hit ? std::max(x1, x) : x;
            hit = true;
        }
        if (hit)
            take(x0, x1);
    }
    return any;
}

Mask makeMask(const QPolygonF &outline, double rotation, const Grid &g)
{
    Mask m;
    m.rotation = rotation;
    const QPolygonF poly = QTransform().rotate(rotation).map(outline);
    const QRectF box = poly.boundingRect().adjusted(-g.reach, -g.reach, g.reach, g.reach);
    m.origin = box.topLeft();
    if (!(box.width() <= g.width * g.cell && box.height() <= g.height * g.cell)) {
        m.width = g.width + 1; // larger than the sheet: no cells to work out
        return m;
    }
    m.width = int(std::ceil(box.width() / g.cell));
    m.height = int(std::ceil(box.height() / g.cell));
    std::vector<std::vector<std::pair<double, double>>> spans(m.height);
    std::vector<std::vector<double>> crossings(m.height);
    auto rowOf = [&](double y) { return (y - m.origin.y()) / g.cell - 0.5; };
    auto centreY = [&](int j) { return m.origin.y() + (j + 0.5) * g.cell; };

    const int n = int(poly.size());
    for (int e = 0; e < n; ++e) {
        const QPointF a = poly[e], b = poly[(e + 1) % n];
        // Inside of the polygon: crossings of the rows' centre lines.
        const double ylo = std::min(a.y(), b.y()), yhi = std::max(a.y(), b.y());
        if (ylo < yhi) {
            for (int j = std::max(0, int(std::ceil(rowOf(ylo)))); j < m.height && centreY(j) < yhi;
                 ++j) {
                const double y = centreY(j);
                if (y >= ylo)
                    crossings[j].push_back(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()));
            }
        }
        // Within reach of the edge.
        for (int j = std::max(0, int(std::ceil(rowOf(ylo - g.reach))));
             j < m.height && centreY(j) <= yhi + g.reach; ++j) {
            double lo = 0, hi = 0;
            if (capsuleSpan(a, b, centreY(j), g.reach, lo, hi))
                spans[j].push_back({lo, hi});
        }
    }
    m.rows.resize(m.height);
    for (int j = 0; j < m.height; ++j) {
        std::sort(crossings[j].begin(), crossings[j].end());
        for (std::size_t k = 0; k + 1 < crossings[j].size(); k += 2)
            spans[j].push_back({crossings[j][k], crossings[j][k + 1]});
        std::vector<std::pair<int, int>> runs;
        for (const auto &[lo, hi] : spans[j]) {
            const int first = std::max(0, int(std::ceil((lo - m.origin.x()) / g.cell - 0.5)));
            const int last =
                std::min(m.width - 1, int(std::floor((hi - m.origin.x()) / g.cell - 0.5)));
            if (first <= last)
                runs.push_back({first, last});
        }
        std::sort(runs.begin(), runs.end());
        for (const auto &r : runs) {
            if (!m.rows[j].empty() && r.first <= m.rows[j].back().second + 1)
                m.rows[j].back().second = std::max(m.rows[j].back().second, r.second);
            else
                m.rows[j].push_back(r);
        }
        for (const auto &r : m.rows[j])
            m.cells += r.second - r.first + 1;
    }
    return m;
}

// A sheet's occupied cells, one bit each.
class Occupancy
{
public:
    explicit Occupancy(const Grid &g)
        : m_width(g.width), m_words((g.width + 63) / 64), m_bits(std::size_t(g.height) * m_words)
    {
    }

    // The first occupied cell of row `y` at or after `x`, or a value past the row.
    int firstSet(int y, int x) const
    {
        const std::uint64_t *row = &m_bits[std::size_t(y) * m_words];
        int w = x / 64;
        std::uint64_t word = row[w] & (~std::uint64_t(0) << (x % 64));
        while (true) {
            if (word)
                return w * 64 + __builtin_ctzll(word);
            if (++w >= m_words)
                return m_width + 64;
            word = row[w];
        }
    }

    void set(int y, int first, int last)
    {
        std::uint64_t *row = &m_bits[std::size_t(y) * m_words];
        for (int x = first; x <= last; ++x)
            row[x / 64] |= std::uint64_t(1) << (x % 64);
    }

private:
    int m_width, m_words;
    std::vector<std::uint64_t> m_bits;
};

// The lowest, then leftmost, free place for the mask; stops above `topLimit` rows.
bool findPlace(const Occupancy &occ, const Grid &g, const Mask &m, int topLimit, int &cx, int &cy)
{
    for (int y = 0; y + m.height <= g.height && y + m.height < topLimit; ++y) {
        int x = 0;
        while (x + m.width <= g.width) {
            bool clear = true;
            for (int j = 0; j < m.height && clear; ++j) {
                for (const auto &[a, b] : m.rows[j]) {
                    const int hit = occ.firstSet(y + j, x + a);
                    if (hit <= x + b) {
                        x = hit - a + 1; // the next place where this run clears the cell
                        clear = false;
                        break;
                    }
                }
            }
            if (clear) {
                cx = x;
                cy = y;
                return true;
            }
        }
    }
    return false;
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

NestingResult nestParts(const QList<Part> &parts, const WorkshopOptions &o)
{
    NestingResult result;
    const Grid g = gridFor(o);
    if (g.width <= 0 || g.height <= 0) {
        for (int i = 0; i < parts.size(); ++i)
            result.unplaced << i;
        return result;
    }

    // Every part's masks at every rotation it may take.
    std::vector<std::vector<Mask>> masks(parts.size());
    for (int i = 0; i < parts.size(); ++i) {
        if (!parts[i].fitsSheet)
            continue; // no turn fits it: it stays off the sheets
        const QPolygonF poly = polygonOf(parts[i].outline, ChordTolerance);
        QList<double> angles;
        for (double a = 0; a < 360; a += RotationStep)
            angles << a;
        angles << parts[i].fitAngle << parts[i].fitAngle + 180;
        for (double a : angles) {
            Mask m = makeMask(poly, a, g);
            if (m.width <= g.width && m.height <= g.height)
                masks[i].push_back(std::move(m));
        }
    }

    // Largest first: they are the hardest to place, and smaller ones fill in around them.
    std::vector<int> order(parts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return parts[a].area > parts[b].area; });

    std::vector<Occupancy> sheets;
    std::vector<PartPlacement> placed(parts.size());
    double placedArea = 0;
    for (int i : order) {
        if (masks[i].empty()) {
            result.unplaced << i;
            continue;
        }
        bool done = false;
        for (int s = 0; !done; ++s) {
            if (s == int(sheets.size()))
                sheets.emplace_back(g);
            const Mask *bestMask = nullptr;
            int bestX = 0, bestY = 0, bestTop = g.height + 1;
            for (const Mask &m : masks[i]) {
                int x, y;
                if (findPlace(sheets[s], g, m, bestTop, x, y) && y + m.height < bestTop) {
                    bestMask = &m;
                    bestX = x;
                    bestY = y;
                    bestTop = y + m.height;
                }
            }
            if (!bestMask)
                continue; // a fresh sheet always takes a part that has a mask
            for (int j = 0; j < bestMask->height; ++j)
                for (const auto &[a, b] : bestMask->rows[j])
                    sheets[s].set(bestY + j, bestX + a, bestX + b);
            PartPlacement p;
            p.part = i;
            p.sheet = s;
            p.rotation = bestMask->rotation;
            p.offset = g.origin + QPointF(bestX * g.cell, bestY * g.cell) - bestMask->origin;
            placed[i] = p;
            placedArea += parts[i].area;
            done = true;
        }
    }
    std::sort(result.unplaced.begin(), result.unplaced.end());
    for (int i = 0; i < parts.size(); ++i) {
        if (placed[i].part >= 0)
            result.placements << placed[i];
    }
    result.sheets = int(sheets.size());
    if (result.sheets > 0)
        result.utilisation =
            placedArea / (result.sheets * o.sheetSize.width() * o.sheetSize.height());
    return result;
}

} // namespace velmorant

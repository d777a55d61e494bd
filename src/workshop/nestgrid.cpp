#include "nestgrid.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace velmorant::nestgrid {

namespace {

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

} // namespace

Grid gridFor(const WorkshopOptions &o)
{
    Grid g;
    const double longer = std::max(o.sheetSize.width(), o.sheetSize.height());
    g.cell = std::max(1.0, longer / MaxGridCells);
    g.origin = QPointF(o.gap / 2, o.gap / 2);
    g.width = std::max(0, int(std::floor((o.sheetSize.width() - o.gap) / g.cell)));
    g.height = std::max(0, int(std::floor((o.sheetSize.height() - o.gap) / g.cell)));
    g.reach = o.gap / 2 + g.cell * std::sqrt(0.5) + ChordTolerance;
    return g;
}

Mask makeMask(const QPolygonF &poly, double rotation, const Grid &g, bool onGrid)
{
    Mask m;
    m.rotation = rotation;
    const QRectF box = poly.boundingRect().adjusted(-g.reach, -g.reach, g.reach, g.reach);
    m.origin = box.topLeft();
    if (onGrid) {
        m.origin = QPointF(std::floor(box.left() / g.cell) * g.cell,
                           std::floor(box.top() / g.cell) * g.cell);
    } else if (!(box.width() <= g.width * g.cell && box.height() <= g.height * g.cell)) {
        m.width = g.width + 1; // larger than the sheet: no cells to work out
        return m;
    }
    m.width = int(std::ceil((box.right() - m.origin.x()) / g.cell));
    m.height = int(std::ceil((box.bottom() - m.origin.y()) / g.cell));
    // (row, from, to) spans of cells to mark, and (row, x) crossings of the outline.
    struct Span
    {
        int row;
        double lo, hi;
    };
    std::vector<Span> spans;
    std::vector<std::pair<int, double>> crossings;
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
                    crossings.push_back(
                        {j, a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y())});
            }
        }
        // Within reach of the edge.
        for (int j = std::max(0, int(std::ceil(rowOf(ylo - g.reach))));
             j < m.height && centreY(j) <= yhi + g.reach; ++j) {
            double lo = 0, hi = 0;
            if (capsuleSpan(a, b, centreY(j), g.reach, lo, hi))
                spans.push_back({j, lo, hi});
        }
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size();) {
        if (crossings[k].first == crossings[k + 1].first) {
            spans.push_back({crossings[k].first, crossings[k].second, crossings[k + 1].second});
            k += 2;
        } else {
            ++k; // an odd count on a row (a vertex on its centre line): pair from the next
        }
    }
    std::vector<std::tuple<int, int, int>> cells; // row, first, last
    cells.reserve(spans.size());
    for (const Span &sp : spans) {
        const int first = std::max(0, int(std::ceil((sp.lo - m.origin.x()) / g.cell - 0.5)));
        const int last = std::min(m.width - 1, int(std::floor((sp.hi - m.origin.x()) / g.cell - 0.5)));
        if (first <= last)
            cells.emplace_back(sp.row, first, last);
    }
    std::sort(cells.begin(), cells.end());
    m.need.assign(m.height, 0);
    m.rowStart.assign(m.height + 1, 0);
    m.runs.reserve(cells.size());
    int row = 0;
    for (const auto &[j, first, last] : cells) {
        while (row < j)
            m.rowStart[++row] = int(m.runs.size());
        if (int(m.runs.size()) > m.rowStart[j] && first <= m.runs.back().second + 1)
            m.runs.back().second = std::max(m.runs.back().second, last);
        else
            m.runs.push_back({first, last});
    }
    while (row < m.height)
        m.rowStart[++row] = int(m.runs.size());
    for (int j = 0; j < m.height; ++j) {
        for (const auto &[a, b] : m.row(j)) {
            m.cells += b - a + 1;
            m.need[j] = std::max(m.need[j], b - a + 1);
        }
    }
    // FNV-1a over the size and the runs.
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    mix(std::uint64_t(m.width));
    mix(std::uint64_t(m.height));
    for (int start : m.rowStart)
        mix(std::uint64_t(start));
    for (const auto &[a, b] : m.runs)
        mix((std::uint64_t(a) << 32) ^ std::uint64_t(b));
    m.signature = h;
    m.demanding.resize(m.height);
    std::iota(m.demanding.begin(), m.demanding.end(), 0);
    std::stable_sort(m.demanding.begin(), m.demanding.end(),
                     [&](int a, int b) { return m.need[a] > m.need[b]; });
    return m;
}

Occupancy::Occupancy(const Grid &g)
    : m_width(g.width), m_height(g.height), m_runs(std::size_t(g.width) * g.height),
      m_rowFree(g.height, g.width), m_mostFree(g.height > 0 ? g.width : 0),
      m_free((long long)g.width * g.height)
{
    for (int y = 0; y < m_height; ++y) {
        std::int16_t *r = &m_runs[std::size_t(y) * m_width];
        for (int x = 0; x < m_width; ++x)
            r[x] = std::int16_t(m_width - x);
    }
}

void Occupancy::markRun(int y, int first, int last)
{
    std::int16_t *r = &m_runs[std::size_t(y) * m_width];
    for (int x = first; x <= last; ++x)
        m_free -= r[x] > 0;
    // Every cell's run depends only on itself and its right neighbour: from the run's end
    // leftwards, until a cell left of the run comes out as it was.
    for (int x = last; x >= 0; --x) {
        const int next = x + 1 < m_width ? r[x + 1] : 0;
        const bool occupied = x >= first || r[x] < 0;
        const std::int16_t value =
            std::int16_t(occupied ? (next < 0 ? next - 1 : -1) : (next > 0 ? next + 1 : 1));
        if (x < first && value == r[x])
            break;
        r[x] = value;
    }
}

void Occupancy::mark(const Mask &m, int x0, int y0)
{
    for (int j = 0; j < m.height; ++j) {
        const int y = y0 + j;
        if (y < 0 || y >= m_height || m.row(j).empty())
            continue;
        for (const auto &[a, b] : m.row(j)) {
            const int first = std::max(0, x0 + a), last = std::min(m_width - 1, x0 + b);
            if (first <= last)
                markRun(y, first, last);
        }
        const std::int16_t *r = row(y);
        int longest = 0;
        for (int x = 0; x < m_width; x += std::abs(r[x]))
            longest = std::max<int>(longest, r[x]);
        m_rowFree[y] = longest;
    }
    m_mostFree = m_rowFree.empty() ? 0 : *std::max_element(m_rowFree.begin(), m_rowFree.end());
}

bool Occupancy::findPlace(const Mask &m, int topLimit, int &cx, int &cy) const
{
    if (m.cells > m_free || m.height == 0 || m.need[m.demanding[0]] > m_mostFree)
        return false;
    for (int y = 0; y + m.height <= m_height && y + m.height < topLimit; ++y) {
        // Rows without a free run as long as the mask's own cannot take it anywhere.
        bool roomy = true;
        for (int j : m.demanding) {
            if (m_rowFree[y + j] < m.need[j]) {
                roomy = false;
                break;
            }
        }
        if (!roomy)
            continue;
        int x = 0;
        while (x + m.width <= m_width) {
            bool clear = true;
            for (int j : m.demanding) {
                const std::int16_t *r = row(y + j);
                for (const auto &[a, b] : m.row(j)) {
                    const int v = r[x + a];
                    if (v > b - a)
                        continue;
                    // The next place where this run clears the occupied cells it met.
                    if (v > 0)
                        x += v - r[x + a + v];
                    else
                        x -= v;
                    clear = false;
                    break;
                }
                if (!clear)
                    break;
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

} // namespace velmorant::nestgrid

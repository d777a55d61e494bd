#pragma once

// The coarse search of the nesting: the sheet as a grid of cells, a part as the cells within
// reach of its outline, and the lowest free place for those cells.
#include "part.h"

#include <QPolygonF>

#include <cstdint>
#include <utility>
#include <vector>

namespace velmorant::nestgrid {

constexpr double ChordTolerance = 0.05; // mm between an arc and the chords standing for it
constexpr int MaxGridCells = 2000;      // along the sheet's longer side (runs fit 16 bits)

struct Grid
{
    double cell = 1;
    int width = 0, height = 0; // in cells
    QPointF origin;            // of cell (0, 0), in sheet coordinates
    double reach = 0;          // how far from the outline a cell's centre still marks it
};

// The grid covers the sheet less half the gap on each side, so that a part's own half gap
// keeps it a whole gap from the edge; a part occupies every cell whose centre lies within half
// the gap plus half a cell's diagonal of its outline, so parts in separate cells are always at
// least the gap apart.
Grid gridFor(const WorkshopOptions &o);

// The cells a turned part occupies: runs of cells per row, from the mask's own origin.
struct Mask
{
    double rotation = 0;
    QPointF origin; // of cell (0, 0), in the coordinates of the polygon it was made from
    int width = 0, height = 0;
    std::vector<std::pair<int, int>> runs; // [first, last] cells, inclusive, row by row
    std::vector<int> rowStart;             // row j's runs: [rowStart[j], rowStart[j + 1])
    std::vector<int> need;                              // each row's longest run
    std::vector<int> demanding;                         // rows by their need, longest first
    long long cells = 0;
    std::uint64_t signature = 0; // of the cells: equal masks, equal signatures
    bool fits(const Grid &g) const { return width <= g.width && height <= g.height; }
    bool sameCells(const Mask &o) const
    {
        return width == o.width && height == o.height && rowStart == o.rowStart && runs == o.runs;
    }
    struct Row
    {
        const std::pair<int, int> *first, *last;
        const std::pair<int, int> *begin() const { return first; }
        const std::pair<int, int> *end() const { return last; }
        bool empty() const { return first == last; }
    };
    Row row(int j) const { return {runs.data() + rowStart[j], runs.data() + rowStart[j + 1]}; }
};

// The cells of `turned` (a polygon already turned by `rotation`). With `onGrid` the polygon is
// in the grid's coordinates (sheet coordinates less the grid's origin) and the mask's origin
// falls on a cell corner, so that cell (i, j) of the mask is cell (i, j) of the grid offset by
// origin / cell.
Mask makeMask(const QPolygonF &turned, double rotation, const Grid &g, bool onGrid = false);

// A sheet's cells. Each cell holds the length of the run it starts: free cells count the free
// cells from it rightwards, occupied cells (negative) the occupied ones, so that whether a run
// of the mask fits, and where the next chance lies, is read off one cell.
class Occupancy
{
public:
    explicit Occupancy(const Grid &g);

    // Marks the mask's cells with its cell (0, 0) at grid cell (x, y); cells off the grid are
    // left out.
    void mark(const Mask &m, int x, int y);

    // The lowest, then leftmost, free place for the mask, its top below row `topLimit`.
    bool findPlace(const Mask &m, int topLimit, int &x, int &y) const;

    long long freeCells() const { return m_free; }

private:
    const std::int16_t *row(int y) const { return &m_runs[std::size_t(y) * m_width]; }
    void markRun(int y, int first, int last);

    int m_width, m_height;
    std::vector<std::int16_t> m_runs;
    std::vector<int> m_rowFree; // each row's longest free run
    int m_mostFree = 0;
    long long m_free = 0;
};

} // namespace velmorant::nestgrid

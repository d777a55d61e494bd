#include "templatebook.h"
#include "templatesizes.h"

#include "sheetlayout.h"
#include "version.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace velmorant {

using namespace templates;

namespace {

// The part turned by `angle` degrees and laid on paper (y down) with its bounding box's top
// left corner at `topLeft`; `bounds` gets the box, from (0, 0).
QTransform onPaper(const Part &p, double angle, QPointF topLeft, QRectF *bounds = nullptr)
{
    const QTransform turn = QTransform().rotate(angle);
    const QRectF b = boundsOf(transformed(p.outline, turn));
    if (bounds)
        *bounds = QRectF(QPointF(0, 0), b.size());
    return turn * QTransform::fromTranslate(-b.left(), -b.top()) *
           QTransform(1, 0, 0, -1, 0, b.height()) *
           QTransform::fromTranslate(topLeft.x(), topLeft.y());
}

QSizeF paperSize(const Part &p, double angle)
{
    return boundsOf(transformed(p.outline, QTransform().rotate(angle))).size();
}

} // namespace

TemplateBook::TemplateBook(const WorkshopPlan &plan, QSizeF printable, QDate date)
    : m_plan(plan), m_printable(printable),
      m_area(0, 0, printable.width(), printable.height() - TitleHeight), m_date(date)
{
    // Each part turned to fit the page if any turn does (the lowest such), else to need the
    // fewest tiles.
    QList<QPair<int, double>> small;
    QList<QPair<int, double>> tiled;
    double tilePages = 0;
    for (int i = 0; i < plan.parts.size(); ++i) {
        const Part &p = plan.parts[i];
        // The turn of least paper (a rectangle lies square), that fits the page.
        double bestAngle = -1, bestArea = 0;
        for (int a = 0; a < 180; ++a) {
            const QSizeF s = paperSize(p, a);
            const double area = s.width() * s.height();
            if (s.width() <= m_area.width() && s.height() <= m_area.height() &&
                (bestAngle < 0 || area < bestArea - 1e-6)) {
                bestAngle = a;
                bestArea = area;
            }
        }
        if (bestAngle >= 0) {
            small << qMakePair(i, bestAngle);
            continue;
        }
        double fewest = 0, angle = 0;
        for (int a = 0; a < 180; a += 5) {
            const QSizeF s = paperSize(p, a);
            auto count = [](double size, double area) {
                return size <= area ? 1.0 : std::ceil((size - Overlap) / (area - Overlap));
            };
            const double n = count(s.width(), m_area.width()) * count(s.height(), m_area.height());
            if (a == 0 || n < fewest) {
                fewest = n;
                angle = a;
            }
        }
        tilePages += fewest + 1; // the tiles at most, and the map
        tiled << qMakePair(i, angle);
    }
    if (!(tilePages + small.size() <= MaxPages) || m_area.width() <= Overlap ||
        m_area.height() <= Overlap) {
        m_refusal = tr("le sagome richiederebbero pi\u00f9 di %1 pagine").arg(MaxPages);
        return;
    }
    addSmallParts(small);
    for (const auto &[part, angle] : tiled)
        addTiledPart(part, angle);
    // The count above is an upper bound (a page per small part, every tile), so the book
    // stays within MaxPages.
    if (m_pages.isEmpty())
        m_pages << Page{}; // the title block alone says there is nothing to cut
}

void TemplateBook::addSmallParts(const QList<QPair<int, double>> &parts)
{
    // Shelves of parts, tallest first.
    QList<QPair<int, double>> order = parts;
    std::stable_sort(order.begin(), order.end(), [&](const auto &a, const auto &b) {
        return paperSize(m_plan.parts[a.first], a.second).height() >
               paperSize(m_plan.parts[b.first], b.second).height();
    });
    Page page;
    double x = 0, y = 0, shelf = 0;
    for (const auto &[i, angle] : order) {
        const QSizeF s = paperSize(m_plan.parts[i], angle);
        if (x > 0 && x + s.width() > m_area.width()) {
            x = 0;
            y += shelf + PartGap;
            shelf = 0;
        }
        if (y > 0 && y + s.height() > m_area.height()) {
            m_pages << page;
            page = Page{};
            x = y = shelf = 0;
        }
        page.parts << Placed{i, onPaper(m_plan.parts[i], angle, m_area.topLeft() + QPointF(x, y))};
        x += s.width() + PartGap;
        shelf = std::max(shelf, s.height());
    }
    if (!page.parts.isEmpty())
        m_pages << page;
    for (Page &p : m_pages) {
        if (p.caption.isEmpty()) {
            QStringList names;
            for (const Placed &placed : p.parts)
                names << m_plan.parts[placed.part].name;
            p.caption = tr("parti %1").arg(names.join(QStringLiteral(", ")));
        }
    }
}

void TemplateBook::addTiledPart(int i, double angle)
{
    const Part &part = m_plan.parts[i];
    QRectF bounds;
    const QTransform base = onPaper(part, angle, QPointF(0, 0), &bounds);
    const QPainterPath shape = base.map(pathOf(part.outline));
    const double stepX = m_area.width() - Overlap, stepY = m_area.height() - Overlap;
    const int nx =
        bounds.width() <= m_area.width() ? 1 : int(std::ceil((bounds.width() - Overlap) / stepX));
    const int ny = bounds.height() <= m_area.height()
                       ? 1
                       : int(std::ceil((bounds.height() - Overlap) / stepY));
    auto tileRect = [&](int r, int c) {
        return QRectF(c * stepX, r * stepY, m_area.width(), m_area.height());
    };
    // Tiles with nothing of the part on them are not printed.
    QList<QList<int>> number(ny, QList<int>(nx, 0));
    int count = 0;
    for (int r = 0; r < ny; ++r)
        for (int c = 0; c < nx; ++c)
            if (shape.intersects(tileRect(r, c)))
                number[r][c] = ++count;

    // Registration marks in every overlap between two printed tiles, a pair on each.
    struct Mark
    {
        QPointF at; // in the part's paper frame
        QString name;
    };
    QList<Mark> marks;
    for (int r = 0; r < ny; ++r) {
        for (int c = 0; c < nx; ++c) {
            if (!number[r][c])
                continue;
            const QRectF t = tileRect(r, c);
            if (c + 1 < nx && number[r][c + 1]) {
                const double x = t.right() - Overlap / 2;
                for (double f : {0.25, 0.75})
                    marks << Mark{QPointF(x, t.top() + t.height() * f),
                                  QStringLiteral("R%1").arg(marks.size() + 1)};
            }
            if (r + 1 < ny && number[r + 1][c]) {
                const double y = t.bottom() - Overlap / 2;
                for (double f : {0.25, 0.75})
                    marks << Mark{QPointF(t.left() + t.width() * f, y),
                                  QStringLiteral("R%1").arg(marks.size() + 1)};
            }
        }
    }

    // The map: the part reduced to the page, with the tiles' numbers.
    Page map;
    map.kind = Page::Kind::Map;
    const QRectF allTiles = tileRect(0, 0) | tileRect(ny - 1, nx - 1);
    const double scale = std::min((m_area.width() - 20) / allTiles.width(),
                                  (m_area.height() - 30) / allTiles.height());
    const QTransform toMap = QTransform::fromScale(scale, scale) *
                             QTransform::fromTranslate(m_area.left() + 10, m_area.top() + 20);
    map.parts << Placed{i, base * toMap};
    for (int r = 0; r < ny; ++r)
        for (int c = 0; c < nx; ++c)
            map.tiles << qMakePair(toMap.mapRect(tileRect(r, c)), number[r][c]);
    map.caption =
        tr("parte %1: mappa di %2 tasselli, %3 righe per %4 colonne, sovrapposti di %5 mm")
            .arg(part.name)
            .arg(count)
            .arg(ny)
            .arg(nx)
            .arg(in(m_plan.options.numbers, Overlap, 0));
    m_pages << map;

    for (int r = 0; r < ny; ++r) {
        for (int c = 0; c < nx; ++c) {
            if (!number[r][c])
                continue;
            const QRectF t = tileRect(r, c);
            Page tile;
            tile.kind = Page::Kind::Tile;
            const QTransform shift =
                QTransform::fromTranslate(m_area.left() - t.left(), m_area.top() - t.top());
            tile.parts << Placed{i, base * shift};
            tile.clip = m_area;
            for (const Mark &m : marks) {
                if (t.contains(m.at)) {
                    tile.marks << shift.map(m.at);
                    tile.markNames << m.name;
                }
            }
            tile.caption = tr("parte %1: tassello %2 di %3 (riga %4, colonna %5)")
                               .arg(part.name)
                               .arg(number[r][c])
                               .arg(count)
                               .arg(r + 1)
                               .arg(c + 1);
            m_pages << tile;
        }
    }
}

} // namespace velmorant

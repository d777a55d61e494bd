#pragma once

#include "plan.h"

#include <QByteArray>
#include <QDate>
#include <QPageSize>
#include <QSizeF>
#include <QString>

class QPainter;

namespace velmorant {

// The parts on paper at 1:1, for cutting templates: small parts share a page; a part larger
// than the page is tiled with an overlap, each tile carrying paired registration marks in its
// overlaps, after a map of how its tiles join; tiles with nothing of the part are left out.
// Every page has a title block (design, parameters, sheet, allowance, date, "pagina x di y")
// and a 100 mm check bar with 10 mm ticks.
class TemplateBook
{
public:
    // The most pages a book may have; a design that needs more is refused, not drawn.
    static constexpr int MaxPages = 500;

    // `printable` is the area of a page that can be printed on, in millimetres.
    TemplateBook(const WorkshopPlan &plan, QSizeF printable, QDate date);

    QString refusal() const { return m_refusal; }
    int pageCount() const { return int(m_pages.size()); }
    // Paints page `index` with `painter` in millimetres from the printable area's top left.
    void paintPage(QPainter &painter, int index) const;

    struct Placed
    {
        int part = -1;
        QTransform toPage; // part coordinates (y up) to page millimetres (y down)
    };
    struct Page
    {
        enum class Kind { Parts, Map, Tile } kind = Kind::Parts;
        QList<Placed> parts;
        QRectF clip;          // Tile: the tile's area on the page
        QList<QPointF> marks; // Tile: registration marks, page millimetres
        QList<QString> markNames;
        QString caption; // what the page shows, in its title block
        // Map: the tiles of the part, as drawn on the map, with their numbers (0: blank).
        QList<QPair<QRectF, int>> tiles;
    };
    const QList<Page> &pages() const { return m_pages; }

private:
    void addSmallParts(const QList<QPair<int, double>> &parts);
    void addTiledPart(int part, double angle);

    const WorkshopPlan &m_plan;
    QSizeF m_printable;
    QRectF m_area; // where parts go: the printable area less the title block
    QDate m_date;
    QList<Page> m_pages;
    QString m_refusal;
};

// The book as a PDF of the given paper size, with 10 mm margins.
struct PdfDocument
{
    QByteArray bytes;
    QString failure; // why nothing was made
    bool ok() const { return failure.isEmpty(); }
};
PdfDocument workshopPdf(const WorkshopPlan &plan, QPageSize::PageSizeId paper, QDate date);

} // namespace velmorant

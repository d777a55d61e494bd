// Cutting templates as A4 pages at 100 % scale, tiled where a template is larger than a page.
#include "patternshape.h"
#include "version.h"

#include <QBuffer>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <cmath>

namespace velmorant {

namespace {

constexpr double PageWidth = 210, PageHeight = 297; // A4, mm
constexpr double Margin = 10;
constexpr double AreaTop = 24, AreaBottom = 272; // the drawing area between label and bar
constexpr double AreaWidth = PageWidth - 2 * Margin;
constexpr double AreaHeight = AreaBottom - AreaTop;
constexpr double Overlap = 10;   // shared band between neighbouring tiles
constexpr int Resolution = 1200; // dots per inch of the PDF's coordinates

// In double: a template of absurd size must give an absurd count, not an overflow.
double tilesFor(double size, double area)
{
    return size <= area ? 1 : std::ceil((size - Overlap) / (area - Overlap));
}

void drawCross(QPainter &p, QPointF at)
{
    p.drawLine(at - QPointF(4, 0), at + QPointF(4, 0));
    p.drawLine(at - QPointF(0, 4), at + QPointF(0, 4));
}

void drawCheckBar(QPainter &p)
{
    // 100 mm exactly: measure it on paper to check the print scale.
    const double y = PageHeight - 14;
    p.setPen(QPen(Qt::black, 0.5));
    p.drawLine(QPointF(Margin, y), QPointF(Margin + 100, y));
    p.drawLine(QPointF(Margin, y - 3), QPointF(Margin, y + 3));
    p.drawLine(QPointF(Margin + 100, y - 3), QPointF(Margin + 100, y + 3));
    p.drawText(QPointF(Margin + 104, y + 1.5),
               QStringLiteral("100 mm: stampare al 100 %, senza adattare alla pagina"));
}

} // namespace

PdfDocument patternsPdf(const QList<Pattern> &patterns)
{
    PdfDocument doc;
    double pages = skippedNotes(patterns).isEmpty() ? 0 : 1;
    for (const Pattern &p : patterns) {
        if (p.kind == Pattern::Kind::Skipped)
            continue;
        const QRectF bounds = patternBounds(p);
        pages += tilesFor(bounds.width(), AreaWidth) * tilesFor(bounds.height(), AreaHeight);
    }
    if (!(pages <= MaxPdfPages)) {
        doc.failure = QStringLiteral("gli sviluppi richiederebbero %1 pagine A4, oltre il "
                                     "massimo di %2")
                          .arg(std::isfinite(pages) && pages < 1e15
                                   ? QLocale(QLocale::Italian).toString(qint64(pages))
                                   : QStringLiteral("infinite"))
                          .arg(MaxPdfPages);
        return doc;
    }

    QBuffer buffer(&doc.bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(Resolution);
    pdf.setCreator(QStringLiteral("Velmorant %1").arg(QLatin1String(VersionText)));
    pdf.setTitle(QStringLiteral("Sviluppi dei segmenti dello scarico"));

    QPainter painter;
    if (!painter.begin(&pdf)) {
        doc.failure = QStringLiteral("impossibile comporre il PDF");
        return doc;
    }
    painter.scale(Resolution / 25.4, Resolution / 25.4); // millimetres from here on
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(3); // user units are millimetres: 3 mm text
    painter.setFont(font);

    bool firstPage = true;
    auto newPage = [&] {
        if (!firstPage)
            pdf.newPage();
        firstPage = false;
        drawCheckBar(painter);
    };

    for (const Pattern &p : patterns) {
        if (p.kind == Pattern::Kind::Skipped)
            continue;
        const QRectF bounds = patternBounds(p);
        QPainterPath outline;
        outline.addPolygon(QPolygonF(patternOutline(p, 0.05)));
        outline.closeSubpath();
        outline.translate(-bounds.topLeft());

        const int nx = int(tilesFor(bounds.width(), AreaWidth));
        const int ny = int(tilesFor(bounds.height(), AreaHeight));
        for (int row = 0; row < ny; ++row) {
            for (int col = 0; col < nx; ++col) {
                newPage();
                painter.setPen(QPen(Qt::black, 0));
                QString title = p.label();
                if (nx * ny > 1)
                    title += QStringLiteral("  -  foglio %1/%2 (riga %3, colonna %4)")
                                 .arg(row * nx + col + 1)
                                 .arg(nx * ny)
                                 .arg(row + 1)
                                 .arg(col + 1);
                painter.drawText(QRectF(Margin, Margin, AreaWidth, AreaTop - Margin - 2),
                                 Qt::TextWordWrap, title);

                const QRectF area(Margin, AreaTop, AreaWidth, AreaHeight);
                const QPointF origin(col * (AreaWidth - Overlap), row * (AreaHeight - Overlap));
                painter.save();
                painter.setClipRect(area);
                painter.translate(area.topLeft() - origin);
                painter.setPen(QPen(Qt::black, 0.3));
                painter.drawPath(outline);
                painter.restore();

                if (nx * ny > 1) {
                    // Marks on the corners of the area; neighbouring sheets share a band
                    // of `Overlap` mm, whose inner edges are dashed.
                    painter.setPen(QPen(Qt::black, 0.2));
                    for (QPointF c :
                         {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()})
                        drawCross(painter, c);
                    painter.setPen(QPen(Qt::gray, 0.2, Qt::DashLine));
                    if (col + 1 < nx)
                        painter.drawLine(QPointF(area.right() - Overlap, area.top()),
                                         QPointF(area.right() - Overlap, area.bottom()));
                    if (row + 1 < ny)
                        painter.drawLine(QPointF(area.left(), area.bottom() - Overlap),
                                         QPointF(area.right(), area.bottom() - Overlap));
                }
            }
        }
    }

    // Skipped segments, or nothing to draw at all, are said on a page of their own.
    const QStringList notes = skippedNotes(patterns);
    if (firstPage || !notes.isEmpty()) {
        newPage();
        painter.setPen(QPen(Qt::black, 0));
        double y = AreaTop;
        for (const QString &note : notes) {
            painter.drawText(QPointF(Margin, y), note);
            y += 6;
        }
    }
    painter.end();
    buffer.close();
    return doc;
}

} // namespace velmorant

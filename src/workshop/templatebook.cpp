#include "templatebook.h"

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

namespace {

constexpr double TitleHeight = 27; // mm at the foot of every page
constexpr double PartGap = 6;      // between parts sharing a page
constexpr double Overlap = 15;     // shared by neighbouring tiles
constexpr double PdfMargin = 10;
constexpr int PdfResolution = 1200;
constexpr double Pi = 3.14159265358979323846;

QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

QString in(const QLocale &locale, double v, int decimals = 1)
{
    return locale.toString(v, 'f', decimals);
}

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

void drawPart(QPainter &painter, const Part &p, const QTransform &toPage)
{
    const QTransform base = painter.worldTransform();
    painter.setWorldTransform(toPage * base);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0), 0.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(pathOf(p.outline));
    for (const Stroke &s : p.marks) {
        painter.setPen(
            QPen(QColor(0, 0, 0xC0), 0.2, s.dashed ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(s.a, s.b);
    }
    // Text upright along its baseline: place each line on the page, then turn it there.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(100);
    const QFontMetricsF metrics(font);
    // On the page y runs down: the text reads right, or up when vertical.
    const double a = p.label.angle * Pi / 180;
    const QPointF u(std::cos(a), std::sin(a));
    const QPointF onPage = toPage.map(p.label.centre + u) - toPage.map(p.label.centre);
    const bool turned = !(onPage.x() > 1e-9 || (std::abs(onPage.x()) <= 1e-9 && onPage.y() < 0));
    painter.setPen(QColor(0, 0x60, 0));
    for (const LabelLine &line : labelLines(p.label, turned)) {
        const QPointF at = toPage.map(line.baselineCentre);
        const QPointF d = (turned ? -1.0 : 1.0) * onPage;
        painter.setWorldTransform(base);
        painter.translate(at);
        painter.rotate(std::atan2(d.y(), d.x()) * 180 / Pi);
        painter.scale(p.label.em / 100, p.label.em / 100);
        painter.setFont(font);
        painter.drawText(QPointF(-metrics.horizontalAdvance(line.text) / 2, 0), line.text);
    }
    painter.setWorldTransform(base);
}

void drawRegistrationMark(QPainter &painter, QPointF at, const QString &name)
{
    painter.setPen(QPen(Qt::black, 0.2));
    painter.drawEllipse(at, 3.0, 3.0);
    painter.drawLine(at - QPointF(5, 0), at + QPointF(5, 0));
    painter.drawLine(at - QPointF(0, 5), at + QPointF(0, 5));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(3);
    painter.setFont(font);
    painter.drawText(at + QPointF(4, -4), name);
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

void TemplateBook::paintPage(QPainter &painter, int index) const
{
    const Page &page = m_pages[index];
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    switch (page.kind) {
    case Page::Kind::Parts:
        for (const Placed &p : page.parts)
            drawPart(painter, m_plan.parts[p.part], p.toPage);
        break;
    case Page::Kind::Tile: {
        // The tile's own area, widened by half a pen so that a line on its border is drawn
        // whole; the overlap gives the neighbour the same line.
        painter.save();
        painter.setClipRect(page.clip.adjusted(-0.2, -0.2, 0.2, 0.2));
        drawPart(painter, m_plan.parts[page.parts[0].part], page.parts[0].toPage);
        painter.restore();
        painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.15, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(page.clip);
        painter.drawRect(page.clip.adjusted(Overlap, Overlap, -Overlap, -Overlap));
        for (int k = 0; k < page.marks.size(); ++k)
            drawRegistrationMark(painter, page.marks[k], page.markNames[k]);
        break;
    }
    case Page::Kind::Map: {
        const Placed &p = page.parts[0];
        painter.save();
        painter.setWorldTransform(p.toPage * painter.worldTransform());
        painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 0));
        painter.drawPath(pathOf(m_plan.parts[p.part].outline));
        painter.restore();
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(4);
        painter.setFont(font);
        for (const auto &[rect, n] : page.tiles) {
            painter.setPen(QPen(n ? QColor(0, 0, 0xC0) : QColor(0xB0, 0xB0, 0xB0), 0.3,
                                n ? Qt::SolidLine : Qt::DotLine));
            painter.drawRect(rect);
            if (n)
                painter.drawText(rect, Qt::AlignCenter, QString::number(n));
        }
        break;
    }
    }

    // The title block, and the bar that checks the printer's scale.
    const double top = m_printable.height() - TitleHeight;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(3);
    painter.setFont(font);
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 0.25));
    painter.drawLine(QPointF(0, top + 1), QPointF(m_printable.width(), top + 1));
    const WorkshopPlan &plan = m_plan;
    QStringList parameters;
    for (std::size_t f = 0; f < FieldCount; ++f)
        parameters << QStringLiteral("%1 %2").arg(
            QLatin1String(fieldInfo(f).name),
            plan.options.numbers.toString(plan.parameters.values[f], 'g', 10));
    const QString name =
        plan.options.designName.isEmpty() ? tr("progetto senza nome") : plan.options.designName;
    painter.drawText(
        QPointF(0, top + 5.5),
        QStringLiteral("Velmorant %1 - %2 - %3 - %4")
            .arg(QLatin1String(VersionText), name, plan.options.pipeName,
                 QLocale(QLocale::Italian).toString(m_date, QStringLiteral("dd/MM/yyyy"))));
    painter.drawText(QPointF(0, top + 10), parameters.join(QStringLiteral("  ")));
    painter.drawText(
        QPointF(0, top + 14.5),
        tr("lamiera %1 mm - sormonto %2 mm - %3 - pagina %4 di %5")
            .arg(in(plan.options.numbers, plan.options.sheetThickness),
                 in(plan.options.numbers, plan.options.seamAllowance), page.caption)
            .arg(index + 1)
            .arg(m_pages.size()));
    // 100 mm exactly, ticks every 10: measure it on paper to check the print scale.
    const double bar = top + 21;
    painter.setPen(QPen(Qt::black, 0.3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(0, bar), QPointF(100, bar));
    for (int t = 0; t <= 10; ++t) {
        const double len = t % 5 == 0 ? 3 : 1.8;
        painter.drawLine(QPointF(t * 10, bar - len), QPointF(t * 10, bar));
    }
    painter.drawText(QPointF(104, bar),
                     tr("100 mm: stampare al 100 %, senza adattare alla pagina"));
    painter.restore();
}

PdfDocument workshopPdf(const WorkshopPlan &plan, QPageSize::PageSizeId paper, QDate date)
{
    PdfDocument doc;
    const QPageSize size(paper);
    const QSizeF paperMm = size.size(QPageSize::Millimeter);
    const TemplateBook book(plan, paperMm - QSizeF(2 * PdfMargin, 2 * PdfMargin), date);
    if (!book.refusal().isEmpty()) {
        doc.failure = book.refusal();
        return doc;
    }
    QBuffer buffer(&doc.bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(size);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(PdfResolution);
    pdf.setCreator(QStringLiteral("Velmorant %1").arg(QLatin1String(VersionText)));
    pdf.setTitle(tr("Sagome dei pezzi dello scarico"));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        doc.failure = tr("impossibile comporre il PDF");
        return doc;
    }
    for (int i = 0; i < book.pageCount(); ++i) {
        if (i > 0)
            pdf.newPage();
        painter.resetTransform();
        painter.scale(PdfResolution / 25.4, PdfResolution / 25.4); // millimetres from here on
        painter.translate(PdfMargin, PdfMargin);
        book.paintPage(painter, i);
    }
    painter.end();
    return doc;
}

} // namespace velmorant

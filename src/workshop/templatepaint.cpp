// The templates painted: the parts of a page, the title block and the scale bar; the PDF.
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

#include "svgwriter.h"

#include <cmath>

namespace velmorant {

namespace {

constexpr double Margin = 10; // mm around the drawing

QString num(double v)
{
    QString s = QString::number(v, 'f', 4);
    while (s.contains(QLatin1Char('.')) && (s.endsWith(QLatin1Char('0')) || s.endsWith('.')))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

} // namespace

QByteArray workshopSvg(const WorkshopPlan &plan, const SheetLayout &layout)
{
    const QRectF page = layout.extent.adjusted(-Margin, -Margin, Margin, Margin);
    // y upwards in the drawing, downwards in SVG.
    auto X = [&](double x) { return num(x - page.left()); };
    auto Y = [&](double y) { return num(page.bottom() - y); };
    auto pt = [&](QPointF p) { return X(p.x()) + QLatin1Char(' ') + Y(p.y()); };

    QString sheets, cuts, etch, labels;
    for (int i = 0; i < layout.sheets.size(); ++i) {
        const QRectF &s = layout.sheets[i];
        sheets += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>\n")
                      .arg(X(s.left()), Y(s.bottom()), num(s.width()), num(s.height()));
        sheets += QStringLiteral("<text x=\"%1\" y=\"%2\" stroke=\"none\" "
                                 "fill=\"#777777\">foglio %3</text>\n")
                      .arg(X(s.left()), num(page.bottom() - s.top() + 6))
                      .arg(layout.sheetNumbers[i]);
    }
    for (const SheetLayout::Item &item : layout.items) {
        const Part &p = plan.parts[item.part];
        const Contour c = transformed(p.cut, item.toDrawing);
        QString d = QStringLiteral("M ") + pt(c.vertices[0].p);
        const int n = int(c.vertices.size());
        for (int k = 0; k < n; ++k) {
            const ContourVertex &v = c.vertices[k];
            const QPointF next = c.vertices[(k + 1) % n].p;
            if (v.bulge == 0) {
                d += QStringLiteral(" L ") + pt(next);
                continue;
            }
            const ArcEdge arc = arcOf(v.p, next, v.bulge);
            // The page shows the drawing upright, so a counter-clockwise arc stays
            // counter-clockwise to the eye; in SVG's y-down frame that is the direction of
            // decreasing angle, sweep flag 0.
            d += QStringLiteral(" A %1 %1 0 %2 %3 %4")
                     .arg(num(arc.radius))
                     .arg(std::abs(arc.sweep) > 3.14159265358979323846 ? 1 : 0)
                     .arg(arc.sweep > 0 ? 0 : 1)
                     .arg(pt(next));
        }
        cuts += QStringLiteral("<path id=\"parte%1\" d=\"%2 Z\"/>\n").arg(p.name, d);
        for (const Stroke &s : p.marks) {
            const Stroke t = transformed(s, item.toDrawing);
            etch += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"%5/>\n")
                        .arg(X(t.a.x()), Y(t.a.y()), X(t.b.x()), Y(t.b.y()),
                             t.dashed ? QStringLiteral(" stroke-dasharray=\"6 3\"") : QString());
        }
        double turn = p.label.angle + std::atan2(item.toDrawing.m12(), item.toDrawing.m11()) * 180 /
                                          3.14159265358979323846;
        const bool turned = upsideDown(turn);
        turn += turned ? 180 : 0;
        for (const LabelLine &line : labelLines(p.label, turned)) {
            const QPointF at = item.toDrawing.map(line.baselineCentre);
            labels += QStringLiteral("<text font-size=\"%3\" "
                                     "transform=\"translate(%1 %2) rotate(%4)\">%5</text>\n")
                          .arg(X(at.x()), Y(at.y()), num(p.label.em), num(-turn),
                               line.text.toHtmlEscaped());
        }
    }
    const QString svg =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1mm\" height=\"%2mm\" "
            "viewBox=\"0 0 %1 %2\">\n"
            "<!-- Velmorant: parti da tagliare in scala 1:1, millimetri -->\n"
            "<g id=\"SHEET\" fill=\"none\" stroke=\"#999999\" stroke-width=\"0.5\" "
            "font-family=\"Liberation Sans, DejaVu Sans, sans-serif\" font-size=\"5\">\n%3</g>\n"
            "<g id=\"CUT\" fill=\"none\" stroke=\"#000000\" stroke-width=\"0.3\">\n%4</g>\n"
            "<g id=\"ETCH\" fill=\"none\" stroke=\"#0000c0\" stroke-width=\"0.2\">\n%5</g>\n"
            "<g id=\"LABEL\" fill=\"#006000\" text-anchor=\"middle\" "
            "font-family=\"Liberation Sans, DejaVu Sans, sans-serif\">\n%6</g>\n"
            "</svg>\n")
            .arg(num(page.width()), num(page.height()), sheets, cuts, etch, labels);
    return svg.toUtf8();
}

} // namespace velmorant

#include "patternshape.h"

#include <QtMath>

namespace velmorant {

namespace {

constexpr double Gap = 20; // mm between templates on one drawing

QPointF polar(double r, double degrees)
{
    return {r * std::cos(qDegreesToRadians(degrees)), r * std::sin(qDegreesToRadians(degrees))};
}

QString num(double v)
{
    return QString::number(v, 'f', 4);
}

} // namespace

QList<QPointF> patternOutline(const Pattern &p, double stepDegrees)
{
    QList<QPointF> points;
    if (p.kind == Pattern::Kind::Rectangle) {
        points << QPointF(0, 0) << QPointF(p.width, 0) << QPointF(p.width, p.height)
               << QPointF(0, p.height);
    } else if (p.kind == Pattern::Kind::Sector) {
        const int steps = std::max(2, int(std::ceil(p.sweepDegrees / stepDegrees)));
        for (int i = 0; i <= steps; ++i)
            points << polar(p.outerRadius, sectorStart(p) + p.sweepDegrees * i / steps);
        for (int i = steps; i >= 0; --i)
            points << polar(p.innerRadius, sectorStart(p) + p.sweepDegrees * i / steps);
    }
    return points;
}

QRectF patternBounds(const Pattern &p)
{
    const QList<QPointF> points = patternOutline(p);
    if (points.isEmpty())
        return {};
    double x0 = points[0].x(), x1 = x0, y0 = points[0].y(), y1 = y0;
    for (const QPointF &pt : points) {
        x0 = std::min(x0, pt.x());
        x1 = std::max(x1, pt.x());
        y0 = std::min(y0, pt.y());
        y1 = std::max(y1, pt.y());
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

QStringList skippedNotes(const QList<Pattern> &patterns)
{
    QStringList notes;
    for (const Pattern &p : patterns) {
        if (p.kind == Pattern::Kind::Skipped)
            notes << QStringLiteral("Segmento %1 (%2) saltato: lunghezza %3 mm non positiva")
                         .arg(p.segment)
                         .arg(p.name, QString::number(p.length, 'f', 1));
    }
    return notes;
}

QByteArray patternsSvg(const QList<Pattern> &patterns)
{
    QString body;
    double y = Gap;
    double width = 2 * Gap;
    for (const Pattern &p : patterns) {
        if (p.kind == Pattern::Kind::Skipped)
            continue;
        const QRectF b = patternBounds(p);
        body += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"5\">%3</text>\n")
                    .arg(num(Gap), num(y), p.label().toHtmlEscaped());
        y += 4;
        // Shift the shape so its bounds start at (Gap, y).
        const double dx = Gap - b.left(), dy = y - b.top();
        QString d;
        if (p.kind == Pattern::Kind::Rectangle) {
            d = QStringLiteral("M %1 %2 h %3 v %4 h %5 Z")
                    .arg(num(dx), num(dy), num(p.width), num(p.height), num(-p.width));
        } else {
            const QPointF o0 = polar(p.outerRadius, sectorStart(p)) + QPointF(dx, dy);
            const QPointF o1 = polar(p.outerRadius, sectorEnd(p)) + QPointF(dx, dy);
            const QPointF i1 = polar(p.innerRadius, sectorEnd(p)) + QPointF(dx, dy);
            const QPointF i0 = polar(p.innerRadius, sectorStart(p)) + QPointF(dx, dy);
            const int large = p.sweepDegrees > 180 ? 1 : 0;
            d = QStringLiteral("M %1 %2 A %3 %3 0 %4 1 %5 %6 L %7 %8 A %9 %9 0 %4 0 %10 %11 Z")
                    .arg(num(o0.x()), num(o0.y()), num(p.outerRadius))
                    .arg(large)
                    .arg(num(o1.x()), num(o1.y()), num(i1.x()), num(i1.y()), num(p.innerRadius),
                         num(i0.x()), num(i0.y()));
        }
        body += QStringLiteral("<path id=\"segmento%1\" d=\"%2\" fill=\"none\" stroke=\"black\" "
                               "stroke-width=\"0.3\"/>\n")
                    .arg(p.segment)
                    .arg(d);
        y += b.height() + Gap;
        width = std::max(width, b.width() + 2 * Gap);
    }
    for (const QString &note : skippedNotes(patterns)) {
        body += QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"5\">%3</text>\n")
                    .arg(num(Gap), num(y), note.toHtmlEscaped());
        y += 8;
    }
    const QString svg =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1mm\" height=\"%2mm\" "
                       "viewBox=\"0 0 %1 %2\" font-family=\"Liberation Sans, sans-serif\">\n"
                       "<!-- templates at 1:1, millimetres -->\n%3</svg>\n")
            .arg(num(width), num(y), body);
    return svg.toUtf8();
}

QByteArray patternsDxf(const QList<Pattern> &patterns)
{
    QByteArray out;
    auto group = [&out](int code, const QString &value) {
        out += QByteArray::number(code) + "\r\n" + value.toLatin1() + "\r\n";
    };
    auto point = [&](int base, QPointF pt) { // y upwards in DXF
        group(base, num(pt.x()));
        group(base + 10, num(-pt.y()));
        group(base + 20, QStringLiteral("0.0"));
    };
    auto line = [&](QPointF a, QPointF b) {
        group(0, QStringLiteral("LINE"));
        group(8, QStringLiteral("CUT"));
        point(10, a);
        point(11, b);
    };
    auto text = [&](QPointF at, const QString &s) {
        group(0, QStringLiteral("TEXT"));
        group(8, QStringLiteral("LABEL"));
        point(10, at);
        group(40, QStringLiteral("4.0"));
        group(1, s);
    };

    group(0, QStringLiteral("SECTION"));
    group(2, QStringLiteral("HEADER"));
    group(9, QStringLiteral("$ACADVER"));
    group(1, QStringLiteral("AC1009"));
    group(9, QStringLiteral("$MEASUREMENT"));
    group(70, QStringLiteral("1"));
    group(9, QStringLiteral("$INSUNITS"));
    group(70, QStringLiteral("4"));
    group(0, QStringLiteral("ENDSEC"));
    group(0, QStringLiteral("SECTION"));
    group(2, QStringLiteral("TABLES"));
    group(0, QStringLiteral("TABLE"));
    group(2, QStringLiteral("LAYER"));
    group(70, QStringLiteral("2"));
    for (const char *layer : {"CUT", "LABEL"}) {
        group(0, QStringLiteral("LAYER"));
        group(2, QString::fromLatin1(layer));
        group(70, QStringLiteral("0"));
        group(62, qstrcmp(layer, "CUT") == 0 ? QStringLiteral("7") : QStringLiteral("5"));
        group(6, QStringLiteral("CONTINUOUS"));
    }
    group(0, QStringLiteral("ENDTAB"));
    group(0, QStringLiteral("ENDSEC"));
    group(0, QStringLiteral("SECTION"));
    group(2, QStringLiteral("ENTITIES"));

    double y = 0;
    for (const Pattern &p : patterns) {
        if (p.kind == Pattern::Kind::Skipped)
            continue;
        const QRectF b = patternBounds(p);
        text(QPointF(0, y), p.label());
        y += 8;
        const QPointF shift(-b.left(), y - b.top());
        if (p.kind == Pattern::Kind::Rectangle) {
            const QPointF c[4] = {QPointF(0, 0), QPointF(p.width, 0), QPointF(p.width, p.height),
                                  QPointF(0, p.height)};
            for (int i = 0; i < 4; ++i)
                line(c[i] + shift, c[(i + 1) % 4] + shift);
        } else {
            for (double r : {p.outerRadius, p.innerRadius}) {
                group(0, QStringLiteral("ARC"));
                group(8, QStringLiteral("CUT"));
                point(10, shift);
                group(40, num(r));
                // Angles counter-clockwise with y upwards: the sector opens downwards.
                group(50, num(360 - sectorEnd(p)));
                group(51, num(360 - sectorStart(p)));
            }
            line(polar(p.innerRadius, sectorStart(p)) + shift,
                 polar(p.outerRadius, sectorStart(p)) + shift);
            line(polar(p.innerRadius, sectorEnd(p)) + shift,
                 polar(p.outerRadius, sectorEnd(p)) + shift);
        }
        y += b.height() + Gap;
    }
    for (const QString &note : skippedNotes(patterns)) {
        text(QPointF(0, y), note);
        y += 8;
    }
    group(0, QStringLiteral("ENDSEC"));
    group(0, QStringLiteral("EOF"));
    return out;
}

} // namespace velmorant

#include "development.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

QString mm(double v)
{
    return QString::number(v, 'f', 1);
}

} // namespace

Development developFrustum(int segment, const QString &name, double length, double d1, double d2,
                           double sheet)
{
    Development p;
    p.segment = segment;
    p.name = name;
    p.length = length;
    p.d1 = d1;
    p.d2 = d2;
    p.mean1 = d1 + sheet;
    p.mean2 = d2 + sheet;
    if (!(length > 0)) {
        p.kind = Development::Kind::Skipped;
        return p;
    }
    const double rBig = std::max(p.mean1, p.mean2) / 2;
    const double rSmall = std::min(p.mean1, p.mean2) / 2;
    const double dr = rBig - rSmall;
    if (dr == 0) {
        p.kind = Development::Kind::Rectangle;
        p.width = TruePi * p.mean1;
        p.height = length;
        return p;
    }
    // The cone's slant s is the radius difference of the development; the big end's
    // circumference, 2 pi rBig, is the outer arc R * angle.
    p.kind = Development::Kind::Sector;
    p.slant = std::sqrt(length * length + dr * dr);
    p.outerRadius = p.slant * rBig / dr;
    p.innerRadius = p.outerRadius - p.slant;
    p.sweepDegrees = 360.0 * dr / p.slant;
    return p;
}

QList<Development> developSegments(const ChamberDimensions &d, double sheet)
{
    auto tr = [](const char *s) { return QCoreApplication::translate("velmorant", s); };
    return {developFrustum(1, tr("tubo iniziale"), d.L1, d.D1, d.D1, sheet),
            developFrustum(2, tr("cono divergente"), d.L2, d.D1, d.D2, sheet),
            developFrustum(3, tr("tratto centrale"), d.L3, d.D2, d.D2, sheet),
            developFrustum(4, tr("cono convergente"), d.L4, d.D2, d.D3, sheet),
            developFrustum(5, tr("coda"), d.L5, d.D3, d.D3, sheet)};
}

QString Development::label() const
{
    QString text = QStringLiteral("%1 %2: L %3").arg(segment).arg(name, mm(length));
    switch (kind) {
    case Kind::Skipped:
        return text + QStringLiteral(" - saltato (lunghezza non positiva)");
    case Kind::Rectangle:
        return text + QStringLiteral(", D %1, dm %2, rettangolo %3 x %4")
                          .arg(mm(d1), mm(mean1), mm(width), mm(height));
    case Kind::Sector:
        return text + QStringLiteral(", D %1-%2, s %3, R %4, r %5, angolo %6\u00b0")
                          .arg(mm(d1), mm(d2), mm(slant), mm(outerRadius), mm(innerRadius),
                               QString::number(sweepDegrees, 'f', 2));
    }
    return text;
}

QStringList skippedNotes(const QList<Development> &developments)
{
    QStringList notes;
    for (const Development &p : developments) {
        if (p.kind == Development::Kind::Skipped)
            notes << QCoreApplication::translate(
                         "velmorant", "Segmento %1 (%2) saltato: lunghezza %3 mm non positiva")
                         .arg(p.segment)
                         .arg(p.name, QString::number(p.length, 'f', 1));
    }
    return notes;
}

} // namespace velmorant

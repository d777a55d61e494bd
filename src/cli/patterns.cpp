#include "patterns.h"

#include <cmath>

namespace velmorant {

namespace {

// The true pi here: these are workshop dimensions, not the sizing's own constants.
constexpr double TruePi = 3.14159265358979323846;

Pattern develop(int segment, const char *name, double length, double d1, double d2, double sheet)
{
    Pattern p;
    p.segment = segment;
    p.name = QString::fromUtf8(name);
    p.length = length;
    p.d1 = d1;
    p.d2 = d2;
    p.mean1 = d1 + sheet;
    p.mean2 = d2 + sheet;
    if (!(length > 0)) {
        p.kind = Pattern::Kind::Skipped;
        return p;
    }
    const double rBig = std::max(p.mean1, p.mean2) / 2;
    const double rSmall = std::min(p.mean1, p.mean2) / 2;
    const double dr = rBig - rSmall;
    if (dr == 0) {
        p.kind = Pattern::Kind::Rectangle;
        p.width = TruePi * p.mean1;
        p.height = length;
        return p;
    }
    p.kind = Pattern::Kind::Sector;
    p.slant = std::sqrt(length * length + dr * dr);
    p.outerRadius = p.slant * rBig / dr;
    p.innerRadius = p.outerRadius - p.slant;
    p.sweepDegrees = 360.0 * dr / p.slant;
    return p;
}

QString mm(double v)
{
    return QString::number(v, 'f', 1);
}

} // namespace

QString Pattern::label() const
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

QList<Pattern> computePatterns(const ChamberDimensions &d, double sheet)
{
    return {develop(1, "tubo iniziale", d.L1, d.D1, d.D1, sheet),
            develop(2, "cono divergente", d.L2, d.D1, d.D2, sheet),
            develop(3, "tratto centrale", d.L3, d.D2, d.D2, sheet),
            develop(4, "cono convergente", d.L4, d.D2, d.D3, sheet),
            develop(5, "coda", d.L5, d.D3, d.D3, sheet)};
}

} // namespace velmorant

#include "development.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace velmorant {

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

QList<Development> developPipe(const Pipe &pipe, double sheet, const route::RouteLayout *layout)
{
    auto tr = [](const char *s) { return QCoreApplication::translate("velmorant", s); };
    QList<Development> out;
    const int n = int(pipe.sections.size());
    for (int i = 0; i < n; ++i) {
        const PipeSection &s = pipe.sections[i];
        QString name;
        switch (s.kind()) {
        case PipeSection::Kind::Diverging:
            name = tr("cono divergente");
            break;
        case PipeSection::Kind::Converging:
            name = tr("cono convergente");
            break;
        default:
            name = i == 0 ? tr("tubo iniziale") : i + 1 == n ? tr("coda") : tr("tratto centrale");
        }
        const QString label = sectionName(pipe, i);
        if (label.contains(QLatin1Char('.')))
            name += QLatin1Char(' ') + tr("stadio %1").arg(label.section(QLatin1Char('.'), 1));
        Development dev = developFrustum(label.section(QLatin1Char('.'), 0, 0).toInt(), name,
                                         s.length, s.dIn, s.dOut, sheet);
        if (dev.segment <= 0)
            dev.segment = i + 1;
        dev.label = label;
        QList<route::Piece> pieces;
        if (layout) {
            for (const route::Piece &p : layout->pieces) {
                if (p.section == i)
                    pieces << p;
            }
        }
        const bool mitred = std::any_of(pieces.cbegin(), pieces.cend(),
                                        [](const route::Piece &p) {
                                            return p.mitred() || p.halves >= 0;
                                        });
        if (!mitred) {
            out << dev;
            continue;
        }
        for (int k = 0; k < pieces.size(); ++k) {
            const route::Piece &p = pieces[k];
            double x1 = p.startMm - pipe.start(i) + p.length;
            // A bend made as halves is one development from its first piece to its last.
            int last = k;
            while (p.halves >= 0 && last + 1 < pieces.size() && pieces[last + 1].halves == p.halves)
                x1 += pieces[++last].length;
            const double x0 = p.startMm - pipe.start(i);
            Development piece = developFrustum(dev.segment, name, x1 - x0,
                                               s.dIn + (s.dOut - s.dIn) * x0 / s.length,
                                               s.dIn + (s.dOut - s.dIn) * x1 / s.length, sheet);
            piece.label = p.name;
            if (p.halves >= 0) {
                piece.kind = Development::Kind::Rectangle;
                for (const route::HalvesSpan &h : layout->halves) {
                    if (h.bend == p.halves)
                        piece.halves = route::halvesBend(pipe, *layout, h, sheet);
                }
            } else if (p.mitred()) {
                piece.mitre = p;
            }
            out << piece;
            k = last;
        }
    }
    return out;
}

} // namespace velmorant

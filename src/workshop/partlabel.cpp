// The label and marks inside a part: the text, fitted as large as the body takes it.
#include "partlabel.h"

#include "textmodel.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace velmorant::partlabel {

namespace {

QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

// Whether segment pq crosses the ray from the origin along u.
bool crossesRay(QPointF p, QPointF q, QPointF u)
{
    const QPointF d = q - p;
    const double denom = d.x() * u.y() - d.y() * u.x();
    if (denom == 0)
        return false;
    const double s = (p.x() * u.y() - p.y() * u.x()) / -denom; // along pq
    const double t = (p.x() * d.y() - p.y() * d.x()) / -denom; // along the ray
    return s >= 0 && s <= 1 && t >= 0;
}

// The largest font size, up to MaxLabelEm, at which `lines` fit centred at `centre` with
// baselines at `angle`; 0 when not even `smallest` does.
double fittingEm(const Body &body, const QStringList &lines, QPointF centre, double angle,
                 double smallest = SmallestEm)
{
    const QSizeF unit = textBlockSize(lines, 1.0);
    const QPointF u = polar(1, angle * Deg), v = polar(1, angle * Deg + TruePi / 2);
    auto fits = [&](double em) {
        const double hw = unit.width() * em / 2, hh = unit.height() * em / 2;
        const QPointF corners[4] = {centre - u * hw - v * hh, centre + u * hw - v * hh,
                                    centre + u * hw + v * hh, centre - u * hw + v * hh};
        return body.contains(corners);
    };
    if (!fits(smallest))
        return 0;
    double lo = smallest, hi = MaxLabelEm;
    if (fits(hi))
        return hi;
    for (int i = 0; i < 40; ++i) {
        const double mid = (lo + hi) / 2;
        (fits(mid) ? lo : hi) = mid;
    }
    return lo;
}

// `along` is the angle of the piece's longer extent (0 or 90 degrees), where a piece too
// narrow for the label still carries its name.
} // namespace

QString in(const QLocale &locale, double v, int decimals)
{
    return locale.toString(v, 'f', decimals);
}

// Exact for rectangles of text: corners against the outer circle and the wedge (both convex for
// sweeps up to 180 degrees), edges against the inner circle.
bool Body::contains(const QPointF corners[4]) const
{
    for (int i = 0; i < 4; ++i) {
        const QPointF p = corners[i];
        if (!sector) {
            if (p.x() < margin || p.x() > w - margin || p.y() < y0 + margin ||
                p.y() > h - margin)
                return false;
            continue;
        }
        if (std::hypot(p.x(), p.y()) > R - margin)
            return false;
        // Distance inwards from each radial edge's line. The wedge is convex up to 180
        // degrees; beyond, it is the union of the two half-planes, and an edge must not
        // cross the narrow wedge left out between its two rays either.
        const QPointF u0 = polar(1, TruePi / 2 - half), u1 = polar(1, TruePi / 2 + half);
        const double right = u0.x() * p.y() - u0.y() * p.x();
        const double left = p.x() * u1.y() - p.y() * u1.x();
        const QPointF q = corners[(i + 1) % 4];
        if (half <= TruePi / 2) {
            if (right < margin || left < margin)
                return false;
        } else if ((right < margin && left < margin) || crossesRay(p, q, u0) ||
                   crossesRay(p, q, u1)) {
            return false;
        }
        // The inner circle, against the whole edge from this corner to the next.
        const QPointF d = q - p;
        const double t = std::clamp(
            -(p.x() * d.x() + p.y() * d.y()) / (d.x() * d.x() + d.y() * d.y()), 0.0, 1.0);
        const QPointF nearest = p + t * d;
        if (std::hypot(nearest.x(), nearest.y()) < r + margin)
            return false;
    }
    return true;
}

PartLabel fitLabel(const Body &body, const QStringList &lines, const QString &name,
                   QPointF centre, double along)
{
    // Across the part or along it, whichever gives the larger text; all the lines that stay
    // readable; when none does, the largest text found.
    PartLabel best;
    for (int count = int(lines.size()); count >= 1; --count) {
        PartLabel candidate;
        for (double angle : {0.0, 90.0}) {
            const QStringList shown = lines.mid(0, count);
            const double em = fittingEm(body, shown, centre, angle);
            if (em > candidate.em)
                candidate = PartLabel{shown, em, centre, angle, int(lines.size()) - count};
        }
        if (candidate.em >= ReadableEm)
            return candidate;
        if (candidate.em > best.em)
            best = candidate;
    }
    if (best.em > 0)
        return best;
    // A piece too narrow for any of that still carries its name, as large as it goes along its
    // longer extent, closer to the edges.
    for (double angle : {along, 90 - along}) {
        for (double margin = LabelMargin / 2; margin >= 0.05; margin /= 2) {
            Body narrow = body;
            narrow.margin = margin;
            for (const QStringList &shown : {lines.mid(0, 1), QStringList{name}}) {
                const double em = fittingEm(narrow, shown, centre, angle, 0.1);
                if (em > best.em)
                    best = PartLabel{shown, em, centre, angle, int(lines.size()) - 1};
                if (best.em >= ReadableEm)
                    return best;
            }
            if (best.em > 0)
                return best;
        }
    }
    best.omitted = int(lines.size());
    return best;
}

// The centre line along the part's axis, with a gap where the label sits.
void addCentreLine(QList<Stroke> &marks, QPointF from, QPointF to, const PartLabel &label)
{
    if (label.em <= 0) {
        marks << Stroke{from, to, true};
        return;
    }
    const double total = std::hypot(to.x() - from.x(), to.y() - from.y());
    if (!(total > 0))
        return;
    const QPointF axis = (to - from) / total;
    const double along = std::abs(std::cos(label.angle * Deg - std::atan2(axis.y(), axis.x())));
    const QSizeF block = textBlockSize(label.lines, label.em);
    // Half the block's extent along the axis, plus a little air.
    const double half = (along > 0.5 ? block.width() : block.height()) / 2 + 1.5;
    const double t =
        (label.centre.x() - from.x()) * axis.x() + (label.centre.y() - from.y()) * axis.y();
    if (t - half > 0)
        marks << Stroke{from, from + axis * (t - half), true};
    if (t + half < total)
        marks << Stroke{from + axis * (t + half), to, true};
}

// An arrow on the axis, pointing from `tail` to `head`.
void addArrow(QList<Stroke> &marks, QPointF tail, QPointF head)
{
    const QPointF d = head - tail;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0)
        return;
    const QPointF u = d / len, n(-u.y(), u.x());
    const double barb = std::min(6.0, len * 0.35);
    marks << Stroke{tail, head} << Stroke{head, head - u * barb + n * barb * 0.45}
          << Stroke{head, head - u * barb - n * barb * 0.45};
}

QStringList labelLines(const Part &p, const WorkshopOptions &o)
{
    const Development &f = p.frustum;
    QStringList lines;
    lines << QStringLiteral("%1 %2").arg(p.name, p.segmentName);
    lines << tr("\u00d8 int. %1 / %2 - \u00d8 medio %3 / %4")
                 .arg(in(o.numbers, f.d1), in(o.numbers, f.d2), in(o.numbers, f.mean1), in(o.numbers, f.mean2));
    if (p.halves())
        lines << tr("L asse %1 - semiguscio della curva %2 (due uguali)")
                     .arg(in(o.numbers, f.length))
                     .arg(f.halves->bend + 1)
              << tr("approssimato: provare prima su un pezzo di saggio");
    else if (p.mitred())
        lines << tr("L asse %1 - bordi %2 / %3 - taglio obliquo")
                     .arg(in(o.numbers, f.length), in(o.numbers, p.edgeUp), in(o.numbers, p.edgeDown));
    else if (p.isSector())
        lines << tr("L %1 - s %2 - R %3 - r %4")
                     .arg(in(o.numbers, f.length), in(o.numbers, f.slant), in(o.numbers, f.outerRadius), in(o.numbers, f.innerRadius));
    else
        lines << tr("L %1 - sviluppo %2").arg(in(o.numbers, f.length), in(o.numbers, p.width));
    QString sheet = p.halves() ? tr("lamiera %1 - margine %2 - allungamento %3%")
                                     .arg(in(o.numbers, o.sheetThickness), in(o.numbers, o.halvesMargin),
                                          in(o.numbers, o.halvesStretch))
                               : tr("lamiera %1 - sormonto %2").arg(in(o.numbers, o.sheetThickness), in(o.numbers, p.allowance));
    if (p.isSector())
        sheet = tr("angolo %1\u00b0 - ").arg(in(o.numbers, p.sweepDegrees, 2)) + sheet;
    lines << sheet;
    if (p.stretches * p.pieces > 1)
        lines << tr("tratto %1/%2 - pezzo %3/%4")
                     .arg(p.stretch + 1)
                     .arg(p.stretches)
                     .arg(p.piece + 1)
                     .arg(p.pieces);
    if (!o.designName.isEmpty())
        lines << o.designName;
    return lines;
}

} // namespace velmorant::partlabel

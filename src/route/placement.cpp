#include "placement.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace velmorant::route::placement {

int sectionAt(const Pipe &pipe, double x)
{
    for (int i = 0; i < pipe.sections.size(); ++i) {
        if (x < pipe.start(i) + pipe.sections[i].length)
            return i;
    }
    return int(pipe.sections.size()) - 1;
}

double taperOf(const PipeSection &s)
{
    return (s.dOut - s.dIn) / 2 / s.length;
}

QString mm(double v)
{
    return QString::number(v, 'f', 1);
}

QString tr(const char *s)
{
    return QCoreApplication::translate("velmorant", s);
}

namespace {

class Placer
{
public:
    Placer(const Pipe &pipe, const Route &route, const LayoutRules &rules, RouteLayout &out)
        : pipe(pipe), route(route), rules(rules), out(out)
    {
    }

    // Each joint's place along the pipe, in order; a bend must fall inside the pipe, clear of
    // the next, and no joint may sit where the taper changes.
    bool placeJoints()
    {
        const double length = pipe.length();
        double last = 0;
        for (int b = 0; b < route.bends.size(); ++b) {
            const Bend &bend = route.bends[b];
            const double spacing = bend.spacing();
            for (int k = 0; k < bend.joints; ++k) {
                const double at = bend.atMm + k * spacing;
                const QString which = tr("curva %1, giunzione %2").arg(b + 1).arg(k + 1);
                if (!(at > SamePlace) || !(at < length - SamePlace))
                    return refuse(tr("%1: a %2 mm dalla luce, fuori dal tubo (lungo %3 mm)")
                                      .arg(which, mm(at), mm(length)));
                if (!out.halves.isEmpty() && out.halves.last().bend == b - 1 && k == 0)
                    last = std::max(last, out.halves.last().toMm);
                if (!out.joints.isEmpty() && !(at > last + SamePlace))
                    return refuse(tr("%1: a %2 mm, non dopo l'ultima giunzione della curva %3 "
                                     "(%4 mm): le due curve si sovrappongono")
                                      .arg(which, mm(at))
                                      .arg(out.joints.last().bend + 1)
                                      .arg(mm(last)));
                const int i = sectionAt(pipe, at);
                if (std::abs(at - pipe.start(i)) <= SamePlace && i > 0) {
                    const PipeSection &before = pipe.sections[i - 1], &after = pipe.sections[i];
                    if (std::abs(taperOf(before) - taperOf(after)) > 1e-9 ||
                        std::abs(before.dOut - after.dIn) > 1e-9)
                        return refuse(tr("%1: a %2 mm cade dove cambia la conicit\u00e0 (tra le "
                                         "sezioni %3 e %4): spostala dentro una sezione")
                                          .arg(which, mm(at), sectionName(pipe, i - 1),
                                               sectionName(pipe, i)));
                }
                const double turn = bend.angleDeg / bend.joints;
                const double limit =
                    rules.maxJointDeg > 0 ? rules.maxJointDeg : jointLimit(pipe, i);
                if (!bend.halves && turn > limit + 1e-9)
                    return refuse(tr("%1: gira di %2\u00b0, oltre i %3\u00b0 ammessi nella "
                                     "sezione %4 (aggiungi giunzioni)")
                                      .arg(which, QString::number(turn, 'f', 2),
                                           QString::number(limit, 'f', 1), sectionName(pipe, i)));
                Joint j;
                j.bend = b;
                j.index = k;
                j.atMm = at;
                j.angleDeg = turn;
                out.joints << j;
                last = at;
            }
            if (bend.halves && !placeHalves(b))
                return false;
        }
        return true;
    }

private:
    // A bend made as halves runs from half a spacing before its first joint to half a spacing
    // after its last, inside one section and clear of the bends either side.
    bool placeHalves(int b)
    {
        const Bend &bend = route.bends[b];
        const double half = bend.spacing() / 2;
        const double from = bend.atMm - half, to = bend.atMm + (bend.joints - 1) * 2 * half + half;
        const int i = sectionAt(pipe, std::max(from, 0.0) + SamePlace);
        const double x0 = pipe.start(i), x1 = x0 + pipe.sections[i].length;
        if (!(from >= x0 - SamePlace) || !(to <= x1 + SamePlace))
            return refuse(tr("curva %1: i semigusci vanno da %2 a %3 mm, fuori dalla sezione "
                             "%4 (da %5 a %6 mm): una curva a semigusci sta in una sezione sola")
                              .arg(b + 1)
                              .arg(mm(from), mm(to), sectionName(pipe, i), mm(x0), mm(x1)));
        const double before = b > 0 ? lastStation(b - 1) : -1;
        if (b > 0 && !(from > before + SamePlace))
            return refuse(tr("curva %1: i semigusci cominciano a %2 mm, prima della fine della "
                             "curva %3 (%4 mm): le due curve si sovrappongono")
                              .arg(b + 1)
                              .arg(mm(from))
                              .arg(b)
                              .arg(mm(before)));
        out.halves << HalvesSpan{b, std::max(from, x0), std::min(to, x1)};
        return true;
    }

    // Where bend b ends along the pipe: its halves' end, or its last joint.
    double lastStation(int b) const
    {
        if (!out.halves.isEmpty() && out.halves.last().bend == b)
            return out.halves.last().toMm;
        double at = -1;
        for (const Joint &j : out.joints) {
            if (j.bend == b)
                at = j.atMm;
        }
        return at;
    }

    const Pipe &pipe;
    const Route &route;
    const LayoutRules &rules;
    RouteLayout &out;

    bool refuse(const QString &text)
    {
        out.problem = text;
        out.pieces.clear();
        return false;
    }
};

} // namespace

bool placeJoints(const Pipe &pipe, const Route &route, const LayoutRules &rules, RouteLayout &out)
{
    return Placer(pipe, route, rules, out).placeJoints();
}

} // namespace velmorant::route::placement

#include "layout.h"

#include "cut.h"
#include "placement.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace velmorant::route {

namespace {

using namespace placement;

constexpr double Pi = 3.14159265358979323846;
constexpr double Deg = Pi / 180;

// One straight run of the centreline, from one joint to the next.
struct Run
{
    double from = 0; // mm from the port
    Vec3 point, axis, ref;
};

struct JointPlane
{
    Vec3 normal; // unit, along the flow
    double offset = 0; // of the plane from the joint, towards the cones' apices
    double inside = 0; // azimuth of the bend's inside, the same in both runs' frames
};

class Layer
{
public:
    Layer(const Pipe &pipe, const Route &route, const LayoutRules &rules)
        : pipe(pipe), route(route), rules(rules)
    {
    }

    RouteLayout lay()
    {
        if (!placeJoints(pipe, route, rules, out) || !walk())
            return std::move(out);
        cutPieces();
        if (out.ok())
            measure();
        return std::move(out);
    }

private:
    const Pipe &pipe;
    const Route &route;
    const LayoutRules &rules;
    RouteLayout out;
    QList<Run> runs;
    QList<JointPlane> planes;
    QList<Vec3> turnTowards; // each joint's inside, across the run before it

    bool refuse(const QString &text)
    {
        out.problem = text;
        out.pieces.clear();
        return false;
    }

    int halvesAt(double from, double to) const
    {
        for (const HalvesSpan &h : out.halves) {
            if (from >= h.fromMm - SamePlace && to <= h.toMm + SamePlace)
                return h.bend;
        }
        return -1;
    }

    // The frame carried along the centreline: each joint turns the axis, "up" and the azimuths'
    // reference by the smallest rotation, so the pipe never twists between bends.
    bool walk()
    {
        Run run{0, route.point, route.direction, route.up};
        runs << run;
        Vec3 up = route.up;
        int j = 0;
        for (int b = 0; b < route.bends.size(); ++b) {
            const Bend &bend = route.bends[b];
            Vec3 towards = rotated(up, run.axis, bend.planeDeg * Deg);
            for (int k = 0; k < bend.joints; ++k, ++j) {
                Joint &joint = out.joints[j];
                const Vec3 at = run.point + run.axis * (joint.atMm - run.from);
                const Vec3 m = unit(cross(run.axis, towards));
                const double delta = joint.angleDeg * Deg;
                joint.point = at;
                joint.in = run.axis;
                turnTowards << towards;
                run = Run{joint.atMm, at, unit(rotated(run.axis, m, delta)),
                          unit(rotated(run.ref, m, delta))};
                towards = unit(rotated(towards, m, delta));
                joint.out = run.axis;
                runs << run;
            }
            up = towards;
        }
        for (int k = 0; k < out.joints.size(); ++k)
            planes << jointPlane(k);
        const Run &last = runs.last();
        out.endDirection = last.axis;
        out.endPoint = last.point + last.axis * (pipe.length() - last.from);
        return true;
    }

    double meanRadius(int section, double x) const
    {
        const PipeSection &s = pipe.sections[section];
        const double t = std::clamp((x - pipe.start(section)) / s.length, 0.0, 1.0);
        return (s.dIn + (s.dOut - s.dIn) * t) / 2 + rules.sheetMm / 2;
    }

    // The plane of joint k: bisecting the turn, moved towards the apices by the offset that
    // gives both cones the same inscribed sphere about the joint (none on a tube).
    JointPlane jointPlane(int k) const
    {
        const Joint &j = out.joints[k];
        const int s = sectionAt(pipe, j.atMm);
        const double alpha = std::atan(taperOf(pipe.sections[s]));
        const double delta = j.angleDeg * Deg;
        JointPlane p;
        p.normal = unit(j.in + j.out);
        p.offset = meanRadius(s, j.atMm) * std::sin(alpha) * std::cos(alpha) / std::cos(delta / 2);
        const Run &before = runs[k];
        const Vec3 w = turnTowards[k];
        p.inside = std::atan2(dot(w, cross(before.axis, before.ref)), dot(w, before.ref));
        return p;
    }

    CutPlane inFrame(const Piece &piece, int k) const
    {
        const JointPlane &jp = planes[k];
        const Vec3 v = cross(piece.axis, piece.ref);
        return CutPlane{dot(jp.normal, piece.ref), dot(jp.normal, v), dot(jp.normal, piece.axis),
                        dot(jp.normal, out.joints[k].point - piece.origin) - jp.offset};
    }

    int jointAt(double x) const
    {
        for (int k = 0; k < out.joints.size(); ++k) {
            if (std::abs(out.joints[k].atMm - x) <= SamePlace)
                return k;
        }
        return -1;
    }

    int runOf(double x) const
    {
        int f = 0;
        while (f + 1 < runs.size() && runs[f + 1].from <= x + SamePlace)
            ++f;
        return f;
    }

    static QList<Tick> quarters(double inside)
    {
        QList<Tick> t;
        for (int q = 0; q < 4; ++q)
            t << Tick{inside + q * Pi / 2, q == 0};
        return t;
    }

    void cutPieces()
    {
        int global = 0;
        for (int i = 0; i < pipe.sections.size() && out.ok(); ++i) {
            const double x0 = pipe.start(i), x1 = x0 + pipe.sections[i].length;
            QList<double> cuts{x0};
            auto inside = [&](double x) { return x > x0 + SamePlace && x < x1 - SamePlace; };
            for (const Joint &j : out.joints) {
                if (inside(j.atMm))
                    cuts << j.atMm;
            }
            for (const HalvesSpan &h : out.halves) {
                for (double x : {h.fromMm, h.toMm}) {
                    if (inside(x))
                        cuts << x;
                }
            }
            std::sort(cuts.begin(), cuts.end());
            cuts << x1;
            // The pieces of one pair of halves are one part, so they share a number.
            const int pieces = int(cuts.size()) - 1;
            QList<int> group, number;
            for (int n = 0; n < pieces; ++n) {
                group << halvesAt(cuts[n], cuts[n + 1]);
                const bool same = n > 0 && group[n] >= 0 && group[n] == group[n - 1];
                number << (n == 0 ? 1 : number.last() + (same ? 0 : 1));
            }
            const int count = pieces > 0 ? number.last() : 0;
            for (int n = 0; n < pieces; ++n, ++global) {
                if (!cutPiece(i, number[n] - 1, count, cuts[n], cuts[n + 1], global, group[n]))
                    return;
            }
            out.sectionCentreline << x1 - x0;
            out.sectionNames << sectionName(pipe, i);
        }
    }

    bool cutPiece(int section, int n, int count, double from, double to, int global, int halves)
    {
        const Run &run = runs[runOf(from)];
        Piece p;
        p.section = section;
        p.number = n + 1;
        p.count = count;
        p.name = count > 1 ? QStringLiteral("%1-%2").arg(sectionName(pipe, section)).arg(n + 1)
                           : sectionName(pipe, section);
        p.halves = halves;
        p.startMm = from;
        p.length = to - from;
        p.r0 = meanRadius(section, from);
        p.taper = taperOf(pipe.sections[section]);
        p.origin = run.point + run.axis * (from - run.from);
        p.axis = run.axis;
        p.ref = run.ref;
        p.downstream = CutPlane{0, 0, 1, p.length};
        const int up = jointAt(from), down = jointAt(to);
        p.mitredUp = up >= 0;
        p.mitredDown = down >= 0;
        if (p.mitredUp)
            p.upstream = inFrame(p, up);
        if (p.mitredDown)
            p.downstream = inFrame(p, down);
        const double inside = p.mitredUp ? planes[up].inside : p.mitredDown ? planes[down].inside : 0;
        switch (rules.seam) {
        case SeamSide::Inside: p.seam = inside; break;
        case SeamSide::Outside: p.seam = inside + Pi; break;
        case SeamSide::Alternating: p.seam = inside + (global % 2 ? Pi : 0); break;
        }
        // The marks of a joint's first piece are its own quarters from the inside; the next
        // piece carries them at the same points in space, not at its own quarters.
        p.ticksDown = quarters(p.mitredDown ? planes[down].inside : inside);
        p.ticksUp = quarters(inside);
        if (p.mitredUp && !out.pieces.isEmpty() && out.pieces.last().mitredDown) {
            const Piece &before = out.pieces.last();
            p.ticksUp.clear();
            for (const Tick &t : before.ticksDown) {
                const Vec3 x = surfacePoint(before, t.phi, cutZ(before, before.downstream, t.phi));
                p.ticksUp << Tick{azimuthOf(p, x), t.inside};
            }
        }
        if (p.mitred() && halves < 0) {
            double phi = 0;
            const double wall = shortestWall(p, &phi);
            const int k = p.mitredUp ? up : down;
            if (!(wall >= rules.minWallMm))
                return refuse(tr("curva %1: il pezzo %2 resta lungo %3 mm dove le giunzioni si "
                                 "avvicinano di pi\u00f9 (almeno %4 mm per la saldatura): "
                                 "allarga il passo o riduci le giunzioni")
                                  .arg(out.joints[k].bend + 1)
                                  .arg(p.name, mm(wall), mm(rules.minWallMm)));
        }
        out.pieces << p;
        return true;
    }

    // The box around the outer surface: a cut frustum's extremes lie on its two edges.
    void measure()
    {
        constexpr int Samples = 360;
        bool first = true;
        for (const Piece &p : std::as_const(out.pieces)) {
            for (int i = 0; i < Samples; ++i) {
                const double phi = 2 * Pi * i / Samples;
                for (const CutPlane *c : {&p.upstream, &p.downstream}) {
                    const Vec3 x = surfacePoint(p, phi, cutZ(p, *c, phi), rules.sheetMm / 2);
                    if (first)
                        out.boxMin = out.boxMax = x;
                    first = false;
                    out.boxMin = {std::min(out.boxMin.x, x.x), std::min(out.boxMin.y, x.y),
                                  std::min(out.boxMin.z, x.z)};
                    out.boxMax = {std::max(out.boxMax.x, x.x), std::max(out.boxMax.y, x.y),
                                  std::max(out.boxMax.z, x.z)};
                }
            }
        }
    }
};

} // namespace

double jointLimit(const Pipe &pipe, int i)
{
    using K = PipeSection::Kind;
    int firstDiverging = -1, lastConverging = -1;
    for (int k = 0; k < pipe.sections.size(); ++k) {
        if (pipe.sections[k].kind() == K::Diverging && firstDiverging < 0)
            firstDiverging = k;
        if (pipe.sections[k].kind() == K::Converging)
            lastConverging = k;
    }
    const K kind = pipe.sections[i].kind();
    if (kind == K::Diverging)
        return 25;
    if (kind == K::Converging)
        return 20;
    if (firstDiverging < 0 || i < firstDiverging)
        return 30;
    if (lastConverging >= 0 && i > lastConverging)
        return 15;
    return 20;
}

RouteLayout layRoute(const Pipe &pipe, const Route &route, const LayoutRules &rules)
{
    return Layer(pipe, route, rules).lay();
}

} // namespace velmorant::route

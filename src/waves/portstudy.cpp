#include "portstudy.h"

#include "jsonfields.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

using json::tr;

constexpr double Pi = 3.14159265358979323846;
constexpr double LeastBridgeMm = 2;

// One window on the engine: where its top edge (a crown-controlled port) or its bottom edge (the
// piston intake) lies below the crown's top dead centre, and its outline.
struct Placed
{
    double edge = 0;
    engine::Window outline;
    double factor = 1; // count times the cosine of the duct's inclination
    bool skirt = false;
    double cut = 0; // the depth a power valve has cut off the top

    double area(const engine::Crank &c, double degrees) const
    {
        const double drop = c.drop(degrees);
        const double open = skirt ? edge - drop : drop - edge;
        double a = outline.area(open);
        if (cut > 0)
            a -= outline.area(std::min(open, cut));
        return factor * a;
    }
    // When it opens and closes, degrees after top dead centre (the intake's opening before
    // it, so negative; its closing after).
    std::pair<double, double> open(const engine::Crank &c) const
    {
        if (skirt)
            return {c.upAt(edge) - 360, c.downAt(edge)};
        return {c.downAt(edge + cut), c.upAt(edge + cut)};
    }
};

Placed placed(const PortWindow &w, const engine::Crank &c, bool skirt)
{
    Placed p;
    p.skirt = skirt;
    p.edge = skirt ? c.drop(360 - w.opensDeg) : c.drop(w.opensDeg);
    const double height = w.heightMm.value_or(skirt ? p.edge : c.travel() - p.edge);
    p.outline = engine::Window{w.widthMm, height, w.topRadiusMm, w.bottomRadiusMm};
    p.factor = w.count * std::cos(w.angleDeg * Pi / 180);
    if (w.valveDeg)
        p.cut = std::clamp(c.drop(*w.valveDeg) - p.edge, 0.0, height);
    return p;
}

// Simpson's rule over [a, b] on steps of at most half a degree.
template <class F> double simpson(F f, double a, double b)
{
    if (!(b > a))
        return 0;
    int n = int(std::ceil((b - a) / 0.5));
    n += n % 2;
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int k = 1; k < n; ++k)
        sum += (k % 2 ? 4 : 2) * f(a + k * h);
    return sum * h / 3;
}

} // namespace

engine::Crank crankOf(const engine::EngineGeometry &g, const PortGeometry &p)
{
    return engine::Crank{g.stroke * 500, g.rod * 1000, p.pinOffsetMm};
}

std::optional<QString> portsProblem(const PortGeometry &p, const engine::Crank &c, double boreMm)
{
    if (!(c.rod > c.radius + std::abs(c.offset)))
        return tr("luci: la biella (%1 mm) deve superare la manovella (%2 mm) pi\u00f9 lo "
                  "scostamento dello spinotto (%3 mm)")
            .arg(c.rod)
            .arg(c.radius)
            .arg(std::abs(c.offset));
    double span = 0;
    int windows = 0;
    QList<const PortWindow *> ring;
    for (const PortWindow &w : p.exhaust)
        ring << &w;
    for (const PortWindow &w : p.transfers)
        ring << &w;
    for (const PortWindow *w : ring) {
        if (!(w->widthMm < boreMm))
            return tr("%1: larga %2 mm, non sta nell'alesaggio di %3 mm")
                .arg(w->name)
                .arg(w->widthMm)
                .arg(boreMm);
        span += w->count * 2 * std::asin(w->widthMm / boreMm);
        windows += w->count;
    }
    const double bridges = windows * LeastBridgeMm / (boreMm / 2);
    if (span + bridges > 2 * Pi)
        return tr("luci: scarico e travasi occupano %1\u00b0 dell'alesaggio e coi ponti di "
                  "almeno %2 mm tra l'una e l'altra passano i 360\u00b0")
            .arg(span * 180 / Pi, 0, 'f', 1)
            .arg(LeastBridgeMm);
    QList<std::pair<const PortWindow *, bool>> all;
    for (const PortWindow *w : ring)
        all << std::pair{w, false};
    if (p.pistonIntake)
        all << std::pair{&*p.pistonIntake, true};
    for (const auto &[w, skirt] : all) {
        const Placed at = placed(*w, c, skirt);
        if (at.outline.topRadius + at.outline.bottomRadius > at.outline.height)
            return tr("%1: i raggi (%2 + %3 mm) non stanno nei %4 mm che si apre")
                .arg(w->name)
                .arg(at.outline.topRadius)
                .arg(at.outline.bottomRadius)
                .arg(at.outline.height, 0, 'f', 2);
    }
    double exhaust = 180, transfer = 180;
    QString first;
    for (const PortWindow &w : p.exhaust)
        exhaust = std::min(exhaust, w.opensDeg);
    for (const PortWindow &w : p.transfers) {
        if (w.opensDeg < transfer)
            first = w.name;
        transfer = std::min(transfer, w.opensDeg);
    }
    if (transfer < exhaust)
        return tr("%1 si apre a %2\u00b0, prima dello scarico (%3\u00b0): senza scarico libero il "
                  "modello non gira")
            .arg(first)
            .arg(transfer)
            .arg(exhaust);
    return std::nullopt;
}

double valveTiming(const PortGeometry &p, double rpm)
{
    const auto &v = p.powerValve;
    if (v.isEmpty())
        return p.exhaust.first().opensDeg;
    if (rpm <= v.first().first)
        return v.first().second;
    for (int k = 1; k < v.size(); ++k) {
        if (rpm <= v[k].first) {
            const double f = (rpm - v[k - 1].first) / (v[k].first - v[k - 1].first);
            return v[k - 1].second + f * (v[k].second - v[k - 1].second);
        }
    }
    return v.last().second;
}

PortGeometry atSpeed(PortGeometry p, double rpm)
{
    if (!p.powerValve.isEmpty())
        p.exhaust.first().valveDeg = valveTiming(p, rpm);
    return p;
}

double exhaustOpens(const PortGeometry &p)
{
    double opens = 180;
    for (const PortWindow &w : p.exhaust)
        opens = std::min(opens, w.valveDeg.value_or(w.opensDeg));
    return opens;
}

std::pair<double, double> portDurations(const PortGeometry &p, const engine::Crank &c)
{
    double exhaust = 0, transfer = 0;
    for (const PortWindow &w : p.exhaust) {
        const auto [from, to] = placed(w, c, false).open(c);
        exhaust = std::max(exhaust, to - from);
    }
    for (const PortWindow &w : p.transfers) {
        const auto [from, to] = placed(w, c, false).open(c);
        transfer = std::max(transfer, to - from);
    }
    return {exhaust, transfer};
}

engine::PortAreaTable::Areas portAreasAt(const PortGeometry &p, const engine::Crank &c,
                                         double degrees)
{
    engine::PortAreaTable::Areas a;
    for (const PortWindow &w : p.exhaust)
        a.exhaust += placed(w, c, false).area(c, degrees);
    for (const PortWindow &w : p.transfers)
        a.transfer += placed(w, c, false).area(c, degrees);
    if (p.pistonIntake)
        a.intake = placed(*p.pistonIntake, c, true).area(c, degrees);
    else if (p.disc)
        a.intake = p.disc->area(degrees);
    return a;
}

engine::PortAreaTable portTable(const PortGeometry &p, const engine::Crank &c)
{
    engine::PortAreaTable t;
    for (int d = 0; d < 360; ++d) {
        const engine::PortAreaTable::Areas a = portAreasAt(p, c, d);
        t.angle.push_back(d);
        t.exhaust.push_back(a.exhaust);
        t.transfer.push_back(a.transfer);
        if (p.pistonIntake || p.disc)
            t.intake.push_back(a.intake);
    }
    return t;
}

std::optional<QString> putPorts(const PortGeometry &p, const QString &source,
                                EngineInputs &engine, WaveOptions &options, double designRpm)
{
    const engine::EngineGeometry g = engine::engineGeometry(engine);
    const engine::Crank crank = crankOf(g, p);
    if (const std::optional<QString> problem = portsProblem(p, crank, g.bore * 1000))
        return problem;
    engine::PortAreaTable table = portTable(atSpeed(p, designRpm), crank);
    table.source = source;
    engine.portAreas = table;
    options.ports = p;
    return std::nullopt;
}

AngleAreas angleAreas(const PortGeometry &p, const engine::Crank &c)
{
    AngleAreas out;
    double transfersOpen = 360;
    for (const PortWindow &w : p.transfers) {
        const Placed at = placed(w, c, false);
        const auto [from, to] = at.open(c);
        transfersOpen = std::min(transfersOpen, from);
        out.transfer += simpson([&](double d) { return at.area(c, d); }, from, to);
    }
    for (const PortWindow &w : p.exhaust) {
        const Placed at = placed(w, c, false);
        const auto [from, to] = at.open(c);
        auto area = [&](double d) { return at.area(c, d); };
        out.exhaust += simpson(area, from, to);
        out.blowdown += simpson(area, from, std::min(to, transfersOpen));
    }
    if (p.pistonIntake) {
        const Placed at = placed(*p.pistonIntake, c, true);
        const auto [from, to] = at.open(c);
        out.intake = simpson([&](double d) { return at.area(c, d); }, from, to);
    } else if (p.disc) {
        const RotaryDisc &d = *p.disc;
        out.intake = simpson([&](double a) { return d.area(a); }, -d.opensDeg,
                             -d.opensDeg + d.cutOutDeg() + d.spanDeg);
    }
    return out;
}

QList<GroupTimeArea> groupTimeAreas(const PortGeometry &p, const engine::Crank &c,
                                    double sweptCm3, double rpm)
{
    const AngleAreas aa = angleAreas(atSpeed(p, rpm), c);
    QList<GroupTimeArea> out;
    const std::pair<const char *, double> groups[] = {
        {"exhaust", aa.exhaust}, {"blowdown", aa.blowdown}, {"transfer", aa.transfer}};
    for (const auto &[key, area] : groups)
        out << GroupTimeArea{key, area, specificTimeArea(area, rpm, sweptCm3)};
    if (p.pistonIntake || p.disc)
        out << GroupTimeArea{"intake", aa.intake, specificTimeArea(aa.intake, rpm, sweptCm3)};
    return out;
}

} // namespace velmorant::waves

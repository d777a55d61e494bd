#include "pipeshape.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmorant::tuning {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double ShortestSection = 5; // mm: no straight part shorter

double radians(double degrees)
{
    return degrees * Pi / 180;
}

// The length of a cone between two diameters at a half-angle.
double coneLength(double d1, double d2, double degrees)
{
    return std::abs(d2 - d1) / (2 * std::tan(radians(degrees)));
}

// How far along from `a` to `b` the diameter `d` lies, on a logarithmic scale.
double fraction(double a, double b, double d)
{
    return std::log(d / a) / std::log(b / a);
}

double along(double a, double b, double f)
{
    return a * std::pow(b / a, f);
}

} // namespace

std::optional<QString> limitsProblem(const Limits &l, const QLocale &locale)
{
    auto n = [&](double v) { return locale.toString(v); };
    if (!(l.minAngle >= 0.5 && l.minAngle < l.maxAngle && l.maxAngle <= 30))
        return QStringLiteral("semiangoli dei coni: servono MIN e MAX tra %1 e %2 gradi, MIN "
                              "minore di MAX")
            .arg(n(0.5), n(30));
    if (!(l.lengthFactor >= 1 && l.lengthFactor <= 3))
        return QStringLiteral("lunghezza massima: tra %1 e %2 volte quella di partenza")
            .arg(n(1), n(3));
    if (l.maxBelly && !(*l.maxBelly >= 10 && *l.maxBelly <= 500))
        return QStringLiteral("ventre massimo: tra %1 e %2 mm").arg(n(10), n(500));
    if (l.maxLengthMm && !(*l.maxLengthMm >= 100 && *l.maxLengthMm <= 10000))
        return QStringLiteral("lunghezza massima: tra %1 e %2 mm").arg(n(100), n(10000));
    if (l.maxDiameterMm && !(*l.maxDiameterMm >= 10 && *l.maxDiameterMm <= 500))
        return QStringLiteral("diametro massimo: tra %1 e %2 mm").arg(n(10), n(500));
    if (!(l.minTail >= 0.2 && l.minTail < l.maxTail && l.maxTail <= 1))
        return QStringLiteral("coda: servono MIN e MAX tra %1 e %2 del collettore, MIN minore "
                              "di MAX")
            .arg(n(0.2), n(1));
    return std::nullopt;
}

std::optional<PipeShape> PipeShape::of(const Pipe &start, const Limits &limits, QString *refusal)
{
    auto refuse = [&](const QString &why) -> std::optional<PipeShape> {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    const QList<PipeSection> &s = start.sections;
    using Kind = PipeSection::Kind;
    int i = 0;
    const int n = int(s.size());
    const QString form =
        QStringLiteral("il tubo non ha la forma che l'ottimizzazione sa variare: un collettore "
                       "dritto, coni divergenti, un ventre dritto, coni convergenti e una coda "
                       "dritta, senza gradini");
    if (n < 5 || !start.continuous(1e-6) || s[0].kind() != Kind::Straight)
        return refuse(form);
    PipeShape shape;
    shape.m_limits = limits;
    shape.m_headerDiameter = s[0].dIn;
    ++i;
    std::vector<int> diffuser, converging;
    while (i < n && s[i].kind() == Kind::Diverging)
        diffuser.push_back(i++);
    if (diffuser.empty() || i >= n || s[i].kind() != Kind::Straight)
        return refuse(form);
    const int belly = i++;
    while (i < n && s[i].kind() == Kind::Converging)
        converging.push_back(i++);
    if (converging.empty() || i != n - 1 || s[i].kind() != Kind::Straight)
        return refuse(form);
    const int tail = i;
    const double dh = shape.m_headerDiameter, db = s[belly].dIn, dt = s[tail].dIn;
    if (!(dt < dh))
        return refuse(QStringLiteral("la coda del tubo non \u00e8 pi\u00f9 stretta del "
                                     "collettore"));
    for (int k : diffuser)
        shape.m_diffuser.push_back(fraction(dh, db, s[k].dOut));
    for (int k : converging)
        shape.m_converging.push_back(fraction(db, dt, s[k].dOut));
    for (const PipeSection &section : s)
        shape.m_labels.push_back(section.label);
    shape.m_points = start.point(QLatin1String(SuctionPoint)) != nullptr;

    shape.m_maxLength = std::min(limits.lengthFactor * start.length(),
                                 limits.maxLengthMm.value_or(std::numeric_limits<double>::max()));
    shape.m_maxBelly = std::min(limits.maxBelly ? *limits.maxBelly : 1.3 * db,
                                limits.maxDiameterMm.value_or(std::numeric_limits<double>::max()));
    // The bounds: each angle within the builder's; lengths from half to twice the start's
    // (the total length holds them in); the belly between the header and its largest; the
    // tail's diameter within its share of the header's.
    auto add = [&](double lo, double hi, double value) {
        shape.m_lower.push_back(lo);
        shape.m_upper.push_back(hi);
        shape.m_start.push_back(value);
    };
    add(std::max(ShortestSection, 0.5 * s[0].length), std::max(2 * s[0].length, 50.0),
        s[0].length);
    for (int k : diffuser)
        add(limits.minAngle, limits.maxAngle, s[k].halfAngleDegrees());
    add(std::max(1.2 * dh, 0.7 * std::min(db, shape.m_maxBelly)), shape.m_maxBelly, db);
    add(ShortestSection, std::max(2.5 * s[belly].length, 100.0), s[belly].length);
    for (int k : converging)
        add(limits.minAngle, limits.maxAngle, s[k].halfAngleDegrees());
    add(limits.minTail * dh, limits.maxTail * dh, dt);
    add(std::max(ShortestSection, 0.5 * s[tail].length), std::max(2 * s[tail].length, 100.0),
        s[tail].length);
    if (!(shape.m_lower[shape.diffuserCones() + 1] < shape.m_upper[shape.diffuserCones() + 1]))
        return refuse(QStringLiteral("il ventre massimo non \u00e8 pi\u00f9 largo del "
                                     "collettore"));
    return shape;
}

Pipe PipeShape::pipe(const std::vector<double> &x) const
{
    Pipe p;
    p.method = QStringLiteral("ottimizzato");
    const int nd = diffuserCones(), nc = convergingCones();
    const double dh = m_headerDiameter;
    const double lh = x[0], db = x[nd + 1], lb = x[nd + 2], dt = x[nd + nc + 3],
                 lt = x[nd + nc + 4];
    int label = 0;
    auto next = [&]() { return m_labels[std::size_t(label++)]; };
    p.sections << PipeSection(lh, dh, dh, next());
    double d = dh;
    for (int k = 0; k < nd; ++k) {
        const double out = k + 1 == nd ? db : along(dh, db, m_diffuser[std::size_t(k)]);
        p.sections << PipeSection(coneLength(d, out, x[std::size_t(1 + k)]), d, out, next());
        d = out;
    }
    p.sections << PipeSection(lb, db, db, next());
    const double convergentStart = p.length();
    for (int k = 0; k < nc; ++k) {
        const double out = k + 1 == nc ? dt : along(db, dt, m_converging[std::size_t(k)]);
        p.sections << PipeSection(coneLength(d, out, x[std::size_t(nd + 3 + k)]), d, out, next());
        d = out;
    }
    p.sections << PipeSection(lt, dt, dt, next());
    if (m_points) {
        p.referencePoints = {{QLatin1String(SuctionPoint), lh},
                             {QLatin1String(PluggingPoint), convergentStart}};
    }
    return p;
}

std::vector<double> PipeShape::variables(const Pipe &pipe) const
{
    std::vector<double> x;
    const QList<PipeSection> &s = pipe.sections;
    const int nd = diffuserCones(), nc = convergingCones();
    x.push_back(s[0].length);
    for (int k = 0; k < nd; ++k)
        x.push_back(s[1 + k].halfAngleDegrees());
    x.push_back(s[1 + nd].dIn);
    x.push_back(s[1 + nd].length);
    for (int k = 0; k < nc; ++k)
        x.push_back(s[2 + nd + k].halfAngleDegrees());
    x.push_back(s.last().dIn);
    x.push_back(s.last().length);
    return x;
}

double PipeShape::violation(const std::vector<double> &x) const
{
    double worst = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double span = m_upper[i] - m_lower[i];
        worst = std::max({worst, (m_lower[i] - x[i]) / span, (x[i] - m_upper[i]) / span});
    }
    const double length = pipe(x).length();
    return std::max(worst, (length - m_maxLength) / m_maxLength);
}

QString PipeShape::brokenLimits(const Pipe &pipe, const QLocale &locale) const
{
    QStringList broken;
    auto n = [&](double v) { return locale.toString(v, 'f', 1); };
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection &s = pipe.sections[i];
        if (s.kind() == PipeSection::Kind::Straight)
            continue;
        const double a = s.halfAngleDegrees();
        if (a < m_limits.minAngle - 1e-9 || a > m_limits.maxAngle + 1e-9)
            broken << QStringLiteral("il cono %1 ha un semiangolo di %2\u00b0")
                          .arg(sectionName(pipe, i), n(a));
    }
    double belly = 0;
    for (const PipeSection &s : pipe.sections)
        belly = std::max(belly, s.dIn);
    if (belly > m_maxBelly + 1e-9)
        broken << QStringLiteral("il ventre \u00e8 di %1 mm").arg(n(belly));
    const double tail = pipe.sections.last().dIn / m_headerDiameter;
    if (tail < m_limits.minTail - 1e-9 || tail > m_limits.maxTail + 1e-9)
        broken << QStringLiteral("la coda \u00e8 %1 del collettore").arg(locale.toString(tail, 'f', 2));
    if (pipe.length() > m_maxLength + 1e-9)
        broken << QStringLiteral("\u00e8 lungo %1 mm").arg(n(pipe.length()));
    return broken.join(QStringLiteral("; "));
}

} // namespace velmorant::tuning

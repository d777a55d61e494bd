#include "pipe.h"

#include "pipechoice.h"

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

constexpr double Pi = 3.14159265358979323846;

} // namespace

PipeSection::Kind PipeSection::kind() const
{
    if (dOut > dIn)
        return Kind::Diverging;
    if (dOut < dIn)
        return Kind::Converging;
    return Kind::Straight;
}

double PipeSection::halfAngleDegrees() const
{
    if (length <= 0)
        return dIn == dOut ? 0 : 90;
    return std::atan(std::abs(dOut - dIn) / (2 * length)) * 180 / Pi;
}

double Pipe::length() const
{
    double total = 0;
    for (const PipeSection &s : sections)
        total += s.length;
    return total;
}

double Pipe::start(int i) const
{
    double x = 0;
    for (int k = 0; k < i && k < sections.size(); ++k)
        x += sections[k].length;
    return x;
}

double Pipe::diameterAt(double x) const
{
    double from = 0;
    for (int i = 0; i < sections.size(); ++i) {
        const PipeSection &s = sections[i];
        const bool last = i + 1 == sections.size();
        if (x < from + s.length || (last && x <= from + s.length)) {
            const double t = s.length > 0 ? (x - from) / s.length : 0;
            return s.dIn + (s.dOut - s.dIn) * std::clamp(t, 0.0, 1.0);
        }
        from += s.length;
    }
    return sections.isEmpty() ? 0 : sections.back().dOut;
}

bool Pipe::continuous(double tol) const
{
    for (int i = 1; i < sections.size(); ++i) {
        if (std::abs(sections[i].dIn - sections[i - 1].dOut) > tol)
            return false;
    }
    return true;
}

const ReferencePoint *Pipe::point(const QString &name) const
{
    for (const ReferencePoint &r : referencePoints) {
        if (r.name == name)
            return &r;
    }
    return nullptr;
}

QString sectionName(const Pipe &pipe, int i)
{
    const QString &label = pipe.sections.value(i).label;
    return label.isEmpty() ? QString::number(i + 1) : label;
}

std::optional<QString> pipeProblem(const Pipe &pipe)
{
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection &s = pipe.sections[i];
        if (!(s.length > 0 && std::isfinite(s.length) && s.dIn > 0 && s.dOut > 0 &&
              std::isfinite(s.dIn) && std::isfinite(s.dOut)))
            return QStringLiteral("Il tubo (%1) ha il tratto %2 di lunghezza %3 mm e diametri %4 "
                                  "e %5 mm: modificare alcuni dati di input")
                .arg(methodCaption(pipe.method), sectionName(pipe, i))
                .arg(s.length, 0, 'f', 1)
                .arg(s.dIn, 0, 'f', 1)
                .arg(s.dOut, 0, 'f', 1);
    }
    return std::nullopt;
}

Pipe firstSizingPipe(const ChamberDimensions &d)
{
    Pipe p;
    p.method = QStringLiteral("own");
    p.sections = {{d.L1, d.D1, d.D1, QStringLiteral("1")}, {d.L2, d.D1, d.D2, QStringLiteral("2")},
                  {d.L3, d.D2, d.D2, QStringLiteral("3")}, {d.L4, d.D2, d.D3, QStringLiteral("4")},
                  {d.L5, d.D3, d.D3, QStringLiteral("5")}};
    p.referencePoints = {{QLatin1String(SuctionPoint), d.L1},
                         {QLatin1String(PluggingPoint), d.L1 + d.L2 + d.L3}};
    return p;
}

double hornDiameter(double d1, double d2, double t, double kh)
{
    return d1 * std::pow(d2 / d1, std::pow(t, kh));
}

Pipe withStages(const Pipe &pipe, int stages, double kh, const QList<double> &fractions)
{
    int cone = -1;
    for (int i = 0; i < pipe.sections.size() && cone < 0; ++i) {
        if (pipe.sections[i].kind() == PipeSection::Kind::Diverging)
            cone = i;
    }
    if (cone < 0 || stages < 1)
        return pipe;
    QList<double> share = fractions;
    if (share.size() != stages) {
        share.clear();
        for (int k = 0; k < stages; ++k)
            share << 1.0 / stages;
    }
    Pipe out = pipe;
    for (int i = 0; i < out.sections.size(); ++i)
        out.sections[i].label = sectionName(pipe, i);
    const PipeSection whole = out.sections[cone];
    QList<PipeSection> parts;
    double t = 0, dFrom = whole.dIn, used = 0;
    for (int k = 0; k < stages; ++k) {
        t += share[k];
        const bool last = k + 1 == stages;
        const double dTo = last ? whole.dOut : hornDiameter(whole.dIn, whole.dOut, t, kh);
        // The last stage ends where the cone did, whatever the rounding of the shares.
        const double length = last ? whole.length - used : whole.length * share[k];
        parts << PipeSection{length, dFrom, dTo,
                             stages > 1 ? QStringLiteral("%1.%2").arg(whole.label).arg(k + 1)
                                        : whole.label};
        used += length;
        dFrom = dTo;
    }
    out.sections.remove(cone);
    for (int k = 0; k < parts.size(); ++k)
        out.sections.insert(cone + k, parts[k]);
    return out;
}

} // namespace velmorant

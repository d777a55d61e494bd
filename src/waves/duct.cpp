#include "duct.h"

#include "gasprops.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

constexpr double Pi = 3.14159265358979323846;

double area(double d)
{
    return Pi * d * d / 4;
}

// The pipe's inside diameter at x mm, read from the side of `fromLeft`'s section at a step.
double diameterAt(const Pipe &pipe, double x, bool fromLeft)
{
    double start = 0;
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection &s = pipe.sections[i];
        const double end = start + s.length;
        const bool inside = fromLeft ? (x > start && x <= end) : (x >= start && x < end);
        if (inside || (i == pipe.sections.size() - 1 && x >= end) || (i == 0 && x <= start)) {
            const double t = s.length > 0 ? std::clamp((x - start) / s.length, 0.0, 1.0) : 0;
            return s.dIn + (s.dOut - s.dIn) * t;
        }
        start = end;
    }
    return 0;
}

// The volume of the pipe between a and b mm, mm³: frustum by frustum.
double volumeBetween(const Pipe &pipe, double a, double b)
{
    double v = 0, start = 0;
    for (const PipeSection &s : pipe.sections) {
        const double end = start + s.length;
        const double lo = std::max(a, start), hi = std::min(b, end);
        if (hi > lo && s.length > 0) {
            auto d = [&](double x) { return s.dIn + (s.dOut - s.dIn) * (x - start) / s.length; };
            const double d1 = d(lo), d2 = d(hi);
            v += Pi / 12 * (hi - lo) * (d1 * d1 + d1 * d2 + d2 * d2);
        }
        start = end;
    }
    return v;
}

} // namespace

int Duct::cellAt(double x) const
{
    return std::clamp(int(x / dx), 0, cells() - 1);
}

Duct ductOf(const Pipe &pipe, double cellMm)
{
    Duct d;
    const double length = pipe.length();
    const int n = std::max(2, int(std::ceil(length / cellMm - 1e-9)));
    const double dx = length / n;
    d.dx = dx / 1000;
    d.faceArea.resize(n + 1);
    d.volume.resize(n);
    d.diameter.resize(n);
    d.faceAfter.resize(n + 1);
    // Section ends on the nearest face, so that a step in diameter always lies on a face.
    // Where the diameter runs on (a cone into a tube) and a section beside the end is shorter
    // than a cell, the end stays where it is: moved, a 2 mm cone would hold a tenth of its
    // cell's volume between faces of its own areas. Several steps on one face (a collar
    // shorter than half a cell) join the pipe before the first to the pipe after the last,
    // and what lay between them is left out.
    std::vector<double> snappedEnds;
    double end = 0;
    for (int k = 0; k + 1 < pipe.sections.size(); ++k) {
        const PipeSection &s = pipe.sections[k], &next = pipe.sections[k + 1];
        end += s.length;
        const bool step = std::abs(s.dOut - next.dIn) > 1e-9 * std::max(s.dOut, next.dIn);
        if (step || std::min(s.length, next.length) >= dx)
            snappedEnds.push_back(end);
    }
    auto snapped = [&](double x, bool first) {
        double found = x;
        bool any = false;
        for (double e : snappedEnds) {
            if (std::abs(x - std::round(e / dx) * dx) < 1e-9 * length) {
                if (!any || !first)
                    found = e;
                any = true;
            }
        }
        return found;
    };
    for (int i = 0; i <= n; ++i) {
        d.faceArea[i] = area(diameterAt(pipe, snapped(i * dx, true), true)) * 1e-6;
        d.faceAfter[i] = area(diameterAt(pipe, snapped(i * dx, false), false)) * 1e-6;
        if (i > 0 && i < n && std::abs(d.faceArea[i] - d.faceAfter[i]) > 1e-9 * d.faceArea[i])
            d.steps.push_back(i);
    }
    for (int i = 0; i < n; ++i) {
        // The gas content as the cells have it: the steps moved to their faces.
        const double a = snapped(i * dx, false), b = snapped((i + 1) * dx, true);
        d.volume[i] = volumeBetween(pipe, a, b) * 1e-9;
        d.diameter[i] = std::sqrt(4 * d.volume[i] / (Pi * d.dx));
    }
    return d;
}

void DuctState::resize(int cells, bool variableGas)
{
    rho.assign(cells, 0);
    mom.assign(cells, 0);
    energy.assign(cells, 0);
    fresh.assign(cells, 0);
    burnt.assign(cells, 0);
    for (std::vector<double> *v : {&gamma, &sound, &r})
        v->assign(variableGas ? cells : 0, 0);
}

void DuctState::set(const Gas &g, int i, const Primitive &w)
{
    Gas k = g;
    const double b = std::clamp(w.b, 0.0, 1.0);
    if (variable()) {
        const double rMix = RAir + b * (RBurnt - RAir);
        const MixtureGas m = GasTable::instance().at(w.p / (w.rho * rMix), b);
        gamma[i] = m.energy;
        sound[i] = m.sound;
        r[i] = m.r;
        k = m.gas();
    }
    rho[i] = w.rho;
    mom[i] = w.rho * w.u;
    energy[i] = w.p / (k.gamma - 1) + 0.5 * w.rho * w.u * w.u;
    fresh[i] = w.rho * w.y;
    burnt[i] = w.rho * b;
}

double DuctState::mass(const Duct &d) const
{
    double m = 0;
    for (std::size_t i = 0; i < rho.size(); ++i)
        m += rho[i] * d.volume[i];
    return m;
}

double DuctState::burntMass(const Duct &d) const
{
    double m = 0;
    for (std::size_t i = 0; i < burnt.size(); ++i)
        m += burnt[i] * d.volume[i];
    return m;
}

double DuctState::totalEnergy(const Duct &d) const
{
    double e = 0;
    for (std::size_t i = 0; i < energy.size(); ++i)
        e += energy[i] * d.volume[i];
    return e;
}

} // namespace velmorant::waves

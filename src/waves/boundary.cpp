#include "boundary.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

namespace {

// The pressure at which the face state reached from `cell` by its wave has the velocity
// `target`: left = true for the left-going wave (u = cell.u + f(p)), false for the right-going
// one (u = cell.u - f(p)). Newton on the monotone wave function, from the acoustic guess.
double pressureForVelocity(const Gas &g, const Primitive &cell, double target, bool left)
{
    const double a = std::sqrt(g.gamma * cell.p / cell.rho);
    const double jump = left ? target - cell.u : cell.u - target; // wanted f(p)
    // A rarefaction cannot drop the velocity by more than to vacuum.
    const double vacuum = -2 * a / (g.gamma - 1);
    if (jump <= vacuum)
        return 1e-9 * cell.p;
    double p = std::max(cell.p * 1e-6, cell.p + cell.rho * a * jump);
    for (int k = 0; k < 40; ++k) {
        double slope = 0;
        const double f = waveFunction(g, cell, a, p, slope) - jump;
        const double next = std::max(p - f / slope, p * 0.1);
        if (std::abs(next - p) <= 1e-12 * p) {
            p = next;
            break;
        }
        p = next;
    }
    return p;
}

// A root of the monotone `g` between lo and hi (g(lo), g(hi) of opposite signs): the Illinois
// variant of regula falsi, which keeps the bracket and converges superlinearly.
template <class F> double root(F g, double lo, double hi)
{
    double glo = g(lo), ghi = g(hi);
    if (glo == 0)
        return lo;
    if (ghi == 0 || (glo > 0) == (ghi > 0))
        return std::abs(glo) < std::abs(ghi) ? lo : hi;
    int side = 0;
    for (int k = 0; k < 60; ++k) {
        const double x = (lo * ghi - hi * glo) / (ghi - glo);
        const double gx = g(x);
        if (gx == 0 || std::abs(hi - lo) <= 1e-12 * std::abs(hi))
            return x;
        if ((gx > 0) == (glo > 0)) {
            lo = x;
            glo = gx;
            if (side == -1)
                ghi /= 2;
            side = -1;
        } else {
            hi = x;
            ghi = gx;
            if (side == 1)
                glo /= 2;
            side = 1;
        }
    }
    return (lo + hi) / 2;
}

Flux faceFlux(const Primitive &f, double enthalpy0, double area)
{
    const double m = f.rho * f.u * area;
    return Flux{m, (f.rho * f.u * f.u + f.p) * area, m * enthalpy0, m * f.y, m * f.b};
}

} // namespace

Flux wallFace(const Gas &g, const Primitive &cell, double pipeArea, bool right)
{
    // The gas at the wall is at rest: the wave from the cell that stops it.
    const double p = pressureForVelocity(g, cell, 0, !right);
    return Flux{0, p * pipeArea, 0, 0};
}

Flux portFace(const Gas &g, const Reservoir &res, double orifice, const Primitive &cell,
              double pipeArea)
{
    if (orifice <= 0)
        return wallFace(g, cell, pipeArea, false);
    const double a = std::sqrt(g.gamma * cell.p / cell.rho);
    const double cp = g.cp();
    // The face pressure at which nothing flows: the reservoir above it blows into the pipe.
    const double still = pressureForVelocity(g, cell, 0, true);
    auto velocity = [&](double p) {
        double slope = 0;
        return cell.u + waveFunction(g, cell, a, p, slope);
    };
    Primitive f;
    if (res.p > still) {
        // Out of the reservoir: the face holds reservoir gas, its stagnation enthalpy kept.
        auto state = [&](double p) {
            Primitive s;
            s.p = p;
            s.u = std::max(0.0, velocity(p));
            const double t = std::max(res.t - s.u * s.u / (2 * cp), 1e-3 * res.t);
            s.rho = p / (g.r * t);
            s.y = res.y;
            s.b = res.b;
            return s;
        };
        const double p = root(
            [&](double p) {
                const Primitive s = state(p);
                return orificeFlow(g, orifice, res.p, res.t, p) - s.rho * s.u * pipeArea;
            },
            still, res.p);
        f = state(p);
        return faceFlux(f, cp * res.t, pipeArea);
    }
    // Into the reservoir: the face holds the pipe's gas, behind the wave from the cell.
    auto state = [&](double p) {
        Primitive s;
        s.p = p;
        s.u = std::min(0.0, velocity(p));
        s.rho = densityBehindWave(g, cell, p);
        s.y = cell.y;
        s.b = cell.b;
        return s;
    };
    const double p = root(
        [&](double p) {
            const Primitive s = state(p);
            const double t = p / (g.r * s.rho);
            const double t0 = t + s.u * s.u / (2 * cp);
            const double p0 = p * std::pow(t0 / t, g.gamma / (g.gamma - 1));
            return orificeFlow(g, orifice, p0, t0, res.p) + s.rho * s.u * pipeArea;
        },
        res.p, still);
    f = state(p);
    const double t = f.p / (g.r * f.rho);
    return faceFlux(f, cp * t + f.u * f.u / 2, pipeArea);
}

Flux openEndFace(const Gas &g, double ambientP, double ambientT, const Primitive &cell,
                 double pipeArea, double inflowFresh)
{
    const double a = std::sqrt(g.gamma * cell.p / cell.rho);
    const double cp = g.cp();
    auto velocity = [&](double p) {
        double slope = 0;
        return cell.u - waveFunction(g, cell, a, p, slope);
    };
    auto pipeGas = [&](double p) {
        Primitive s{densityBehindWave(g, cell, p), velocity(p), p, cell.y, cell.b};
        return s;
    };
    auto enthalpy0 = [&](const Primitive &s) {
        return g.gamma / (g.gamma - 1) * s.p / s.rho + s.u * s.u / 2;
    };
    if (cell.u >= a) // supersonic outflow: nothing comes back in
        return faceFlux(cell, enthalpy0(cell), pipeArea);
    const double outflow = velocity(ambientP);
    if (outflow >= 0) {
        Primitive f = pipeGas(ambientP);
        if (f.u > g.soundSpeed(f.p, f.rho)) {
            // Choked at the end: the sonic point of the right-going rarefaction.
            const double sonic = 2 / (g.gamma + 1) * (a + (g.gamma - 1) / 2 * cell.u);
            const double p = cell.p * std::pow(sonic / a, 2 * g.gamma / (g.gamma - 1));
            f = Primitive{densityBehindWave(g, cell, p), sonic, p, cell.y, cell.b};
        }
        return faceFlux(f, enthalpy0(f), pipeArea);
    }
    // Air drawn in from the atmosphere at rest.
    const double ambientRho = ambientP / (g.r * ambientT);
    auto drawn = [&](double p) {
        const double ratio = p / ambientP;
        Primitive s;
        s.p = p;
        s.rho = ambientRho * std::pow(ratio, 1 / g.gamma);
        s.u = -std::sqrt(
            std::max(0.0, 2 * cp * ambientT * (1 - std::pow(ratio, (g.gamma - 1) / g.gamma))));
        s.y = inflowFresh;
        return s;
    };
    // The inflow may not pass the speed of sound at the end.
    const double lowest = ambientP * std::pow(2 / (g.gamma + 1), g.gamma / (g.gamma - 1));
    const double p = root([&](double p) { return velocity(p) - drawn(p).u; }, lowest, ambientP);
    const Primitive f = drawn(p);
    return faceFlux(f, cp * ambientT, pipeArea);
}

namespace {

// The same face seen in a mirror: the cell's velocity turned round, and the flux's flows of
// mass, energy and fresh charge with it (its momentum flux, rho u u + p, is the same).
Primitive mirrored(Primitive w)
{
    w.u = -w.u;
    return w;
}

Flux mirrored(const Flux &f)
{
    return Flux{-f.mass, f.momentum, -f.energy, -f.fresh, -f.burnt};
}

} // namespace

Flux openStartFace(const Gas &g, double ambientP, double ambientT, const Primitive &cell,
                   double pipeArea, double inflowFresh)
{
    return mirrored(openEndFace(g, ambientP, ambientT, mirrored(cell), pipeArea, inflowFresh));
}

Flux portEndFace(const Gas &g, const Reservoir &res, double orifice, const Primitive &cell,
                 double pipeArea, bool oneWay)
{
    const Flux seen = portFace(g, res, orifice, mirrored(cell), pipeArea);
    // Seen in the mirror, a positive mass flow leaves the reservoir.
    if (oneWay && seen.mass > 0)
        return wallFace(g, cell, pipeArea, true);
    return mirrored(seen);
}

JunctionFlux junction(const Gas &g, const Primitive &l, double areaL, const Primitive &r,
                      double areaR)
{
    const double al = std::sqrt(g.gamma * l.p / l.rho), ar = std::sqrt(g.gamma * r.p / r.rho);
    const double cp = g.cp();
    // The face pressure that stops each side: the side with the higher one pushes.
    const double stopL = pressureForVelocity(g, l, 0, false);
    const double stopR = pressureForVelocity(g, r, 0, true);
    const bool rightwards = stopL >= stopR;
    const Primitive &up = rightwards ? l : r, &down = rightwards ? r : l;
    const double aUp = rightwards ? al : ar, aDown = rightwards ? ar : al;
    const double areaUp = rightwards ? areaL : areaR, areaDown = rightwards ? areaR : areaL;
    const double sign = rightwards ? 1 : -1;
    // Each side's face state at pressure p, as speeds in the flow's direction; the downstream
    // side holds the upstream gas with its stagnation enthalpy.
    auto sides = [&](double p, Primitive &u, Primitive &d) {
        double slope = 0;
        u.p = d.p = p;
        u.u = std::max(0.0, sign * up.u - waveFunction(g, up, aUp, p, slope));
        u.rho = densityBehindWave(g, up, p);
        u.y = d.y = up.y;
        u.b = d.b = up.b;
        d.u = std::max(0.0, sign * down.u + waveFunction(g, down, aDown, p, slope));
        const double h0 = cp * p / (g.r * u.rho) + u.u * u.u / 2;
        const double t = std::max(h0 - d.u * d.u / 2, 1e-6 * h0) / cp;
        d.rho = p / (g.r * t);
    };
    Primitive u, d;
    const double p = root(
        [&](double p) {
            sides(p, u, d);
            return areaUp * u.rho * u.u - areaDown * d.rho * d.u;
        },
        rightwards ? stopR : stopL, rightwards ? stopL : stopR);
    sides(p, u, d);
    const double h0 = cp * p / (g.r * u.rho) + u.u * u.u / 2;
    auto flux = [&](const Primitive &w, double area) {
        const double m = sign * w.rho * w.u * area;
        return Flux{m, (w.rho * w.u * w.u + w.p) * area, m * h0, m * w.y, m * w.b};
    };
    JunctionFlux j;
    j.left = flux(rightwards ? u : d, areaL);
    j.right = flux(rightwards ? d : u, areaR);
    // One mass passes: the root's last digits must not create or destroy any.
    j.right.mass = j.left.mass;
    j.right.energy = j.left.energy;
    j.right.fresh = j.left.fresh;
    j.right.burnt = j.left.burnt;
    return j;
}

} // namespace velmorant::waves

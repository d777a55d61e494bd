#pragma once

// The scheme's tests share these: a tube of gas stepped with given ends, a weak acoustic pulse,
// a watch for a pressure's peak in time, and a Riemann problem's states in a data table.
#include "boundary.h"
#include "scheme.h"
#include "exactriemann.h"

#include <QtTest>

#include <cmath>
#include <functional>

namespace velmorant::waves::tubes {


const Gas Air{1.4, 287};

inline Pipe straight(double lengthMm, double diameterMm)
{
    Pipe p;
    p.sections = {PipeSection(lengthMm, diameterMm, diameterMm)};
    return p;
}

// A duct with its scheme and the gas in it, stepped with given ends.
struct Tube
{
    Tube(const Pipe &pipe, double cellMm, const Gas &gas = Air, double friction = 0)
        : duct(ductOf(pipe, cellMm)), gas(gas), scheme(duct, gas, friction)
    {
        state.resize(duct.cells());
    }
    double x(int i) const { return (i + 0.5) * duct.dx; }
    using End = std::function<Flux(const Primitive &, double area)>;
    // Closed ends unless told otherwise; `watch` sees the time after every step.
    void run(double until, const End &left = {}, const End &right = {},
             const std::function<void(double)> &watch = {})
    {
        scheme.forgetStep();
        const int n = duct.cells();
        while (time < until && steps < maxSteps) {
            const double dt = std::min(scheme.stableStep(state, 0.9), until - time);
            const Primitive a = state.primitive(gas, 0), b = state.primitive(gas, n - 1);
            const Flux l =
                left ? left(a, duct.faceArea[0]) : wallFace(gas, a, duct.faceArea[0], false);
            const Flux r =
                right ? right(b, duct.faceArea[n]) : wallFace(gas, b, duct.faceArea[n], true);
            scheme.advance(state, dt, l, r);
            time += dt;
            ++steps;
            if (watch)
                watch(time);
        }
    }
    Duct duct;
    Gas gas;
    Scheme scheme;
    DuctState state;
    double time = 0;
    long steps = 0;
    long maxSteps = 2000000; // a run whose step collapses ends here, and its checks fail
};

// A right-going weak pulse of linear acoustics: pressure p0 (1 + eps g), velocity and density
// following it, g a Gaussian of width `w` about `centre` (m).
constexpr double P0 = 1e5, Rho0 = 1.2;
inline double gaussian(double x, double centre, double w)
{
    return std::exp(-(x - centre) * (x - centre) / (w * w));
}
inline void setPulse(Tube &t, double centre, double w, double eps)
{
    const double a = std::sqrt(Air.gamma * P0 / Rho0);
    for (int i = 0; i < t.duct.cells(); ++i) {
        const double dp = eps * P0 * gaussian(t.x(i), centre, w);
        t.state.set(Air, i, Primitive{Rho0 + dp / (a * a), dp / (Rho0 * a), P0 + dp, 0});
    }
}
inline double soundSpeed0()
{
    return std::sqrt(Air.gamma * P0 / Rho0);
}

// When the pressure at cell `i` peaks (or dips), by a parabola through the largest sample and
// its neighbours in time.
struct PeakWatch
{
    std::vector<double> times, values;
    void add(double t, double v)
    {
        times.push_back(t);
        values.push_back(v);
    }
    // The extremum of sign `sign` after `from`: its time and value.
    std::pair<double, double> peak(double from, int sign) const
    {
        std::size_t best = 0;
        for (std::size_t k = 1; k + 1 < values.size(); ++k)
            if (times[k] >= from && (best == 0 || sign * values[k] > sign * values[best]))
                best = k;
        const double t0 = times[best - 1], t1 = times[best], t2 = times[best + 1];
        const double v0 = values[best - 1], v1 = values[best], v2 = values[best + 1];
        // Lagrange parabola through three unevenly spaced points, its vertex.
        const double d = (t0 - t1) * (t0 - t2) * (t1 - t2);
        const double A = (t2 * (v1 - v0) + t1 * (v0 - v2) + t0 * (v2 - v1)) / d;
        const double B = (t2 * t2 * (v0 - v1) + t1 * t1 * (v2 - v0) + t0 * t0 * (v1 - v2)) / d;
        const double C = v1 - A * t1 * t1 - B * t1;
        const double tv = -B / (2 * A);
        return {tv, A * tv * tv + B * tv + C};
    }
};

// The columns of a Riemann problem's two states, and the states of the current row.
inline void riemannColumns()
{
    for (const char *name : {"rhoL", "uL", "pL", "rhoR", "uR", "pR"})
        QTest::addColumn<double>(name);
}
inline std::pair<exact::State, exact::State> riemannStates()
{
    QFETCH(double, rhoL);
    QFETCH(double, uL);
    QFETCH(double, pL);
    QFETCH(double, rhoR);
    QFETCH(double, uR);
    QFETCH(double, pR);
    return {{rhoL, uL, pL}, {rhoR, uR, pR}};
}

} // namespace velmorant::waves::tubes

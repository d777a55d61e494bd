#pragma once

// The fluxes across a face between two cells, for the scheme's inner loop (inline).
#include "gas.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

// Each cell holds its gas for the step as the perfect gas tangent to its own at its state:
// rho e = p / (gamma - 1) + rho e0, with gamma its speed of sound's (cp / cv at its
// temperature) and e0 what makes that energy its true one. The gas keeps its speed of sound, and
// a cell updated only with fluxes read in its own gas sees a contact at one pressure and speed
// as a single gas does, and keeps it.
struct HeldGas
{
    double perGamma1 = 0; // 1 / (gamma - 1)
    double e0 = 0;        // J/kg
    double energy(const Primitive &w) const
    {
        return w.p * perGamma1 + w.rho * e0 + 0.5 * w.rho * w.u * w.u;
    }
};

// The HLLC flux with each side's own gas (the star states need no equation of state): `gl`,
// `gr` the gammas of their energies, `sl`, `sr` of their speeds of sound. With `Variable` false
// all four are the run's one gamma and no burnt gas is carried.
template <bool Variable>
inline Flux hllcFlux(double gl, double gr, double soundL, double soundR, const Primitive &l,
                     const Primitive &r)
{
    const double al = std::sqrt(soundL * l.p / l.rho), ar = std::sqrt(soundR * r.p / r.rho);
    const double sl = std::min(l.u - al, r.u - ar), sr = std::max(l.u + al, r.u + ar);
    double el, er;
    if constexpr (Variable) {
        el = l.p / (gl - 1) + 0.5 * l.rho * l.u * l.u;
        er = r.p / (gr - 1) + 0.5 * r.rho * r.u * r.u;
    } else {
        const double perGamma1 = 1 / (gl - 1); // a constant once inlined
        el = l.p * perGamma1 + 0.5 * l.rho * l.u * l.u;
        er = r.p * perGamma1 + 0.5 * r.rho * r.u * r.u;
    }
    auto physical = [](const Primitive &w, double e) {
        const double m = w.rho * w.u;
        if constexpr (Variable)
            return Flux{m, m * w.u + w.p, w.u * (e + w.p), m * w.y, m * w.b};
        else
            return Flux{m, m * w.u + w.p, w.u * (e + w.p), m * w.y};
    };
    if (sl >= 0)
        return physical(l, el);
    if (sr <= 0)
        return physical(r, er);
    const double ml = l.rho * (sl - l.u), mr = r.rho * (sr - r.u);
    const double sm = (r.p - l.p + l.u * ml - r.u * mr) / (ml - mr);
    // The star state on the side the face lies in, and the flux to it across the outer wave.
    const bool leftSide = sm >= 0;
    const Primitive &k = leftSide ? l : r;
    const double s = leftSide ? sl : sr, e = leftSide ? el : er, mk = leftSide ? ml : mr;
    // rho* = mk / (s - sm); E* = rho* (E/rho + (sm - u)(sm + p / mk)), with one division.
    const double q = 1 / (s - sm);
    const double rhoStar = mk * q;
    const double eStar = e * (s - k.u) * q + (sm - k.u) * (rhoStar * sm + k.p * q);
    Flux f = physical(k, e);
    f.mass += s * (rhoStar - k.rho);
    f.momentum += s * (rhoStar * sm - k.rho * k.u);
    f.energy += s * (eStar - e);
    // The scalars go with the mass, from the side upwind of the contact.
    f.fresh += s * (rhoStar * k.y - k.rho * k.y);
    if constexpr (Variable)
        f.burnt += s * (rhoStar * k.b - k.rho * k.b);
    return f;
}

// The HLLC flux across a face between two cells of different gases, as each cell sees it: the
// mass, momentum and scalars are the same for both; the energy is reckoned twice, both sides'
// states read in the left cell's gas (the flux's `energy`) and in the right cell's
// (`energyRight`).
struct TwoSidedFlux
{
    Flux flux;
    double energyRight = 0;
};

inline TwoSidedFlux hllcTwoSided(const HeldGas &gl, const HeldGas &gr, double soundL, double soundR,
                                 const Primitive &l, const Primitive &r)
{
    const double al = std::sqrt(soundL * l.p / l.rho), ar = std::sqrt(soundR * r.p / r.rho);
    const double sl = std::min(l.u - al, r.u - ar), sr = std::max(l.u + al, r.u + ar);
    auto physical = [](const Primitive &w, double e) {
        const double m = w.rho * w.u;
        return Flux{m, m * w.u + w.p, w.u * (e + w.p), m * w.y, m * w.b};
    };
    if (sl >= 0 || sr <= 0) {
        const Primitive &w = sl >= 0 ? l : r;
        return {physical(w, gl.energy(w)), w.u * (gr.energy(w) + w.p)};
    }
    const double ml = l.rho * (sl - l.u), mr = r.rho * (sr - r.u);
    const double sm = (r.p - l.p + l.u * ml - r.u * mr) / (ml - mr);
    const bool leftSide = sm >= 0;
    const Primitive &k = leftSide ? l : r;
    const double s = leftSide ? sl : sr, mk = leftSide ? ml : mr;
    const double q = 1 / (s - sm);
    const double rhoStar = mk * q;
    // The energy flux of side k's energy e: its own, and across the outer wave to the star.
    const double starRest = (sm - k.u) * (rhoStar * sm + k.p * q);
    auto energy = [&](double e) {
        const double eStar = e * (s - k.u) * q + starRest;
        return k.u * (e + k.p) + s * (eStar - e);
    };
    Flux f = physical(k, 0);
    f.mass += s * (rhoStar - k.rho);
    f.momentum += s * (rhoStar * sm - k.rho * k.u);
    f.energy = energy(gl.energy(k));
    f.fresh += s * (rhoStar * k.y - k.rho * k.y);
    f.burnt += s * (rhoStar * k.b - k.rho * k.b);
    return {f, energy(gr.energy(k))};
}

} // namespace velmorant::waves

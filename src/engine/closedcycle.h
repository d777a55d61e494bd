#pragma once

#include "geometry.h"
#include "thermo.h"

namespace velmorant::engine {

// The burn of one cycle's charge: when it starts and how long it lasts (crank degrees in the
// caller's frame), Wiebe's factors, the heat it releases in all (J) and the fresh charge it
// turns into burnt gas (kg).
struct Burn
{
    double start = 0, duration = 60, a = 5, m = 2;
    double heat = 0, fresh = 0;
};

// The walls' heat exchange: Annand's constant (0: none) and the walls' temperature, K.
struct Walls
{
    double a = 0;
    double kelvin = 473;
};

// What a closed stretch of the cycle did: the gas's work on the piston, the heat the burn
// released and the heat the walls took, J.
struct ClosedStep
{
    double work = 0, released = 0, wall = 0;
};

// The closed cylinder (ports shut) from crank angle `from` to `to` degrees at `rpm`: the burn's
// heat in, the walls' heat out, the piston's work, in sub-steps of at most `substep` degrees.
// Each sub-step takes the work at the mean of its end pressures, so that the energy balance
// dU = Q - Q_wall - W holds to rounding, and the compression and expansion to second order.
ClosedStep advanceClosed(Volume &gas, const Gas &g, const EngineGeometry &geo, const Burn &burn,
                         const Walls &walls, double rpm, double from, double to,
                         double substep = 0.1);

} // namespace velmorant::engine

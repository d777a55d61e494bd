#pragma once

#include "gas.h"

namespace velmorant::waves {

// A still volume of gas behind an orifice: the cylinder at the exhaust port, or a tank.
struct Reservoir
{
    double p = 0, t = 0; // Pa, K: static, and stagnation since the gas is at rest
    double y = 0;        // share of fresh charge
    double b = 0;        // share of burnt gas
};

// The face between a reservoir and the pipe's first cell (the pipe lies to the right), whose
// state is `cell`. The face state lies on the left-going wave from the cell's state (the exact
// Riemann relation), and carries the orifice's quasi-steady mass flow: out of the reservoir
// with its stagnation enthalpy, or back into it with the pipe's gas. `orifice` is the
// effective area (discharge coefficient times the open area), `pipeArea` the face's, m².
// Returns the flux through the face times its area, positive into the pipe; an orifice of no
// area is a closed end.
Flux portFace(const Gas &g, const Reservoir &res, double orifice, const Primitive &cell,
              double pipeArea);

// The open end: the pipe's last cell `cell` to the left, the atmosphere at `ambientP`,
// `ambientT` to the right. Outflow leaves at ambient pressure (sonic at most); inflow comes in
// isentropically from the atmosphere at rest, with the share `inflowFresh` of fresh charge (0
// at the exhaust's end: air; 1 at an intake's mouth: the carburetted charge) and no burnt gas.
Flux openEndFace(const Gas &g, double ambientP, double ambientT, const Primitive &cell,
                 double pipeArea, double inflowFresh = 0);

// The same two ends the other way round: the pipe's first cell to the right of an open end
// (an intake's mouth), and the pipe's last cell to the left of a reservoir (an intake's port
// into the crankcase). Fluxes positive to the right, as at every face. With `oneWay` the port
// lets gas only into the reservoir (a reed valve): flow back out of it meets a closed end.
Flux openStartFace(const Gas &g, double ambientP, double ambientT, const Primitive &cell,
                   double pipeArea, double inflowFresh);
Flux portEndFace(const Gas &g, const Reservoir &res, double orifice, const Primitive &cell,
                 double pipeArea, bool oneWay);

// A closed end to the left of `cell` (mirror = false) or to its right (true).
Flux wallFace(const Gas &g, const Primitive &cell, double pipeArea, bool right);

// A sudden change of area between two cells: the gas on each side of the face lies on the
// wave from its own cell; the two sides have one pressure (the jet fills the larger pipe at
// the smaller one's pressure) and pass the same mass, energy and fresh charge. Returns the
// fluxes times their areas, out of the left cell and into the right one.
struct JunctionFlux
{
    Flux left, right;
};
JunctionFlux junction(const Gas &g, const Primitive &l, double areaL, const Primitive &r,
                      double areaR);

} // namespace velmorant::waves

#pragma once

#include "geometry.h"

namespace velmorant::engine {

// The cylinder gas's viscosity (Pa s) and thermal conductivity (W/(m K)) at `t` kelvin: the
// quadratic fits used with Annand's correlation in the engine codes of the field.
double gasViscosity(double t);
double gasConductivity(double t);

// Annand's heat-transfer coefficient, W/(m² K): Nu = h B / k = a Re^0.7 with Re = rho c_m B / mu,
// c_m the mean piston speed and B the bore.
double annandCoefficient(double a, double rho, double t, double meanPistonSpeed, double bore);

// The walls the gas touches at piston travel `s`: the head and the crown (a bore's area each)
// and the liner uncovered above the piston, m².
double wallArea(const EngineGeometry &g, double s);

// The heat going from the gas to the walls over `dt` seconds, J (negative when the walls are
// hotter), never more than brings the gas to the walls' temperature.
double wallHeat(double a, const EngineGeometry &g, double s, double mass, double pressure,
                double temperature, double volume, double cv, double wallKelvin,
                double meanPistonSpeed, double dt);

} // namespace velmorant::engine

#pragma once

#include <optional>

namespace velmorant::engine {

// 1 CV (the metric horsepower) in watts.
constexpr double WattsPerCv = 735.49875;

// Friction mean effective pressure by Chen and Flynn's form, bar: A + B p_max + C c_m + D c_m²,
// p_max the peak cylinder pressure (bar), c_m the mean piston speed (m/s).
double chenFlynn(double a, double b, double c, double d, double peakBar, double meanPistonSpeed);

// The same form on a two-stroke, whose cycle is one turn of the crank, with constants found over
// cycles of `revolutions` turns (2 for a four-stroke's): the peak pressure's term loads the
// rings and bearings once a cycle in either engine and counts whole; the rest is a friction
// torque, the same on every turn, so a four-stroke's cycle holds it twice and a two-stroke's
// once.
double twoStrokeFriction(double a, double b, double c, double d, double peakBar,
                         double meanPistonSpeed, double revolutions);

// What one cycle of a two-stroke gives at the crankshaft: mean effective pressures (bar), brake
// power, torque and specific fuel consumption (none when the engine gives no power).
struct BrakeFigures
{
    double imep = 0, pmep = 0, fmep = 0, bmep = 0; // bar
    double powerKw = 0, powerCv = 0, torqueNm = 0;
    std::optional<double> bsfc; // g/kWh
};
// `indicatedWork` the cylinder gas's work on the piston over the cycle (J), `crankcaseWork` the
// crankcase gas's (J; its loop takes work, a pumping loss), `fuel` the fuel the engine takes in
// per cycle (kg), one cycle per revolution.
BrakeFigures brakeFigures(double indicatedWork, double crankcaseWork, double fmepBar, double swept,
                          double rpm, double fuel);

} // namespace velmorant::engine

#pragma once

namespace velmorant::engine {

// Air over fuel, by mass, at which all the fuel can burn in all the air (gasoline).
constexpr double StoichiometricAirFuel = 14.7;

// The burnt share of the charge at crank angle `degrees` of a burn that starts at `start` and
// lasts `duration` degrees, by Wiebe's law 1 - exp(-a x^(m+1)), x the share of the duration
// run (a = 5 leaves 0.7 % unburnt at its end).
double burntFraction(double degrees, double start, double duration, double a, double m);

// What a trapped fresh charge (air and fuel mixed, kg) holds: its fuel and air, and the fuel
// that can burn: all of it in a lean mixture, only what the air's oxygen takes in a rich one.
struct Charge
{
    double fuel = 0, air = 0, burnable = 0;
};
Charge chargeOf(double freshMass, double airFuel);

// The heat that charge releases when it burns, J: burnable fuel times the lower heating value
// (MJ/kg) times the combustion efficiency.
double chargeHeat(const Charge &c, double lhvMJ, double efficiency);

} // namespace velmorant::engine

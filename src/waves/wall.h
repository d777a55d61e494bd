#pragma once

// A pipe's wall that finds its own temperature: each cell's sheet heated by the gas inside and
// cooled by the air outside, by convection and by radiation; thin, so the heat crosses it and
// does not run along it.
#include <vector>

namespace velmorant::waves {

// The gas's heat to a wall goes by the Reynolds analogy with the wall's friction (Colburn's
// j = St Pr^(2/3) = f / 2): h = (f / 2) G cp Pr^(-2/3), G the mass flux per area; this is
// Pr^(-2/3) for air, Pr 0.71.
constexpr double ColburnPrandtl = 1.2565;

// The air around the pipe: its temperature (K), the convection's coefficient (W/m²K, 15 for a
// bike's slow air) and the sheet's emissivity (0.8 for oxidised steel).
struct OutsideAir
{
    double kelvin = 293.15;
    double convection = 15;
    double emissivity = 0.8;
};

// The wall's temperature where the heat the gas gives it, hIn (gasK - T), equals what it gives
// the air, convection (T - air) + emissivity sigma (T^4 - air^4); hIn in W/m²K.
double settledWall(double hIn, double gasK, const OutsideAir &air);

// Each cell's wall settled over what the gas gave it since the last call: `hTime` the sum of
// h dt (W s/m²K), `hGasTime` of h T_gas dt, over `time` seconds. A cell the gas never touched
// keeps its temperature. The sums are cleared.
void settleWalls(std::vector<double> &wallK, std::vector<double> &hTime,
                 std::vector<double> &hGasTime, double time, const OutsideAir &air);

} // namespace velmorant::waves

#pragma once

// The specific heats of air and of burnt gas against temperature, and the gas of a mixture of
// the two. The fits are the three-species ones of the open 1D code OpenWAM (J/(kg K), T in K):
// air from the NASA tables, burnt gas the low-temperature products of a petrol engine.
#include "gas.h"

#include <array>

namespace velmorant::waves {

constexpr double RAir = 287, RBurnt = 285.4; // J/(kg K)

// Specific heat at constant volume, J/(kg K).
double cvAir(double kelvin);
double cvBurnt(double kelvin);
// Their integrals from 0 K up to a constant: the internal energy, J/kg, whose slope is cv.
double energyAir(double kelvin);
double energyBurnt(double kelvin);

// The gas of a mixture holding the mass share `burnt` of burnt gas, the rest air, at `kelvin`:
// cv and R by mass, gamma = 1 + R / cv. Read from a table every 10 K (linear between, the
// ends held beyond 100 K and 4000 K): cheap enough for every cell and step.
class GasTable
{
public:
    static const GasTable &instance();
    Gas at(double kelvin, double burnt) const
    {
        double x = (kelvin - Lowest) * (1 / Step);
        x = x < 0 ? 0 : (x > Last ? Last : x);
        const int i = int(x);
        const int j = i < int(Last) ? i + 1 : i;
        const double f = x - i;
        const double air = m_air[std::size_t(i)] + f * (m_air[std::size_t(j)] - m_air[std::size_t(i)]);
        const double gas =
            m_burnt[std::size_t(i)] + f * (m_burnt[std::size_t(j)] - m_burnt[std::size_t(i)]);
        const double cv = air + burnt * (gas - air);
        const double r = RAir + burnt * (RBurnt - RAir);
        return Gas{1 + r / cv, r};
    }

private:
    GasTable();
    static constexpr double Lowest = 100, Step = 10, Last = 390; // 100 K to 4000 K
    std::array<double, 391> m_air{}, m_burnt{};
};

} // namespace velmorant::waves

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
// The internal energy from 0 K, J/kg: the integral of cv (air's held at its 300 K value below
// 300 K, where the fit is not meant to be read).
double energyAir(double kelvin);
double energyBurnt(double kelvin);

// A mixture's gas at one temperature, as a cell of a pipe uses it: `energy` the gamma that
// gives its internal energy from its pressure, p / (gamma - 1) = rho e(T), so that a perfect
// gas of that gamma holds the true energy at this temperature; `sound` the ratio of the specific
// heats there, cp / cv, that sets the speed of sound; R by mass.
struct MixtureGas
{
    double energy = 1.4, sound = 1.4, r = RAir;
    Gas gas() const { return Gas{energy, r}; }
};

// The gas of a mixture holding the mass share `burnt` of burnt gas, the rest air, at `kelvin`:
// cv, e and R by mass. Read from a table every 10 K (linear between, the ends held beyond
// 100 K and 4000 K): cheap enough for every cell and step.
class GasTable
{
public:
    static const GasTable &instance();
    MixtureGas at(double kelvin, double burnt) const
    {
        double x = (kelvin - Lowest) * (1 / Step);
        x = x < 0 ? 0 : (x > Last ? Last : x);
        const int i = int(x);
        const std::size_t a = std::size_t(i), b = i < int(Last) ? a + 1 : a;
        const double f = x - i;
        const Node &na = m_nodes[a], &nb = m_nodes[b];
        auto mix = [&](double Node::*air, double Node::*gas) {
            const double ya = na.*air + f * (nb.*air - na.*air),
                         yb = na.*gas + f * (nb.*gas - na.*gas);
            return ya + burnt * (yb - ya);
        };
        const double cv = mix(&Node::cvAir, &Node::cvBurnt), e = mix(&Node::eAir, &Node::eBurnt);
        const double r = RAir + burnt * (RBurnt - RAir);
        const double t = Lowest + x * Step;
        return MixtureGas{1 + r * t / e, 1 + r / cv, r};
    }

private:
    GasTable();
    static constexpr double Lowest = 100, Step = 10, Last = 390; // 100 K to 4000 K
    static constexpr std::size_t Nodes = 391;
    // Each node's four figures side by side: a lookup reads two neighbouring nodes, not eight
    // places in four tables.
    struct Node
    {
        double cvAir = 0, cvBurnt = 0, eAir = 0, eBurnt = 0;
    };
    std::array<Node, Nodes> m_nodes{};
};

} // namespace velmorant::waves

#include "reed.h"

#include <algorithm>
#include <cmath>

namespace velmorant::engine {

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Petal
{
    double l, b, t, e, rho; // SI
    double inertia() const { return b * t * t * t / 12; }
};

Petal petal(const ReedBlock &r)
{
    return Petal{r.lengthMm / 1000, r.widthMm / 1000, r.thicknessMm / 1000, r.youngsGpa * 1e9,
                 r.density};
}

} // namespace

double ReedBlock::naturalFrequency() const
{
    const Petal p = petal(*this);
    const double beta = 1.87510407;
    return beta * beta / (2 * Pi) *
           std::sqrt(p.e * p.inertia() / (p.rho * p.b * p.t * std::pow(p.l, 4)));
}

double ReedBlock::staticLift(double pascal) const
{
    const Petal p = petal(*this);
    return 0.12667 * pascal * p.b * std::pow(p.l, 4) / (p.e * p.inertia()) * 1000;
}

double ReedBlock::flowArea(double mm) const
{
    const double x = std::max(0.0, mm);
    const double curtain = widthMm * x + 2 * 0.4 * x * lengthMm;
    return std::min(portAreaMm2, petals * curtain);
}

ReedTip::ReedTip(const ReedBlock &block) : m_block(block)
{
    const Petal p = petal(block);
    // The first mode normalised on the tip: a quarter of the petal's mass, 3.0906 E I / L^3,
    // and 0.39150 of the load on it.
    m_mass = 0.25 * p.rho * p.b * p.t * p.l;
    m_stiffness = 3.0906 * p.e * p.inertia() / (p.l * p.l * p.l);
    m_damper = 2 * block.damping * std::sqrt(m_stiffness * m_mass);
    m_force = 0.39150 * p.b * p.l;
    m_stop = block.stopMm / 1000;
}

void ReedTip::step(double pascal, double dt)
{
    // Semi-implicit: the speed from the forces now, the lift from the new speed; the damper
    // taken implicitly, so a stiff petal on a long step stays stable.
    const double force = m_force * pascal - m_stiffness * m_x;
    m_v = (m_v * m_mass + dt * force) / (m_mass + dt * m_damper);
    m_x += dt * m_v;
    if (m_x <= 0) {
        m_x = 0;
        m_v = std::max(0.0, m_v);
    } else if (m_x >= m_stop) {
        m_x = m_stop;
        m_v = std::min(0.0, m_v);
    }
}

} // namespace velmorant::engine

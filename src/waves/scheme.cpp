#include "scheme.h"

#include "boundary.h"
#include "gasprops.h"
#include "mitreloss.h"

#include <algorithm>
#include <cmath>

namespace velmorant::waves {

Flux hllc(const Gas &g, const Primitive &l, const Primitive &r)
{
    return hllcFlux<true>(g.gamma, g.gamma, g.gamma, g.gamma, l, r);
}

Flux hllc(const Gas &gl, const Gas &gr, const Primitive &l, const Primitive &r)
{
    return hllcFlux<true>(gl.gamma, gr.gamma, gl.gamma, gr.gamma, l, r);
}

Scheme::Scheme(const Duct &duct, const Gas &gas, double friction)
    : m_duct(duct), m_gas(gas), m_friction(friction)
{
    const int n = duct.cells();
    m_w.resize(n);
    m_left.resize(n);
    m_right.resize(n);
    m_pHalf.resize(n);
    m_held.resize(n);
    m_out.resize(n + 1);
    m_in.resize(n + 1);
    m_perVolume.resize(n);
    m_sigma.resize(n);
    m_drag.resize(n);
    for (int i = 0; i < n; ++i) {
        m_perVolume[i] = 1 / duct.volume[i];
        m_sigma[i] = (duct.faceArea[i + 1] - duct.faceAfter[i]) * duct.dx / duct.volume[i];
        m_drag[i] = 0.5 * friction * 3.14159265358979323846 * duct.dx * duct.diameter[i];
    }
}

void Scheme::setJoints(const std::vector<std::pair<double, double>> &joints, double scale)
{
    m_joints.clear();
    if (!(scale > 0))
        return;
    for (const auto &[x, angle] : joints) {
        const int i = m_duct.cellAt(x);
        const double loss = 0.5 * m_duct.volume[i] / m_duct.dx * scale * mitreLossTurbulent(angle);
        auto same = std::find_if(m_joints.begin(), m_joints.end(),
                                 [i](const JointCell &c) { return c.cell == i; });
        if (same != m_joints.end())
            same->halfAreaLoss += loss;
        else
            m_joints.push_back({i, loss, m_duct.diameter[i]});
    }
    m_jointForce.assign(m_joints.size(), 0.0);
}

double Scheme::stableStep(const DuctState &s, double cfl)
{
    if (m_fastest > 0)
        return cfl * m_duct.dx / m_fastest;
    double fastest = 0;
    for (int i = 0; i < m_duct.cells(); ++i) {
        const double u = s.mom[i] / s.rho[i], gamma = s.gasAt(m_gas, i).gamma;
        const double p = (gamma - 1) * (s.energy[i] - 0.5 * s.mom[i] * u);
        const double sound = s.variable() ? s.sound[i] : gamma;
        fastest = std::max(fastest, std::abs(u) + std::sqrt(sound * p / s.rho[i]));
    }
    return cfl * m_duct.dx / fastest;
}

namespace {

// The monotonized central limiter: the central difference, held within twice each one-sided
// difference, 0 at an extremum. Second order where the solution is smooth, and no division.
inline double limited(double back, double ahead)
{
    if (back * ahead <= 0)
        return 0;
    const double central = 0.5 * (back + ahead);
    if (back > 0)
        return std::min({central, 2 * back, 2 * ahead});
    return std::max({central, 2 * back, 2 * ahead});
}

} // namespace

void Scheme::setWall(std::vector<double> kelvin)
{
    // Colburn's j = St Pr^(2/3) = f / 2 for air (Pr 0.71); per unit volume of the cell the
    // heat is h times its wall over its volume, 4 / D.
    m_wallK = std::move(kelvin);
    m_heat.assign(m_wallK.size(), 0.0);
    for (std::size_t i = 0; i < m_wallK.size(); ++i)
        m_heat[i] = 4 / m_duct.diameter[i] * m_friction / 2 * m_gas.cp() * ColburnPrandtl;
}

void Scheme::setWallComputed(const OutsideAir &air)
{
    m_wallComputed = true;
    m_air = air;
    m_wallTime = 0;
    m_hTime.assign(m_wallK.size(), 0.0);
    m_hGasTime.assign(m_wallK.size(), 0.0);
}

void Scheme::settleWall()
{
    if (!m_wallComputed)
        return;
    // The sums are per unit volume of gas, 4 h / D: the wall's h is D / 4 of that.
    for (std::size_t i = 0; i < m_hTime.size(); ++i) {
        m_hTime[i] *= m_duct.diameter[i] / 4;
        m_hGasTime[i] *= m_duct.diameter[i] / 4;
    }
    settleWalls(m_wallK, m_hTime, m_hGasTime, m_wallTime, m_air);
    m_wallTime = 0;
}

void Scheme::advance(DuctState &s, double dt, const Flux &left, const Flux &right)
{
    if (s.variable())
        step<true>(s, dt, left, right);
    else
        step<false>(s, dt, left, right);
}

template <bool Variable>
void Scheme::step(DuctState &s, double dt, const Flux &left, const Flux &right)
{
    const int n = m_duct.cells();
    const double half = 0.5 * dt / m_duct.dx;
    // Found once a step, not once a cell.
    const GasTable *table = Variable ? &GasTable::instance() : nullptr;
    // Cell i's gamma of its energy, of its speed of sound, and its R.
    auto gammaOf = [&](int i) {
        if constexpr (Variable)
            return s.gamma[i];
        else
            return m_gas.gamma;
    };
    auto soundOf = [&](int i) {
        if constexpr (Variable)
            return s.sound[i];
        else
            return m_gas.gamma;
    };
    auto rOf = [&](int i) {
        if constexpr (Variable)
            return s.r[i];
        else
            return m_gas.r;
    };
    for (int i = 0; i < n; ++i) {
        if constexpr (Variable) {
            const Primitive w = m_w[i] = s.primitive(m_gas, i);
            const double perSound = 1 / (s.sound[i] - 1);
            m_held[i] = HeldGas{perSound, w.p / w.rho * (1 / (s.gamma[i] - 1) - perSound)};
        } else {
            const double r = s.rho[i], perRho = 1 / r, u = s.mom[i] * perRho;
            m_w[i] = Primitive{r, u, (m_gas.gamma - 1) * (s.energy[i] - 0.5 * s.mom[i] * u),
                               s.fresh[i] * perRho};
        }
    }

    // Face values at the half step.
    for (int i = 0; i < n; ++i) {
        const Primitive &w = m_w[i];
        if (m_firstOrder || i == 0 || i == n - 1) {
            m_left[i] = m_right[i] = w;
            m_pHalf[i] = w.p;
            continue;
        }
        const Primitive &b = m_w[i - 1], &f = m_w[i + 1];
        const double dr = limited(w.rho - b.rho, f.rho - w.rho);
        const double du = limited(w.u - b.u, f.u - w.u);
        const double dp = limited(w.p - b.p, f.p - w.p);
        const double dy = limited(w.y - b.y, f.y - w.y);
        // The area's logarithmic slope, for the quasi-one-dimensional terms of the predictor.
        const double sigma = m_sigma[i];
        const double rhoA2 = soundOf(i) * w.p;
        Primitive c;
        c.rho = w.rho - half * (w.u * dr + w.rho * du + w.rho * w.u * sigma);
        c.u = w.u - half * (w.u * du + dp * (1 / w.rho));
        c.p = w.p - half * (rhoA2 * du + w.u * dp + rhoA2 * w.u * sigma);
        c.y = w.y - half * w.u * dy;
        Primitive l{c.rho - dr / 2, c.u - du / 2, c.p - dp / 2, c.y - dy / 2};
        Primitive r{c.rho + dr / 2, c.u + du / 2, c.p + dp / 2, c.y + dy / 2};
        if constexpr (Variable) {
            const double db = limited(w.b - b.b, f.b - w.b);
            c.b = w.b - half * w.u * db;
            l.b = c.b - db / 2;
            r.b = c.b + db / 2;
        }
        if (!(l.rho > 0 && r.rho > 0 && l.p > 0 && r.p > 0 && c.p > 0)) {
            // Too steep to reconstruct here: this cell goes first order.
            m_left[i] = m_right[i] = w;
            m_pHalf[i] = w.p;
            continue;
        }
        m_left[i] = l;
        m_right[i] = r;
        m_pHalf[i] = c.p;
    }
    const std::vector<double> &a = m_duct.faceArea, &after = m_duct.faceAfter;
    for (int f = 1; f < n; ++f) {
        if constexpr (Variable) {
            // Each cell takes the face's flux as its own gas sees it.
            const TwoSidedFlux h = hllcTwoSided(m_held[f - 1], m_held[f], soundOf(f - 1),
                                                soundOf(f), m_right[f - 1], m_left[f]);
            const Flux &g = h.flux;
            m_out[f] = Flux{g.mass * a[f], g.momentum * a[f], g.energy * a[f], g.fresh * a[f],
                            g.burnt * a[f]};
            m_in[f] = m_out[f];
            m_in[f].energy = h.energyRight * a[f];
        } else {
            const Flux h = hllcFlux<false>(gammaOf(f - 1), gammaOf(f), soundOf(f - 1), soundOf(f),
                                           m_right[f - 1], m_left[f]);
            m_out[f] = m_in[f] = Flux{h.mass * a[f], h.momentum * a[f], h.energy * a[f],
                                      h.fresh * a[f], h.burnt * a[f]};
        }
    }
    for (int f : m_duct.steps) {
        // A junction's two sides meet at one pressure: one gas between them.
        Gas g = m_gas;
        if constexpr (Variable)
            g = Gas{0.5 * (s.gamma[f - 1] + s.gamma[f]), 0.5 * (s.r[f - 1] + s.r[f])};
        const JunctionFlux j = junction(g, m_right[f - 1], a[f], m_left[f], after[f]);
        m_out[f] = j.left;
        m_in[f] = j.right;
    }
    m_in[0] = left;
    m_out[n] = right;

    // The joints' losses, from the state at the start of the step, before any cell changes.
    for (JointCell &j : m_joints) {
        const Primitive &w = m_w[j.cell];
        const double viscosity = gasViscosity(w.p / (w.rho * rOf(j.cell)));
        const double reynolds = w.rho * std::abs(w.u) * j.diameter / viscosity;
        m_jointForce[&j - m_joints.data()] =
            j.halfAreaLoss * mitreReynoldsFactor(reynolds) * w.rho * w.u * std::abs(w.u);
    }
    double fastest = 0;
    for (std::size_t j = 0; j < m_joints.size(); ++j) {
        // A loss slows the gas; it never turns it round.
        double &mom = s.mom[m_joints[j].cell];
        const double change = dt * m_perVolume[m_joints[j].cell] * m_jointForce[j];
        mom -= std::abs(change) < std::abs(mom) ? change : mom;
    }
    for (int i = 0; i < n; ++i) {
        const Flux &in = m_in[i], &out = m_out[i + 1];
        const double k = dt * m_perVolume[i];
        const Primitive &w = m_w[i];
        // The walls push on the gas where the area changes; friction holds it back.
        const double wall = m_pHalf[i] * (a[i + 1] - after[i]);
        const double drag = m_drag[i] * w.rho * w.u * std::abs(w.u);
        s.rho[i] += k * (in.mass - out.mass);
        s.mom[i] += k * (in.momentum - out.momentum + wall - drag);
        s.energy[i] += k * (in.energy - out.energy);
        if (!m_wallK.empty()) {
            double h = m_heat[i] * w.rho * std::abs(w.u);
            const double gas = w.p / (w.rho * rOf(i));
            if constexpr (Variable) // h goes with the cell's own cp
                h *= soundOf(i) * rOf(i) / (soundOf(i) - 1) / m_gas.cp();
            s.energy[i] += dt * h * (m_wallK[i] - gas);
            if (m_wallComputed) {
                m_hTime[i] += dt * h;
                m_hGasTime[i] += dt * h * gas;
            }
        }
        s.fresh[i] += k * (in.fresh - out.fresh);
        // A physical state whatever happened.
        if (s.rho[i] < MinDensity)
            s.rho[i] = MinDensity;
        s.fresh[i] = std::clamp(s.fresh[i], 0.0, s.rho[i]);
        const double kinetic = 0.5 * s.mom[i] * s.mom[i] / s.rho[i];
        double gamma = gammaOf(i);
        if constexpr (Variable) {
            // The cell's gas follows its new temperature (reached with the gas it had: the
            // step is short) and burnt share. The pressure the step left stays: the energy
            // follows the new gas.
            s.burnt[i] = std::clamp(s.burnt[i] + k * (in.burnt - out.burnt), 0.0, s.rho[i]);
            const HeldGas &held = m_held[i];
            const double heldPressure =
                std::max((s.energy[i] - kinetic - s.rho[i] * held.e0) / held.perGamma1, 0.0);
            const double t = heldPressure / (s.rho[i] * s.r[i]);
            const MixtureGas g = table->at(t, s.burnt[i] / s.rho[i]);
            s.energy[i] = kinetic + heldPressure / (g.energy - 1);
            s.gamma[i] = gamma = g.energy;
            s.sound[i] = g.sound;
            s.r[i] = g.r;
        }
        double p = (gamma - 1) * (s.energy[i] - kinetic);
        if (p < MinPressure) {
            s.energy[i] = kinetic + MinPressure / (gamma - 1);
            p = MinPressure;
        }
        const double perRho = 1 / s.rho[i];
        const double a2 = soundOf(i) * p * perRho;
        fastest = std::max(fastest, std::abs(s.mom[i]) * perRho + std::sqrt(a2));
    }
    m_fastest = fastest;
    if (m_wallComputed)
        m_wallTime += dt;
}

} // namespace velmorant::waves

#pragma once

#include "duct.h"
#include "riemann.h"
#include "wall.h"

#include <utility>
#include <vector>

namespace velmorant::waves {

// The second-order scheme: MUSCL-Hancock on the primitive variables with the monotonized central
// limiter, HLLC fluxes, the quasi-one-dimensional pressure force on the walls and the wall
// friction (Fanning factor `friction`, 0 for none). Work arrays kept between steps: no
// allocation per step.
class Scheme
{
public:
    Scheme(const Duct &duct, const Gas &gas, double friction);

    // The largest stable step for `cfl` (below 1). After advance() it is known from the step;
    // a state changed in between needs forgetStep().
    double stableStep(const DuctState &s, double cfl);
    void forgetStep() { m_fastest = -1; }

    // One step of `dt`. The two end faces' fluxes (already times their areas) come from the
    // boundaries, computed on the state before the step; the interior ones are computed here.
    // A state with a variable gas carries its burnt gas and each cell's gas along.
    void advance(DuctState &s, double dt, const Flux &left, const Flux &right);
    // Mitre joints along the duct (metres from its start, turn in degrees), each a loss of total
    // pressure K rho u|u| / 2 in the cell that holds it, K scaled by `scale` (0: none): a
    // momentum sink with no energy source, so the loss shows as a rise of entropy.
    void setJoints(const std::vector<std::pair<double, double>> &joints, double scale);
    // The wall's temperature in each cell, kelvin (empty: adiabatic, as without a call): the gas
    // takes heat from it or gives heat to it by the Reynolds analogy with the wall friction,
    // h = (f / 2) rho |u| cp Pr^(-2/3), over the cell's wall.
    void setWall(std::vector<double> kelvin);
    // The wall finds its own temperature from the gas: call settleWall() from time to time (a
    // cycle) to set each cell's wall where what the gas gave it balances what the air takes.
    void setWallComputed(const OutsideAir &air);
    void settleWall();
    const std::vector<double> &wallKelvin() const { return m_wallK; }
    // First order (no reconstruction): for checks of the scheme's order only.
    void setFirstOrder(bool on) { m_firstOrder = on; }

    // Densities and pressures below these are lifted to them: the state stays physical
    // whatever the input.
    static constexpr double MinDensity = 1e-6, MinPressure = 1;

private:
    template <bool Variable>
    void step(DuctState &s, double dt, const Flux &left, const Flux &right);

    const Duct &m_duct;
    Gas m_gas;
    double m_friction;
    bool m_firstOrder = false;
    std::vector<Primitive> m_w, m_left, m_right; // cell values, extrapolated to faces at t+dt/2
    std::vector<double> m_pHalf;                 // cell pressure at t+dt/2
    std::vector<HeldGas> m_held;                 // each cell's gas held for the step (variable)
    std::vector<Flux> m_out, m_in; // per face, times its area: out of the cell before it, into
                                   // the cell after it (the same but at a junction)
    std::vector<double> m_perVolume, m_sigma, m_drag; // per cell: 1/V, dA/A, friction's factor
    double m_fastest = -1;                            // of the state advance() left, or unknown
    // Cells holding joints: the cell, half its area times the joints' A zeta, its diameter.
    struct JointCell
    {
        int cell;
        double halfAreaLoss, diameter;
    };
    std::vector<JointCell> m_joints;
    std::vector<double> m_jointForce;    // per joint cell, this step
    std::vector<double> m_wallK, m_heat; // per cell: the wall's temperature, h's factor
    // A computed wall: the air outside, the time and each cell's sums of h dt and h T dt (per
    // unit volume of gas) since it last settled.
    bool m_wallComputed = false;
    OutsideAir m_air;
    double m_wallTime = 0;
    std::vector<double> m_hTime, m_hGasTime;
};

// The HLLC flux between the states left and right of a face (Toro, ch. 10), of one gas or
// each side of its own.
Flux hllc(const Gas &g, const Primitive &l, const Primitive &r);
Flux hllc(const Gas &gl, const Gas &gr, const Primitive &l, const Primitive &r);

} // namespace velmorant::waves

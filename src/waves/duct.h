#pragma once

#include "gas.h"
#include "wall.h"
#include "pipe.h"

#include <utility>
#include <vector>

namespace velmorant::waves {

// A pipe cut into cells of equal length for the finite-volume scheme, metres. Each face has
// the pipe's area there, seen from the cell before it and from the cell after it: the two
// differ where the diameter steps, and such a face joins its cells as a junction. Cell
// volumes are the true frustum volumes, so a pipe's gas content is exact.
struct Duct
{
    double dx = 0;                 // cell length
    std::vector<double> faceArea;  // cells + 1: the area at the end of the cell before
    std::vector<double> faceAfter; // cells + 1: the area at the start of the cell after
    std::vector<int> steps;        // the faces where the two differ
    std::vector<double> volume;    // per cell
    std::vector<double> diameter;  // per cell, mean
    double length() const { return dx * double(volume.size()); }
    int cells() const { return int(volume.size()); }
    // The cell holding `x` metres from the port.
    int cellAt(double x) const;
};

// `cell` the largest cell length in mm; the count is rounded up so cells are no longer. A step
// that falls inside a cell is moved to the nearest face.
Duct ductOf(const Pipe &pipe, double cellMm);

// The gas in every cell, conserved quantities per unit volume.
struct DuctState
{
    std::vector<double> rho, mom, energy, fresh;

    void resize(int cells);
    Primitive primitive(const Gas &g, int i) const
    {
        const double r = rho[i], perRho = 1 / r, u = mom[i] * perRho;
        return Primitive{r, u, (g.gamma - 1) * (energy[i] - 0.5 * mom[i] * u), fresh[i] * perRho};
    }
    void set(const Gas &g, int i, const Primitive &w);
    // Mass (kg) and total energy (J) in the duct.
    double mass(const Duct &d) const;
    double totalEnergy(const Duct &d) const;
};

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
    const Duct &m_duct;
    Gas m_gas;
    double m_friction;
    bool m_firstOrder = false;
    std::vector<Primitive> m_w, m_left, m_right; // cell values, extrapolated to faces at t+dt/2
    std::vector<double> m_pHalf;                 // cell pressure at t+dt/2
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
    std::vector<double> m_jointForce; // per joint cell, this step
    std::vector<double> m_wallK, m_heat; // per cell: the wall's temperature, h's factor
    // A computed wall: the air outside, the time and each cell's sums of h dt and h T dt (per
    // unit volume of gas) since it last settled.
    bool m_wallComputed = false;
    OutsideAir m_air;
    double m_wallTime = 0;
    std::vector<double> m_hTime, m_hGasTime;
};

// The HLLC flux between the states left and right of a face (Toro, ch. 10).
Flux hllc(const Gas &g, const Primitive &l, const Primitive &r);

} // namespace velmorant::waves

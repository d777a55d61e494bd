#pragma once

#include "gas.h"
#include "pipe.h"

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

// The gas in every cell, conserved quantities per unit volume. With a variable gas each cell
// also holds its own gas, which follows its temperature and burnt share (GasTable): the gamma
// of its energy, p / (gamma - 1) = rho e(T), its speed of sound's and its R. Without, the
// run's one gas holds throughout and the burnt gas is not carried.
struct DuctState
{
    std::vector<double> rho, mom, energy, fresh, burnt;
    std::vector<double> gamma, sound, r; // per cell with a variable gas, else empty

    void resize(int cells, bool variableGas = false);
    bool variable() const { return !gamma.empty(); }
    // The gas of cell i as a perfect gas that holds its energy: its own, or the run's `g`.
    Gas gasAt(const Gas &g, int i) const { return gamma.empty() ? g : Gas{gamma[i], r[i]}; }
    Primitive primitive(const Gas &g, int i) const
    {
        const Gas k = gasAt(g, i);
        const double rh = rho[i], perRho = 1 / rh, u = mom[i] * perRho;
        return Primitive{rh, u, (k.gamma - 1) * (energy[i] - 0.5 * mom[i] * u), fresh[i] * perRho,
                         burnt[i] * perRho};
    }
    // The cell holds `w`; with a variable gas its gas is the one at w's temperature and burnt
    // share.
    void set(const Gas &g, int i, const Primitive &w);
    // Mass (kg), total energy (J) and burnt gas (kg) in the duct.
    double mass(const Duct &d) const;
    double totalEnergy(const Duct &d) const;
    double burntMass(const Duct &d) const;
};

} // namespace velmorant::waves

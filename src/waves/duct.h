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

} // namespace velmorant::waves

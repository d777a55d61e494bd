#pragma once

// A gas path run as pipes and still volumes in turn: the exhaust from the port to the open
// end, the intake from its mouth to the crankcase, a pipe alone between two volumes.
#include "boundary.h"
#include "scheme.h"
#include "gaspath.h"
#include "thermo.h"

#include <memory>
#include <vector>

namespace velmorant::waves {

// One pipe of a run: its cells, its scheme and its gas, made where they stay (the scheme
// holds on to the cells).
struct PipeRun
{
    Duct duct;
    DuctState state;
    std::unique_ptr<Scheme> scheme;

    PipeRun(const Pipe &pipe, const Gas &gas, double cellMm, double friction, const Primitive &fill,
            bool variableGas = false);
    int cells() const { return duct.cells(); }
    Primitive first(const Gas &g) const { return state.primitive(g, 0); }
    Primitive last(const Gas &g) const { return state.primitive(g, cells() - 1); }
    // The gas of the first and last cells (the run's `g` unless the gas is variable).
    Gas firstGas(const Gas &g) const { return state.gasAt(g, 0); }
    Gas lastGas(const Gas &g) const { return state.gasAt(g, cells() - 1); }
    // Its wall at the path's temperatures (none: adiabatic), or one that finds its own,
    // starting at `startK`.
    void setWall(const PathPipe &path, double startK);
};

// The flux through a pipe's end into or out of a volume: the volume's own state (of its gas
// `vg`) as a reservoir, the pipe's area times the discharge coefficient of the way the gas goes
// (`cdIn` into the volume), the face of the pipe cell's gas `g`. `atStart` when the pipe leaves
// the volume (the volume to its left).
Flux volumeFace(const Gas &vg, const Gas &g, const engine::Volume &v, double m3,
                const PathVolume &how, const Primitive &cell, double pipeArea, bool atStart);

class Chain
{
public:
    // How an end of the path meets what is beyond it: a flux the caller gives (a port), the
    // atmosphere, or a closed end.
    enum class End { Given, Open, Closed };

    // With `variableGas` every cell and volume has the gas of its temperature and burnt share,
    // and the burnt gas is carried; without, `gas` holds throughout.
    Chain(const GasPath &path, const Gas &gas, double cellMm, double friction,
          const Primitive &fill, End left, End right, bool variableGas = false);

    int pipeCount() const { return int(m_pipes.size()); }
    PipeRun &pipe(int k) { return *m_pipes[k]; }
    const PipeRun &pipe(int k) const { return *m_pipes[k]; }
    int volumeCount() const { return int(m_volumes.size()); }
    engine::Volume &volume(int k) { return m_volumes[k]; }
    const engine::Volume &volume(int k) const { return m_volumes[k]; }
    double volumeM3(int k) const { return m_volumeM3[k]; }
    // The gas of volume k (the run's unless the gas is variable).
    const Gas &volumeGas(int k) const { return m_volumeGas[std::size_t(k)]; }
    Primitive first(const Gas &g) const { return m_pipes.front()->first(g); }
    Primitive last(const Gas &g) const { return m_pipes.back()->last(g); }
    Gas firstGas() const { return m_pipes.front()->firstGas(m_gas); }
    Gas lastGas() const { return m_pipes.back()->lastGas(m_gas); }
    double startArea() const { return m_pipes.front()->duct.faceArea.front(); }
    double endArea() const { return m_pipes.back()->duct.faceArea.back(); }
    long long cells() const;
    bool computedWall(int k) const { return m_computed[std::size_t(k)]; }

    // The atmosphere at the open ends and around the pipes, and the fresh share of what comes
    // in at the open ends.
    void setAmbient(double pa, double kelvin, double inflowFresh);
    // The walls that find their own temperature, settled over what the gas gave them since the
    // last call.
    void settleWalls();
    double stableStep(double cfl);
    // Every pipe and volume on by `dt`, each face's flux from the states before the step; the
    // given ends take `left` and `right` (times their areas, positive rightwards). Returns the
    // fluxes that went through the two ends.
    std::pair<Flux, Flux> advance(double dt, const Flux &left, const Flux &right);
    // At the end of a cycle: a volume whose temperature has crept the same way over the last
    // three cycles, each step a steady share of the one before, is set at the temperature the
    // creep tends to (its pressure kept). A large volume fed a little each cycle relaxes over
    // many cycles; this reaches the cycle it settles to in a few, and does not move it.
    void hastenVolumes();
    // Mass (kg), energy (J) and burnt gas (kg) in every pipe and volume.
    double mass() const;
    double energy() const;
    double burntMass() const;

private:
    // Volume k's gas brought to its temperature and burnt share.
    void settleVolumeGas(int k);
    // Volume k's heat from its wall at `wallK` over dt, stirred by the gas its pipes bring in.
    void heatVolume(int k, double wallK, double dt);

    Gas m_gas;
    bool m_variable;
    double m_friction;
    std::vector<std::unique_ptr<PipeRun>> m_pipes;
    std::vector<engine::Volume> m_volumes;
    std::vector<double> m_volumeM3;
    std::vector<Gas> m_volumeGas;
    std::vector<double> m_volumeWall; // m², each volume's inside
    std::vector<PathVolume> m_how; // kept as plain data: read every step
    std::vector<bool> m_computed; // per pipe: its wall finds its own temperature
    End m_left, m_right;
    double m_pAmb = 101325, m_tAmb = 293.15, m_inflowFresh = 0;
    std::vector<Flux> m_into, m_outOf; // per volume this step: from the pipe before, to the next
    std::vector<std::vector<double>> m_cycleEnds; // per volume: its temperature at recent ends
};

} // namespace velmorant::waves

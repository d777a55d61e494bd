#pragma once

#include "inputs.h"

namespace velmorant::engine {

// The engine's geometry in SI units, derived once: the crank-slider, the two volumes the piston
// sweeps and the ports' open areas.
struct EngineGeometry
{
    double bore = 0, stroke = 0, rod = 0;            // m
    double pistonArea = 0, swept = 0, clearance = 0; // m², m³
    double eoDrop = 0, toDrop = 0;              // piston travel from TDC to the ports' top edges
    double exhaustWidth = 0, transferWidth = 0; // m
    double intakeArea = 0;                      // m², the one-way intake's bore
    double crankcaseMin = 0;                    // m³, at bottom dead centre
    double exhaustCd = 1, transferCd = 1, intakeCd = 1;
    std::optional<PortAreaTable> table; // ports of any shape, in place of the rectangles
    PortTiming timing;

    // Piston travel from top dead centre at crank angle `degrees`, m.
    double travel(double degrees) const;
    double cylinderVolume(double s) const { return clearance + pistonArea * s; }
    double crankcaseVolume(double s) const { return crankcaseMin + swept - pistonArea * s; }
    // The rectangles' open areas below their top edges at a piston travel `s`, m².
    double exhaustArea(double s) const;
    double transferArea(double s) const;
    // The mean piston speed at `rpm`, m/s.
    double meanPistonSpeed(double rpm) const { return 2 * stroke * rpm / 60; }

    // The effective areas (open area times discharge coefficient) at crank angle `degrees` and
    // piston travel `s`, m²; `intake` only for a piston-controlled intake (a table's column).
    struct Ports
    {
        double exhaust = 0, transfer = 0, intake = 0;
    };
    Ports portsAt(double degrees, double s) const;
    bool pistonIntake() const { return table && table->hasIntake(); }
};
EngineGeometry engineGeometry(const EngineInputs &in);

} // namespace velmorant::engine

#pragma once

// What the ports typed by their geometry open, crank degree by crank degree, on the engine
// they are cut in: the area table the model reads, and each group's time-area.
#include "portfile.h"
#include "portwindow.h"

#include "cycle.h"
#include "geometry.h"

#include <QLocale>

#include <optional>

namespace velmorant::waves {

// The crank-slider of `g` (bore and stroke in metres) with the file's pin offset, mm.
engine::Crank crankOf(const engine::EngineGeometry &g, const PortGeometry &p);

// Why the ports do not fit the engine, naming the port, or nothing: a window wider than the
// bore, the windows and their bridges (at least 2 mm of bore between two) going more than once
// round it, a window that opens below the crown's bottom dead centre, an offset the rod cannot
// take, the exhaust opening after the transfers.
std::optional<QString> portsProblem(const PortGeometry &p, const engine::Crank &c, double boreMm);

// The valve's timing at `rpm` (linear between its rows, the ends held), and the ports with the
// main exhaust window cut to it; the ports as they are without a valve.
double valveTiming(const PortGeometry &p, double rpm);
PortGeometry atSpeed(PortGeometry p, double rpm);
// When the exhaust opens, the earliest of its windows.
double exhaustOpens(const PortGeometry &p);
// How long the exhaust and the transfers are open, crank degrees (their longest windows).
std::pair<double, double> portDurations(const PortGeometry &p, const engine::Crank &c);

// The open areas at `degrees` after top dead centre, mm², before the discharge coefficients:
// the exhaust's windows, the transfers' (each times the cosine of its inclination), the
// piston intake's (0 without one).
engine::PortAreaTable::Areas portAreasAt(const PortGeometry &p, const engine::Crank &c,
                                         double degrees);

// The table the model reads: every crank degree from 0 to 359, with the intake's column when
// the intake is a piston port.
engine::PortAreaTable portTable(const PortGeometry &p, const engine::Crank &c);

// Each group's angle-area, deg mm²: the integral of its open area over the crank degrees it is
// open, from each window's exact opening (Simpson's rule on half degrees); the blowdown is the
// exhaust's from its opening to the transfers'.
struct AngleAreas
{
    double exhaust = 0, blowdown = 0, transfer = 0, intake = 0;
};
AngleAreas angleAreas(const PortGeometry &p, const engine::Crank &c);

// The ports on `engine` (already on its design): its area table becomes theirs at `designRpm`
// and the options take them, so that each speed runs them as they are there; or why they do
// not fit the engine.
std::optional<QString> putPorts(const PortGeometry &p, const QString &source,
                                EngineInputs &engine, WaveOptions &options, double designRpm);

// The specific time-area at `rpm`, s mm²/cm³ (= s m²/m³): the angle-area over 6 rpm degrees per
// second, over the swept volume (cm³).
inline double specificTimeArea(double angleArea, double rpm, double sweptCm3)
{
    return angleArea / (6 * rpm) / sweptCm3;
}

// Each group's angle-area (deg mm²) and specific time-area at `rpm`, the ports as they are
// there, on a swept volume of `sweptCm3`: the exhaust, the blowdown, the transfers and, with a
// piston port or a disc, the intake; `key` the JSON's name of the group.
struct GroupTimeArea
{
    const char *key;
    double angleArea, specific;
};
QList<GroupTimeArea> groupTimeAreas(const PortGeometry &p, const engine::Crank &c,
                                    double sweptCm3, double rpm);

} // namespace velmorant::waves

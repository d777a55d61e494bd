#pragma once

// The ports as a tuner types them, read from a JSON file:
//
//   {"version": 1,
//    "exhaust": {"opens_deg": 94, "width_mm": 38, "top_radius_mm": 5, "bottom_radius_mm": 3,
//                "aux": [{"opens_deg": 96, "width_mm": 12, "top_radius_mm": 3, "count": 2}],
//                "power_valve": [[6000, 100], [8000, 100], [9000, 94]]},
//    "transfers": [{"name": "A", "opens_deg": 117, "width_mm": 18, "top_radius_mm": 2,
//                   "count": 2, "angle_deg": 15}, ...],
//    "intake": {"piston": {"opens_deg": 75, "width_mm": 40, "radius_mm": 4}},
//    (or "intake": {"reed": {"petals": 2, "length_mm": 30, "width_mm": 20, "thickness_mm": 0.35,
//                   "youngs_gpa": 20, "density_kg_m3": 1900, "damping": 0.05, "stop_mm": 8,
//                   "port_area_mm2": 800, "angle_deg": 30}}
//     or "intake": {"disc": {"opens_deg": 140, "closes_deg": 60, "port_span_deg": 50,
//                   "r_inner_mm": 20, "r_outer_mm": 40}}),
//    "pin_offset_mm": 0}
//
// Angles are crank degrees after true top dead centre where the crown uncovers the window's top
// edge (the piston intake's, before it, where the skirt uncovers its bottom edge); widths are
// chords on the bore. A window reaches down to where the crown stands at bottom dead centre
// (the piston intake's up to its opening height) unless "height_mm" says otherwise.
#include "reed.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmorant::waves {

// One window, or `count` equal ones side by side.
struct PortWindow
{
    QString name;        // as the file names it, or its place ("scarico", "travaso 2")
    double opensDeg = 0; // after top dead centre; the piston intake's before it
    double widthMm = 0;  // chord
    double topRadiusMm = 0, bottomRadiusMm = 0;
    std::optional<double> heightMm;
    int count = 1;
    double angleDeg = 0; // the duct's inclination: the area normal to the flow is cos times it
    // Where a power valve has cut the window's top flat: the timing it opens at instead.
    std::optional<double> valveDeg;
};

// A rotary disc valve: its cut-out opens the window `opensDeg` before top dead centre and
// leaves it `closesDeg` after; the window spans `spanDeg` at the disc's centre between the two
// radii. The cut-out is as wide as the opening lasts less the window's span.
struct RotaryDisc
{
    double opensDeg = 0, closesDeg = 0, spanDeg = 0, innerMm = 0, outerMm = 0;
    double cutOutDeg() const { return opensDeg + closesDeg - spanDeg; }
    // The open area at `degrees` after top dead centre, mm².
    double area(double degrees) const;
};

struct PortGeometry
{
    QList<PortWindow> exhaust; // the main port first, then the auxiliaries
    // The power valve over the main exhaust port: rpm and the timing it gives the port there,
    // linear between, the ends held beyond; empty without a valve.
    QList<std::pair<double, double>> powerValve;
    QList<PortWindow> transfers; // the boost port among them
    std::optional<PortWindow> pistonIntake;
    std::optional<engine::ReedBlock> reed; // the crankcase's intake through a reed block
    std::optional<RotaryDisc> disc;        // or through a rotary disc valve
    double pinOffsetMm = 0;
};

struct PortGeometryRead
{
    PortGeometry ports;
    QString error; // Italian, naming the port; empty when read
    bool ok() const { return error.isEmpty(); }
};

// Refused, naming the port: unknown keys, a wrong version, a timing outside 0-180 degrees, a
// width, radius or height that is not a positive finite number, a radius over half the width,
// two radii taller than the window, a count outside 1-8, an angle outside 0-80 degrees, a reed
// of no petals or thickness, or outside the bounds its keys give.
PortGeometryRead readPortGeometry(const QByteArray &json);

// The ports as the file holds them, read back the same.
QByteArray portGeometryJson(const PortGeometry &p);

// A port file as read, with the path it came from.
struct PortsFile
{
    QString source;
    PortGeometry ports;
};

// The largest port file read.
constexpr qint64 MaxPortFileBytes = 256 * 1024;

} // namespace velmorant::waves

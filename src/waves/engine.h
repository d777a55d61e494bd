#pragma once

#include "parameters.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

namespace velmorant::waves {

// What bore and stroke may be, mm.
constexpr double SmallestBoreMm = 10, LargestBoreMm = 200;

// The engine around the pipe. Lengths in mm, pressures in bar (absolute), temperatures in °C;
// bore and stroke come from the displacement (a square engine) when not given.
struct EngineInputs
{
    double displacement = 0;            // cm³, the design's CIL
    double sc = 0, asp = 0;             // exhaust and transfer durations, crank degrees
    std::optional<double> bore, stroke; // mm
    double conRodStrokes = 2;           // con-rod length in strokes
    double compressionRatio = 12;       // geometric, over the whole stroke
    double exhaustWidth = 0.65;         // port widths, fractions of the bore
    double transferWidth = 1.0;         // all transfers together
    double intakeDiameter = 0.5;        // the one-way intake's bore, fraction of the bore
    double exhaustCd = 0.75, transferCd = 0.7, intakeCd = 0.7;
    double eoPressure = 5;          // bar, in the cylinder when the exhaust opens
    double eoTemperature = 1000;    // °C
    double crankcaseRatio = 1.4;    // primary compression
    double ambientPressure = 1.013; // bar
    double ambientTemperature = 20; // °C
    double pipeTemperature = 500;   // °C, the pipe's gas at the start (the design's TEMP1)
};

// `engine` on the design: its displacement, its exhaust and transfer durations, and its gas
// temperature for the pipe at the start.
EngineInputs onDesign(EngineInputs engine, const DesignParameters &p);

// What an engine option accepts: its name as the command line writes it, its range and unit.
struct EngineRange
{
    const char *option;
    double EngineInputs::*member;
    double low, high;
    const char *help;    // the command line's
    const char *caption; // the window's
};
const QList<EngineRange> &engineRanges();

// The first input out of its range, as an Italian sentence naming the option (its numbers under
// `locale`); nothing when all are in range.
std::optional<QString> engineProblem(const EngineInputs &in, const QLocale &locale = QLocale::c());

// The engine's geometry in SI units, derived once.
struct EngineGeometry
{
    double bore = 0, stroke = 0, rod = 0;            // m
    double pistonArea = 0, swept = 0, clearance = 0; // m², m³
    double eoDrop = 0, toDrop = 0;              // piston travel from TDC to the ports' top edges
    double exhaustWidth = 0, transferWidth = 0; // m
    double intakeArea = 0;                      // m²
    double crankcaseMin = 0;                    // m³, at bottom dead centre

    // Piston travel from top dead centre at crank angle `degrees`, m.
    double travel(double degrees) const;
    // The volumes and the ports' open areas (rectangles uncovered below their top edges), m³
    // and m², at a piston travel `s` from top dead centre.
    double cylinderVolume(double s) const { return clearance + pistonArea * s; }
    double crankcaseVolume(double s) const { return crankcaseMin + swept - pistonArea * s; }
    double exhaustArea(double s) const;
    double transferArea(double s) const;
};
EngineGeometry engineGeometry(const EngineInputs &in);

} // namespace velmorant::waves

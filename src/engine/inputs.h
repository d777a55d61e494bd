#pragma once

#include "portareas.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

namespace velmorant::engine {

// What bore and stroke may be, mm.
constexpr double SmallestBoreMm = 10, LargestBoreMm = 200;

// The cylinder's state when the exhaust opens: from the cycle before it (the engine fires), or
// a fixed pressure and temperature of burnt gas at every opening.
enum class Cycle { Fired, Fixed };

// How the charge leaves through the exhaust port while the transfers blow in: the cylinder
// well mixed, perfect displacement, or one of six measured cylinders (their SE-SR curves).
enum class Scavenging { Mixing, Displacement, Uniflow, Scre, Yam1, Yam6, Cd, Qubcr };

// The engine around the pipe. Lengths in mm, pressures in bar (absolute), temperatures in °C,
// angles in crank degrees; bore and stroke come from the displacement (a square engine) when
// not given.
struct EngineInputs
{
    double displacement = 0;            // cm³, the design's CIL
    double sc = 0, asp = 0;             // exhaust and transfer durations
    std::optional<double> bore, stroke; // mm
    double conRodStrokes = 2;           // con-rod length in strokes
    double compressionRatio = 12;       // geometric, over the whole stroke
    double exhaustWidth = 0.65;         // port widths, fractions of the bore
    double transferWidth = 1.0;         // all transfers together
    double intakeDiameter = 0.5;        // the one-way intake's bore, fraction of the bore
    double exhaustCd = 0.75, transferCd = 0.7, intakeCd = 0.7;
    double eoPressure = 5;          // bar, in the cylinder when the exhaust opens (fixed cycle)
    double eoTemperature = 1000;    // °C, the same
    double crankcaseRatio = 1.4;    // primary compression
    double ambientPressure = 1.013; // bar
    double ambientTemperature = 20; // °C
    double pipeTemperature = 500;   // °C, the pipe's gas at the start (the design's TEMP1)

    Cycle cycle = Cycle::Fired;
    std::optional<Scavenging> scavenging; // the fired cycle's default when not given
    double ignition = 18;                 // degrees before top dead centre
    double burnDuration = 60;             // degrees
    double wiebeA = 5, wiebeM = 2;        // the Wiebe function's efficiency and form factors
    double airFuel = 12.5;                // mass of air over mass of fuel
    double lhv = 43;                      // MJ/kg, the fuel's lower heating value
    double combustionEfficiency = 0.9;    // of the fuel that can burn, the share that does
    double heatTransfer = 0.26;           // a of Annand's Nu = a Re^0.7; 0: adiabatic walls
    double wallTemperature = 200;         // °C, of the cylinder's walls
    double frictionA = 0.4, frictionB = 0.005, frictionC = 0.09, frictionD = 0.0009; // Chen-Flynn
    // The crank's turns in a cycle of the engine the friction constants were found on: 2 for a
    // four-stroke's (the default ones), 1 for a two-stroke's own (twoStrokeFriction).
    double frictionRevolutions = 2;
    std::optional<PortAreaTable> portAreas; // replaces the rectangular ports

    // The scavenging in use: the one given, else the Schnürle loop-scavenged cylinder for the
    // fired cycle and perfect mixing for the fixed one (as the fixed cycle always had).
    Scavenging scavengingModel() const;
};

// What a numeric engine input accepts: its name as the command line writes it, its range and
// its words. The four friction coefficients are one option on the command line (--friction
// A:B:C:D): `ownOption` false.
struct EngineRange
{
    const char *option;
    double EngineInputs::*member;
    double low, high;
    const char *help;    // the command line's
    const char *caption; // the window's
    bool ownOption = true;
};
const QList<EngineRange> &engineRanges();

// The scavenging models by the names the command line takes, and the window's words for them.
const QStringList &scavengingNames();
std::optional<Scavenging> scavengingNamed(const QString &name);
QString scavengingName(Scavenging s);
QString scavengingCaption(Scavenging s);
QString cycleName(Cycle c);
std::optional<Cycle> cycleNamed(const QString &name);

// Bore and stroke given together describe a displacement of their own; more than this apart
// from the design's, the engine is another one and is refused.
constexpr double DisplacementTolerance = 0.005;
// Why bore and stroke do not make the design's displacement (the three numbers said under
// `locale`), or nothing: nothing also when either is left to be derived.
std::optional<QString> displacementDisagreement(const EngineInputs &in,
                                                const QLocale &locale = QLocale::c());

// The first input out of its range, or bore and stroke against the displacement, as an Italian
// sentence naming the option (its numbers under `locale`); nothing when all hold.
std::optional<QString> engineProblem(const EngineInputs &in, const QLocale &locale = QLocale::c());

} // namespace velmorant::engine

#pragma once

#include "pipe.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmorant {

// The engine classes of the empirical methods: their mean effective pressure, the gas
// temperature in the pipe and the factors that size the header (K1), the belly (K2) and the
// tail pipe (K0) on the exhaust port's equivalent diameter.
enum class EngineClass { Road, Enduro, Motocross, GrandPrix };
struct ClassFigures
{
    double bmepBar = 0, gasTemperature = 0; // bar, °C
    double k0 = 0, k1 = 0, k2 = 0;
};
ClassFigures classFigures(EngineClass c);
std::optional<EngineClass> engineClassNamed(const QString &name); // strada, enduro, cross, gp
QString engineClassName(EngineClass c);

// The speed of sound in a perfect gas, m/s, at `celsius`.
double soundSpeed(double gamma, double r, double celsius);

// The tuned length of the plugging wave, mm: the wave's trip out and back lasts the exhaust
// duration, LT = a SC / (12 N) metres.
double tunedLength(double soundSpeed, double sc, double rpm);
// The same in the field's inch rule, Vs = 1700 ft/s: LT = SC Vs / N inches, here in mm.
double jenningsTunedLength(double sc, double rpm);

// The exhaust port's equivalent diameter, mm: the circle of the port's area.
double portDiameter(double width, double height);

struct MethodInputs
{
    double rpm = 0, sc = 0;
    EngineClass engineClass = EngineClass::Enduro;
    std::optional<double> portWidth, portHeight; // mm; without them the header is `headerD1`
    double headerD1 = 0;                         // the first sizing's D1, mm
    double divergentHalfAngle = 4, convergentHalfAngle = 10; // Jennings' cones, degrees
    double horn = 1;                                          // diffuser stages' law
};

// The empirical proportions of 2 or 3 diffuser stages: fractions of LT from the port, the
// header, the stages, the belly and the convergent cone, adding up to 1; the tail pipe as long
// as the convergent cone.
QList<double> blairFractions(int stages);
Pipe blairPipe(const MethodInputs &in, int stages);

// The single-cone method: the diffuser, belly and baffle from the header's diameter and the
// cones' half-angles; the tuned length reaches half way to the baffle cone's apex.
Pipe jenningsPipe(const MethodInputs &in);

} // namespace velmorant

#include "methods.h"

#include <cmath>

namespace velmorant {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double MmPerInch = 25.4;
constexpr double JenningsSoundSpeed = 1700; // ft/s

double cot(double degrees)
{
    return 1 / std::tan(degrees * Pi / 180);
}

double headerDiameter(const MethodInputs &in, double k1)
{
    if (in.portWidth && in.portHeight)
        return k1 * portDiameter(*in.portWidth, *in.portHeight);
    return in.headerD1;
}

} // namespace

ClassFigures classFigures(EngineClass c)
{
    // Enduro and grand prix factors as published; the road engine takes the enduro's factors
    // and the motocross one sits between the two (only its K0 is published).
    switch (c) {
    case EngineClass::Road:
        return {5, 350, 0.70, 1.125, 2.25};
    case EngineClass::Enduro:
        return {8, 500, 0.70, 1.125, 2.25};
    case EngineClass::Motocross:
        return {9.5, 600, 0.65, 1.0875, 2.75};
    case EngineClass::GrandPrix:
        return {11, 650, 0.60, 1.05, 3.25};
    }
    return {};
}

std::optional<EngineClass> engineClassNamed(const QString &name)
{
    for (EngineClass c : {EngineClass::Road, EngineClass::Enduro, EngineClass::Motocross,
                          EngineClass::GrandPrix}) {
        if (name.compare(engineClassName(c), Qt::CaseInsensitive) == 0)
            return c;
    }
    return std::nullopt;
}

QString engineClassName(EngineClass c)
{
    switch (c) {
    case EngineClass::Road:
        return QStringLiteral("strada");
    case EngineClass::Enduro:
        return QStringLiteral("enduro");
    case EngineClass::Motocross:
        return QStringLiteral("cross");
    case EngineClass::GrandPrix:
        return QStringLiteral("gp");
    }
    return {};
}

double soundSpeed(double gamma, double r, double celsius)
{
    return std::sqrt(gamma * r * (celsius + 273.15));
}

double tunedLength(double a, double sc, double rpm)
{
    return a * sc / (12 * rpm) * 1000;
}

double jenningsTunedLength(double sc, double rpm)
{
    return sc * JenningsSoundSpeed / rpm * MmPerInch;
}

double portDiameter(double width, double height)
{
    return std::sqrt(4 * width * height / Pi);
}

QList<double> blairFractions(int stages)
{
    if (stages == 3)
        return {0.10, 0.275, 0.183, 0.092, 0.11, 0.24};
    return {0.10, 0.41, 0.14, 0.11, 0.24};
}

Pipe blairPipe(const MethodInputs &in, int stages)
{
    const ClassFigures f = classFigures(in.engineClass);
    const double lt = tunedLength(soundSpeed(1.4, 287, f.gasTemperature), in.sc, in.rpm);
    const double d1 = headerDiameter(in, f.k1);
    const double exd = d1 / f.k1;
    const double belly = f.k2 * exd, tail = f.k0 * exd;
    const QList<double> share = blairFractions(stages);
    Pipe p;
    p.method = stages == 3 ? QStringLiteral("blair3") : QStringLiteral("blair2");
    const int n = int(share.size());
    // One diverging section over all the stages, then cut on the horn law at the stages' ends.
    double diffuser = 0;
    QList<double> stageShare;
    for (int k = 1; k < n - 2; ++k)
        diffuser += share[k];
    for (int k = 1; k < n - 2; ++k)
        stageShare << share[k] / diffuser;
    const double convergent = share[n - 1] * lt;
    p.sections = {{share[0] * lt, d1, d1},
                  {diffuser * lt, d1, belly},
                  {share[n - 2] * lt, belly, belly},
                  {convergent, belly, tail},
                  {convergent, tail, tail}};
    p = withStages(p, int(stageShare.size()), in.horn, stageShare);
    p.method = stages == 3 ? QStringLiteral("blair3") : QStringLiteral("blair2");
    p.referencePoints = {{QLatin1String(TunedPoint), lt}};
    return p;
}

Pipe jenningsPipe(const MethodInputs &in)
{
    const double lt = jenningsTunedLength(in.sc, in.rpm);
    const double d1 = headerDiameter(in, 1);
    const double d2 = 2.5 * d1, d3 = 0.62 * d1;
    const double header = 10 * d1;
    const double diffuser = (d2 - d1) / 2 * cot(in.divergentHalfAngle);
    const double baffle = (d2 - d3) / 2 * cot(in.convergentHalfAngle);
    const double apex = d2 / 2 * cot(in.convergentHalfAngle); // the baffle cone to its tip
    const double toBaffle = lt - apex / 2;
    Pipe p;
    p.method = QStringLiteral("jennings");
    p.sections = {{header, d1, d1},
                  {diffuser, d1, d2},
                  {toBaffle - (header + diffuser), d2, d2},
                  {baffle, d2, d3},
                  {12 * d3, d3, d3}};
    p.referencePoints = {{QLatin1String(TunedPoint), lt}};
    return p;
}

} // namespace velmorant

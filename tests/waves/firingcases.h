#pragma once

// The firing engine's tests share these: the default design's engine and pipe, and how a
// result is read.
#include "cycle.h"

#include <QString>

#include <cmath>

namespace velmorant::waves::firing {

constexpr double Pi = 3.14159265358979323846;

inline EngineInputs defaultEngine()
{
    return onDesign(EngineInputs(), defaultParameters());
}

inline Pipe defaultPipe()
{
    return firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
}

inline Pipe scaled(Pipe pipe, double factor)
{
    for (PipeSection &s : pipe.sections)
        s.length *= factor;
    return pipe;
}

// The default engine with its bore and stroke said (the displacement's square engine).
inline EngineInputs boredEngine()
{
    EngineInputs e = defaultEngine();
    const double stroke = std::cbrt(4 * e.displacement * 1e-6 / Pi) * 1000;
    e.bore = stroke;
    e.stroke = stroke;
    return e;
}

inline double relative(double a, double b)
{
    return std::abs(a / b - 1);
}

inline QString figures(const SpeedResult &r)
{
    return QStringLiteral("%1 rpm: DR %2 TE %3 SE %9 CE %4 IMEP %5 bar P %6 kW (%7 cycles%8)")
        .arg(r.rpm)
        .arg(r.deliveryRatio)
        .arg(r.trappingEfficiency)
        .arg(r.chargingEfficiency)
        .arg(r.brake.imep)
        .arg(r.brake.powerKw)
        .arg(r.cycles)
        .arg(r.periodic ? "" : ", not periodic")
        .arg(r.scavengingEfficiency);
}

// The speed of the highest power in a sweep, by a parabola through the best and its neighbours.
inline double peakSpeed(const QList<SpeedResult> &rs)
{
    int best = 0;
    for (int k = 1; k < rs.size(); ++k)
        if (rs[k].brake.powerKw > rs[best].brake.powerKw)
            best = k;
    if (best == 0 || best == rs.size() - 1)
        return rs[best].rpm;
    const double y0 = rs[best - 1].brake.powerKw, y1 = rs[best].brake.powerKw,
                 y2 = rs[best + 1].brake.powerKw;
    const double step = rs[best].rpm - rs[best - 1].rpm;
    return rs[best].rpm + 0.5 * step * (y0 - y2) / (y0 - 2 * y1 + y2);
}

} // namespace velmorant::waves::firing

#include "band.h"

#include <cmath>

namespace velmorant {

namespace {

// A wave's trip to `length` mm and back, in crank degrees at `rpm`: one degree lasts
// 1/(6 rpm) s.
double tripDegrees(double length, double soundSpeed, double rpm)
{
    return 2 * (length / M_TO_MM) / soundSpeed * 6 * rpm;
}

} // namespace

double suctionSoundSpeed(double temp1)
{
    return std::pow((temp1 + KELVIN_OFFSET) * GAMMA_R, 0.5);
}

double pluggingSoundSpeed(double temp1)
{
    return std::pow(((temp1 - TEMP_DROP) + KELVIN_OFFSET) * GAMMA_R, 0.5);
}

std::optional<WaveLengths> waveLengths(const Pipe &pipe)
{
    WaveLengths l;
    const ReferencePoint *suction = pipe.point(QLatin1String(SuctionPoint));
    const ReferencePoint *plugging = pipe.point(QLatin1String(PluggingPoint));
    int diverging = -1, converging = -1;
    for (int i = 0; i < pipe.sections.size(); ++i) {
        const PipeSection::Kind k = pipe.sections[i].kind();
        if (diverging < 0 && k == PipeSection::Kind::Diverging)
            diverging = i;
        if (diverging >= 0 && converging < 0 && k == PipeSection::Kind::Converging)
            converging = i;
    }
    if (suction)
        l.suction = suction->x;
    else if (diverging >= 0)
        l.suction = pipe.start(diverging);
    else
        return std::nullopt;
    if (plugging)
        l.plugging = plugging->x;
    else if (converging >= 0)
        l.plugging = pipe.start(converging);
    else
        return std::nullopt;
    if (!(l.suction > 0 && l.plugging > l.suction))
        return std::nullopt;
    return l;
}

ReturnAngles returnAngles(const WaveLengths &l, double sc, double temp1, double rpm)
{
    const double eo = portTiming(sc, 0).eo;
    return {eo + tripDegrees(l.suction, suctionSoundSpeed(temp1), rpm),
            eo + tripDegrees(l.plugging, pluggingSoundSpeed(temp1), rpm)};
}

Band bandOf(const WaveLengths &l, double sc, double asp, double temp1, double width)
{
    // The plugging wave is back at EO + (SC + ASP)/2 = TC at the tuned speed; its return angle
    // grows in proportion to the speed.
    Band b;
    b.widthDegrees = width;
    b.tunedRpm = pluggingSoundSpeed(temp1) * (sc + asp) / (24 * (l.plugging / M_TO_MM));
    b.lowRpm = b.tunedRpm * (1 - 2 * width / (sc + asp));
    b.highRpm = b.tunedRpm * (1 + 2 * width / (sc + asp));
    return b;
}

QList<SensitivityRow> sensitivity(const WaveLengths &l, double sc, double asp, double temp1,
                                  double width)
{
    QList<SensitivityRow> rows;
    auto add = [&](const QString &change, const WaveLengths &lengths, double temp) {
        SensitivityRow row{change, bandOf(lengths, sc, asp, temp, width)};
        row.defined = std::isfinite(row.band.tunedRpm) && row.band.tunedRpm > 0 &&
                      std::isfinite(row.band.lowRpm) && std::isfinite(row.band.highRpm);
        rows << row;
    };
    add(QStringLiteral("progetto"), l, temp1);
    for (double dt : {-100.0, -50.0, 50.0, 100.0})
        add(QStringLiteral("TEMP1 %1%2 \u00b0C").arg(dt > 0 ? "+" : "").arg(dt), l, temp1 + dt);
    for (double dl : {-10.0, 10.0}) {
        WaveLengths moved = l;
        moved.plugging += dl;
        add(QStringLiteral("tappo %1%2 mm").arg(dl > 0 ? "+" : "").arg(dl), moved, temp1);
    }
    return rows;
}

} // namespace velmorant

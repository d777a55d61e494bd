#pragma once

#include "parameters.h"
#include "pipe.h"
#include "timing.h"

#include <QList>

#include <optional>

namespace velmorant {


// The speeds of sound the first sizing gives its two waves, m/s: the suction wave at TEMP1,
// the plugging wave at TEMP1 - 280 (the gas cools along the pipe).
double suctionSoundSpeed(double temp1);
double pluggingSoundSpeed(double temp1);

// A pipe read as the first sizing reads its own: the suction wave runs to where the first
// diverging section starts and back, the plugging wave to where the first converging section
// after it starts and back (or to the pipe's named points, when it has them).
struct WaveLengths
{
    double suction = 0, plugging = 0; // mm from the port
};
std::optional<WaveLengths> waveLengths(const Pipe &pipe);

// The crank angle at which each wave is back at the port at `rpm`.
struct ReturnAngles
{
    double suction = 0, plugging = 0;
};
ReturnAngles returnAngles(const WaveLengths &l, double sc, double temp1, double rpm);

// The band's half-width the suite takes, degrees.
constexpr double SmallestBandWidth = 0.5, LargestBandWidth = 90;

// Where the plugging wave comes back within +-width degrees of the transfers' closing:
// the tuned speed (exactly at it) and the band's ends, rpm.
struct Band
{
    double tunedRpm = 0, lowRpm = 0, highRpm = 0, widthDegrees = 10;
};
Band bandOf(const WaveLengths &l, double sc, double asp, double temp1, double width);

// The band of the design's own pipe, and of the same pipe with a hotter or cooler gas or a
// longer or shorter plugging length: the rows of the sensitivity table.
struct SensitivityRow
{
    QString change; // what moved, as the table names it
    Band band;
    // False when the change leaves no band to speak of: the plugging wave's gas (TEMP1 - 280)
    // below absolute zero. The band's numbers are then not to be shown.
    bool defined = true;
};
QList<SensitivityRow> sensitivity(const WaveLengths &l, double sc, double asp, double temp1,
                                  double width);

} // namespace velmorant

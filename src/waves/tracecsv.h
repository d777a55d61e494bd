#pragma once

#include "cycle.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmorant::waves {

// The traces of every speed as CSV, periods for decimals: a header, then a row per speed,
// half degree and station (mm from the port): pressure in bar, temperature in °C, velocity in
// m/s, and the cylinder's pressure in bar at that angle.
QByteArray tracesCsv(const QList<SpeedResult> &speeds);

// A pressure trace measured on an engine: CSV rows of crank angle (degrees after top dead
// centre) and absolute pressure (bar), read as readCsvTable reads (a header line allowed,
// semicolons and decimal commas too), at most MaxMeasuredRows rows; angles taken modulo 360.
// A comment "# rpm 9500" (or "# giri/min: 9500") says the speed it was measured at.
constexpr int MaxMeasuredRows = 100000;
struct MeasuredTrace
{
    QList<std::pair<double, double>> points; // degrees, bar; in the file's order
    std::optional<double> rpm;               // when the file says it
    QString error;                           // Italian, naming the line
    bool ok() const { return error.isEmpty(); }
};
MeasuredTrace readMeasuredTrace(const QByteArray &bytes);

} // namespace velmorant::waves

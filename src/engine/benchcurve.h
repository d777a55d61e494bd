#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace velmorant::engine {

constexpr int MaxBenchRows = 2000;
constexpr double LargestBenchCv = 2000;

// A power curve measured on a dynamometer, as laid over the computed one: the file it came from
// and its points (rpm, CV) by rising speed.
struct BenchCurve
{
    QString source;
    std::vector<std::pair<double, double>> points;
};

// The curve from CSV: a header naming the speed and the power's unit ("rpm,cv" or "rpm,kw"; a
// file in kW is turned into CV), then a row per speed (read as every CSV of the suite is read);
// speeds from 1 to 100000 rpm, none twice, powers from 0 to LargestBenchCv CV. The error names
// the line.
struct BenchRead
{
    BenchCurve curve;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
BenchRead readBenchCurve(const QByteArray &bytes);

} // namespace velmorant::engine

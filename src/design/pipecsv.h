#pragma once

#include "pipe.h"

#include <QByteArray>
#include <QString>

namespace velmorant {

constexpr int MaxPipeRows = 10000;
// What a pipe of the suite may be: diameters and the whole length, mm.
constexpr double SmallestPipeDiameter = 1, LargestPipeDiameter = 2000;
constexpr double LongestPipe = 100000;

// A pipe measured on the bench, as CSV (commas and the period, or an Italian spreadsheet's
// semicolons and decimal comma; see readCsvTable). Either stations from the port (header
// x_mm,d_mm; x never decreasing, two stations at one x make a step), or a row per section
// from the port (header lunghezza_mm,d_in_mm,d_out_mm).
struct PipeRead
{
    Pipe pipe;
    QString error; // Italian, "riga N: ..."; empty when read
    bool ok() const { return error.isEmpty(); }
};
PipeRead readPipeCsv(const QByteArray &bytes);

// Stations, as the reader reads them back.
QByteArray pipeCsv(const Pipe &pipe);

} // namespace velmorant

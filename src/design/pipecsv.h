#pragma once

#include "pipe.h"

#include <QByteArray>
#include <QString>

namespace velmorant {

constexpr int MaxPipeRows = 10000;

// A pipe measured on the bench, as CSV with a period for decimals. Either stations from the
// port (header x_mm,d_mm; x never decreasing, two stations at one x make a step), or a row per
// section from the port (header lunghezza_mm,d_in_mm,d_out_mm). Empty lines and lines
// starting with # are skipped.
struct PipeRead
{
    Pipe pipe;
    QString error; // Italian, naming the line; empty when read
    bool ok() const { return error.isEmpty(); }
};
PipeRead readPipeCsv(const QByteArray &bytes);

// Stations, as the reader reads them back.
QByteArray pipeCsv(const Pipe &pipe);

} // namespace velmorant

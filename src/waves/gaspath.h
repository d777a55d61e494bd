#pragma once

#include "pipe.h"
#include "pipecsv.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace velmorant::waves {

// A pipe of a gas path and its wall: degrees C at points along it (mm from its start; one point
// for the whole pipe, several for a profile, linear between them and flat beyond), none for an
// adiabatic wall, or `computedWall`: the wall finds its own temperature, heated by the gas and
// cooled by the air around it.
struct PathPipe
{
    Pipe pipe;
    QList<std::pair<double, double>> wallC;
    bool computedWall = false;
};

// A still volume on the way: a box, a silencer's chamber, an airbox. Its walls are adiabatic
// or at `wallC` degrees C; each pipe it joins passes gas through its own area times the
// discharge coefficient of the flow's way: `cdIn` for gas going into the volume, `cdOut` for gas
// leaving it, whichever pipe.
struct PathVolume
{
    double litres = 0;
    double cdIn = 1, cdOut = 1;
    int element = 0; // its place in the path's file, from 1, for its traces' names
    std::optional<double> wallC;
};

// The gas path from the engine to the atmosphere: pipes and volumes in turn, a pipe first and
// last (the last one's end open to the air). The exhaust's starts at the port, the intake's at
// the crankcase.
struct GasPath
{
    QList<PathPipe> pipes;     // one more than the volumes
    QList<PathVolume> volumes; // volumes[i] lies between pipes[i] and pipes[i + 1]

    // The path the other way round, each pipe turned end for end: from the open end in.
    GasPath reversed() const;
};

// A path as it was read, with the file it came from.
struct PathFile
{
    QString source;
    GasPath path;
};

// The path as its file holds it (version 1), every pipe as its stations, so that what is
// written reads back the same without the pipes' own files.
QByteArray gasPathJson(const GasPath &path);

// The most elements a path file may hold, its size, and the volumes it may take (litres).
constexpr int MaxPathElements = 40;
constexpr qint64 MaxPathFileBytes = 1 << 20;
constexpr double LargestVolumeLitres = 1000;
constexpr double HottestWallC = 1200;

struct GasPathRead
{
    GasPath path;
    QString error; // Italian, naming the element; empty when read
    bool ok() const { return error.isEmpty(); }
};

// A path from its JSON: {"version": 1, "elements": [{"pipe": [[x_mm, d_mm], ...] or "file.csv",
// "wall_c": 400 | [[x_mm, c], ...] | "calcolata" | null}, {"volume_l": 10, "wall_c": 300 | null,
// "cd_in": 1, "cd_out": 1}, ...]}, in order from the engine to the open end. Two pipes in a row are one
// pipe. Refused, naming the element: unknown keys, a wrong version, a volume that is not a
// positive number of litres, two volumes with no pipe between them, a path that does not start
// and end with a pipe, a pipe of fewer than two stations, temperatures outside 0-1200 C. A pipe
// given as a file name is read by `loadPipe`.
GasPathRead readGasPath(const QByteArray &json,
                        const std::function<PipeRead(const QString &name)> &loadPipe);

// The wall temperature at `xMm` along a pipe, kelvin (the profile's ends held beyond them).
double wallKelvinAt(const QList<std::pair<double, double>> &wallC, double xMm);

} // namespace velmorant::waves

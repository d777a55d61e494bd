#pragma once

#include "cycle.h"
#include "pipeoptions.h"
#include "portoptions.h"
#include "systemoptions.h"

#include <QJsonObject>

namespace velmorant {

// What the command line asks of the gas-dynamic model: --waves and its speeds, probes, cell
// and engine, and where the traces go.
struct WaveRequest
{
    bool enabled = false;                 // --waves
    std::optional<double> from, to, step; // --rpm-range; the design speed alone without it
    QList<double> probes;                 // --probe MM, repeatable
    double cell = waves::DefaultCellMm;
    waves::EngineInputs engine; // the options given; displacement and timing from the design
    QString tracesFile;         // --traces FILE.csv
    QString curvesFile;         // --curves FILE.csv
    QString portAreasFile;      // --port-areas FILE.csv
    QString intakePipeFile;     // --intake-pipe FILE.csv
    std::optional<Pipe> intakePipe; // read from intakePipeFile (or a project)
    SystemRequest systems;          // the exhaust's and intake's systems, the transfer duct
    PortRequest ports;              // the ports by their geometry
};

QList<PipeOptionSpec> waveOptionSpecs();
std::optional<QString> readWaveOptions(const QCommandLineParser &parser, const QLocale &locale,
                                       WaveRequest &into);
// Reads the files the options name (the ports' areas, the intake pipe) into the request; the
// reason, naming the file, when one cannot be read.
std::optional<QString> readWaveFiles(WaveRequest &r);

// The speeds asked for, and the engine with the design's displacement, timing and gas
// temperature; or why the request does not fit this pipe (a probe past its end, too many cells).
struct WaveSetup
{
    QList<double> rpms;
    waves::EngineInputs engine;
    waves::WaveOptions options;
    PortsOnEngine ports; // typed by their geometry: their report
    QString refusal;
};
WaveSetup waveSetup(const WaveRequest &r, const DesignParameters &p, const Pipe &pipe,
                    const QLocale &locale);

QString wavesTable(const WaveSetup &setup, const QList<waves::SpeedResult> &results,
                   const QLocale &locale);
QJsonObject wavesJson(const WaveSetup &setup, const QList<waves::SpeedResult> &results);
// A row per speed with every figure of the JSON's speeds, periods for decimals.
QByteArray curvesCsv(const QList<waves::SpeedResult> &results);

} // namespace velmorant

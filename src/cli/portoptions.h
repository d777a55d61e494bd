#pragma once

#include "pipeoptions.h"

#include "cycle.h"
#include "parameters.h"
#include "portfile.h"

#include <QJsonObject>
#include <QLocale>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace velmorant {

// The ports typed by their geometry: the file, where their area table goes, and what was read.
struct PortRequest
{
    QString file;    // --ports FILE.json
    QString outFile; // --port-areas-out FILE.csv
    std::optional<waves::PortGeometry> geometry;
    // The ports came with a project: the design keeps its own durations, as in the window.
    bool fromProject = false;
};

QList<PipeOptionSpec> portOptionSpecs();
// With the ports read, the design's exhaust and transfer durations are theirs at the design
// speed: set in `p` and said in `said`; or why the ports do not fit the engine.
std::optional<QString> portDurations(const PortRequest &r, const waves::EngineInputs &engine,
                                     DesignParameters &p, QString &said, const QLocale &locale);
std::optional<QString> readPortOptions(const QCommandLineParser &parser, PortRequest &into);
// Reads the file the options name; the reason, naming it, when it cannot be read.
std::optional<QString> readPortFile(PortRequest &r);

// The ports on the engine (its bore, stroke and rod): its area table set from them (at `rpm`,
// the design speed, with a power valve; each speed then cuts its own), and their timing and
// time-areas at `rpm` for the report; or why they do not fit the engine.
struct PortsOnEngine
{
    QJsonObject json;
    QString table; // the same, as lines for the text report
    QString refusal;
};
// The ports' specific time-areas at `rpm` on `engine` (a power valve cut to its timing there):
// exhaust, blowdown, transfer and, with a piston port or a disc, intake.
QJsonObject portsStaAt(const waves::PortGeometry &ports, const waves::EngineInputs &engine,
                       double rpm);

PortsOnEngine applyPorts(const PortRequest &r, waves::EngineInputs &engine,
                         waves::WaveOptions &options, double rpm, const QLocale &locale);

} // namespace velmorant

#pragma once

#include "benchcurve.h"
#include "cycle.h"
#include "engine.h"
#include "workshopinput.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmorant {

// A pressure trace measured on an engine, as laid over the computed one: the file it came
// from, its points (crank angle, bar) and the speed it was measured at.
struct TraceOverlay
{
    QString source;
    QList<std::pair<double, double>> points;
    double rpm = 0;
};

// The engine's gas paths beyond the pipe: the exhaust's system after the pipe (its first pipe
// stands for the project's pipe and gives it its wall), the intake's system from the crankcase
// (in place of an intake pipe), and a duct to the transfer port.
struct EnginePaths
{
    std::optional<waves::PathFile> exhaust, intake;
    std::optional<waves::WaveOptions::TransferDuct> transferDuct;
    bool variableGas = true; // the gas follows its temperature and burnt share
    std::optional<waves::PortsFile> ports; // the ports by their geometry, for the wave model
};

// The Onde tab's boxes: the speeds, the probe and the pipe to compare (nothing, a method's key,
// or MeasuredMethod with the pipe read); the engine's intake pipe when it has one, and its
// gas paths.
struct WaveTexts
{
    QString from, to, step, probe;
    QString compare;
    std::optional<MeasuredPipe> comparePipe;
    std::optional<MeasuredPipe> intakePipe;
    EnginePaths paths;
};

// Everything the workshop window's inputs hold: the document a builder saves. Numbers are kept
// as their boxes show them, in the locale the project was read for.
struct Project
{
    WorkshopTexts workshop;
    QString paper = QStringLiteral("A4");
    waves::EngineInputs engine; // the Motore dialog's; the design gives the rest
    WaveTexts waves;
    std::optional<TraceOverlay> trace;
    std::optional<engine::BenchCurve> bench; // a measured power curve laid over the computed
};

// The format this version writes, and reads back together with every older one. 2 adds the
// engine's cycle, scavenging and port-area table, the intake pipe and the bench curve; 3 the
// pipe in space (route, seams, obstacles) and the engine's gas paths (systems, transfer duct).
constexpr int ProjectFormat = 3;
constexpr qint64 MaxProjectBytes = 32 << 20;
inline const char *ProjectSuffix = "vlo";

// The project as JSON: a box that reads as a number under `locale` is written as that number,
// any other text as it is (so that what was typed comes back, even if it was not valid).
QByteArray projectJson(const Project &p, const QLocale &locale);

struct ProjectRead
{
    Project project;
    QString error; // Italian; empty when read
    int format = 0;
    bool ok() const { return error.isEmpty(); }
};
// Reads a project, its numbers given back as the boxes show them under `locale`. A project of a
// newer format is refused, saying so; an older one is read, what it lacks at its defaults.
ProjectRead readProject(const QByteArray &bytes, const QLocale &locale);
// The same from a file, through the suite's regular-file reader; the error names the file.
ProjectRead readProjectFile(const QString &path, const QLocale &locale);

// Whether the bytes are a project rather than a design file (JSON starts with a brace).
bool looksLikeProject(const QByteArray &bytes);
// Whether the file is to be opened as a project: by its content when it can be read, otherwise
// by its suffix (so that a project that cannot be read is refused as a project).
bool isProjectFile(const QString &path);

// The Onde tab's speeds for a design speed: 70 % to 130 % of it in steps of 5 %, to the hundred.
WaveTexts defaultWaveTexts(double rpm, const QLocale &locale);

// A new project: the design's defaults, the options `o` (the builder's remembered ones) and the
// defaults of everything else.
Project newProject(const WorkshopOptions &o, const QLocale &locale);

} // namespace velmorant

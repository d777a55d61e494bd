#pragma once

#include "parameters.h"
#include "part.h"
#include "optimizeoptions.h"
#include "pipeoptions.h"
#include "projectinputs.h"
#include "routeoptions.h"
#include "waveoptions.h"

#include <QPageSize>

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace velmorant {

struct SweepSpec
{
    std::size_t field = 0;
    double from = 0, to = 0, step = 0;
};

struct CliOptions
{
    QString designFile;
    std::array<std::optional<QString>, FieldCount> fieldTexts; // --cil T, ...
    QString locale = QStringLiteral("C");
    bool json = false;
    std::optional<double> sketchWidth;
    QString writeFile, svgFile, patternsFile, cutListFile;
    WorkshopOptions workshop; // --sheet, --seam, --sheet-size, --gap, --max-sweep, ...
    QPageSize::PageSizeId paper = QPageSize::A4;
    enum class Split { None, BySheet, ByPart } split = Split::None;
    std::optional<SweepSpec> sweep;
    std::optional<double> tunedLength;
    PipeRequest pipe;  // --band, --method, --stages, --pipe, ...
    WaveRequest waves; // --waves, --rpm-range, --probe, --cell, the engine, --traces
    OptimizeRequest optimize; // --optimize, its objective, limits and budget, --write-pipe
    RouteRequest route;       // --route, --seam-side, --max-joint-deg
    bool help = false, version = false;

    // Only a PDF needs fonts, and so a GUI application.
    bool needsFonts() const;
};

// Reads the command line (without the program name); needs no application object, so that the
// right kind can be made afterwards. On a usage error returns its message.
std::optional<QString> parseArguments(const QStringList &args, CliOptions &options);

// An output that would overwrite an input (--traces onto the --pipe file), or two outputs of
// one run on one file: the message that refuses the run, before anything is read or written.
// A project's own inputs (its measured pipe, bench curve, ...) count as inputs too.
std::optional<QString> clashingFiles(const CliOptions &options,
                                     const QList<ProjectInput> &projectInputs = {});

QString helpText();

} // namespace velmorant

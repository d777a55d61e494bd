#pragma once

#include "pipeoptions.h"

#include "cycle.h"

#include <QJsonArray>
#include <QLocale>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace velmorant {

// What the command line asks of the engine's gas paths beyond the pipe: the exhaust and the
// intake as systems of pipes and volumes, a duct to the transfer port, and the gas in them.
struct SystemRequest
{
    QString exhaustFile, intakeFile; // --exhaust-system, --intake-system FILE.json
    std::optional<waves::WaveOptions::TransferDuct> transferDuct; // --transfer-duct L:D1:D2
    std::optional<waves::GasPath> exhaust, intake;                // read from the files
    bool variableGas = true;                                      // --gas
    bool gasGiven = false;                                        // --gas said
    // The exhaust system came with a project: as in the window, the pipe run (the project's)
    // stands for its first pipe, which gives it its wall; from --exhaust-system, the first pipe
    // is the pipe run.
    bool exhaustFromProject = false;
};

QList<PipeOptionSpec> systemOptionSpecs();
std::optional<QString> readSystemOptions(const QCommandLineParser &parser, const QLocale &locale,
                                         SystemRequest &into);
// Reads the systems' files (a pipe named in one is read beside it); the reason, naming the
// option and the file, when one cannot be read.
std::optional<QString> readSystemFiles(SystemRequest &r);
// The paths and the duct into the model's options.
void applySystems(const SystemRequest &r, waves::WaveOptions &into);

// Each volume's mean, least and greatest pressure (bar) and mean temperature (C) over the cycle.
QJsonArray volumesJson(const waves::SpeedResult &r);
// Each computed wall's temperature (C) along its pipe (mm) where the run ended.
QJsonArray wallsJson(const waves::SpeedResult &r);

} // namespace velmorant

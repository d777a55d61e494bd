#pragma once

#include "pipeoptions.h"
#include "pipesearch.h"

#include <QJsonObject>

namespace velmorant {

// What the command line asks of the pipe search: --optimize FROM:TO and its objective, limits
// and budget, and where the best pipe goes as CSV.
struct OptimizeRequest
{
    bool enabled = false; // --optimize
    double from = 0, to = 0;
    tuning::Objective objective = tuning::Objective::Mean;
    tuning::Limits limits;
    int evaluations = 150;
    QString writePipeFile; // --write-pipe FILE.csv
};

QList<PipeOptionSpec> optimizeOptionSpecs();
std::optional<QString> readOptimizeOptions(const QCommandLineParser &parser,
                                           const QLocale &locale, OptimizeRequest &into);

// The search from `start` on the engine and options of a wave run; on a terminal, how far it is
// on stderr.
tuning::PipeSearchResult runOptimize(const OptimizeRequest &r, const Pipe &start,
                                     const waves::EngineInputs &engine,
                                     const waves::WaveOptions &options, QString *refusal,
                                     const QLocale &locale);

QString optimizeTable(const OptimizeRequest &r, const tuning::PipeSearchResult &result,
                      const QLocale &locale);
QJsonObject optimizeJson(const OptimizeRequest &r, const tuning::PipeSearchResult &result);

} // namespace velmorant

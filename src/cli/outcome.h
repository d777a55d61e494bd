#pragma once

// What one run of the command line worked out, stage by stage, and its printout.
#include "chamber.h"
#include "cliargs.h"
#include "pipesearch.h"
#include "plan.h"
#include "report.h"
#include "waveoptions.h"

#include <array>
#include <optional>

namespace velmorant {

// Each stage adds its part; what a stage was not asked for stays empty.
struct Outcome
{
    DesignParameters p = defaultParameters();
    ChamberEvaluation evaluation;
    std::array<QString, SketchCaptionCount> captions;
    std::optional<TunedLength> tuned;
    std::optional<SketchReport> sketch;
    std::optional<Pipe> pipe;
    std::optional<tuning::PipeSearchResult> optimized;
    std::optional<WaveSetup> waveRun;
    QList<waves::SpeedResult> waveResults;
    std::optional<WorkshopPlan> plan;
};

// The results on stdout: JSON, or the tables.
void report(const CliOptions &o, const Outcome &r);

} // namespace velmorant

#pragma once

#include "cycle.h"

#include "background.h"

#include <optional>

namespace velmorant {

// What the Onde tab asks for: the pipe (and one to lay over it), the engine and the speeds.
struct WaveJob
{
    Pipe pipe;
    std::optional<Pipe> compare;
    waves::EngineInputs engine;
    waves::WaveOptions options;
    QList<double> rpms;
};

struct WaveOutcome
{
    QList<waves::SpeedResult> speeds, compared; // compared: empty without a second pipe
    bool cancelled = false;
};

// The speeds of the job, and of the second pipe, on every core; `control` stops them and
// counts their cycles (its total set by the caller: speeds times maxCycles, times two pipes).
WaveOutcome runWaveJob(const WaveJob &job, WorkControl &control);

} // namespace velmorant

#include "cycle.h"

#include "speedrun.h"

namespace velmorant::waves {

SpeedResult simulateSpeed(const Pipe &pipe, const EngineInputs &in, const WaveOptions &o,
                          double rpm, const std::atomic<bool> *stop, std::atomic<int> *cyclesDone,
                          const WarmStart *start)
{
    SpeedRun run(pipe, in, o, rpm, start);
    for (int cycle = 1; cycle <= o.maxCycles; ++cycle) {
        CycleTally tally;
        if (!run.cycle(tally, stop))
            return std::move(run.result);
        const bool settled = run.settle(cycle, tally);
        if (cyclesDone)
            cyclesDone->fetch_add(1, std::memory_order_relaxed);
        if (run.result.failed)
            return std::move(run.result);
        if (settled)
            break;
    }
    run.finish();
    return std::move(run.result);
}

} // namespace velmorant::waves

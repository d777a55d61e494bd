#include "cycle.h"

#include "portstudy.h"
#include "speedrun.h"

namespace velmorant::waves {

SpeedResult simulateSpeed(const Pipe &pipe, const EngineInputs &in, const WaveOptions &o,
                          double rpm, const std::atomic<bool> *stop, std::atomic<int> *cyclesDone,
                          const WarmStart *start)
{
    EngineInputs engine = in;
    double opens = -1;
    if (o.ports) {
        const PortGeometry ports = atSpeed(*o.ports, rpm);
        engine::PortAreaTable table =
            portTable(ports, crankOf(engine::engineGeometry(in), *o.ports));
        table.source = in.portAreas ? in.portAreas->source : QString();
        engine.portAreas = table;
        opens = exhaustOpens(ports);
    }
    SpeedRun run(pipe, engine, o, rpm, start);
    if (opens >= 0)
        run.result.exhaustOpens = opens;
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

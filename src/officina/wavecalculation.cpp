#include "wavecalculation.h"

namespace velmorant {

WaveOutcome runWaveJob(const WaveJob &job, WorkControl &control)
{
    WaveOutcome o;
    o.speeds = waves::simulateSpeeds(job.pipe, job.engine, job.options, job.rpms, 0, &control.stop,
                                     &control.done);
    // The pipe compared is straight: the joints are the bent pipe's own.
    waves::WaveOptions straight = job.options;
    straight.mitreJoints.clear();
    if (job.compare && !control.stop)
        o.compared = waves::simulateSpeeds(*job.compare, job.engine, straight, job.rpms, 0,
                                           &control.stop, &control.done);
    o.cancelled = control.stop.load();
    return o;
}

} // namespace velmorant

#include "wavecalculation.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace velmorant {

WaveCalculation::WaveCalculation(QObject *parent) : QObject(parent)
{
    m_poll.setInterval(100);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        // Counted against the most cycles the speeds may take: it moves steadily and ends at
        // 100 when the last speed ends, however early the speeds settle.
        if (m_shared)
            emit progressed(std::min(99, 100 * m_shared->cycles.load() / m_shared->expected));
    });
}

WaveCalculation::~WaveCalculation()
{
    if (m_watcher) {
        m_shared->stop = true;
        m_watcher->waitForFinished();
    }
}

void WaveCalculation::abandon()
{
    if (!m_watcher)
        return;
    m_shared->stop = true;
    QFutureWatcher<WaveOutcome> *old = m_watcher;
    disconnect(old, nullptr, this, nullptr);
    connect(old, &QFutureWatcher<WaveOutcome>::finished, old, &QObject::deleteLater);
    m_watcher = nullptr;
    m_shared.reset();
    m_poll.stop();
}

void WaveCalculation::start(const WaveJob &job)
{
    abandon();
    auto shared = std::make_shared<Shared>();
    shared->expected =
        std::max(1, int(job.rpms.size()) * job.options.maxCycles * (job.compare ? 2 : 1));
    m_shared = shared;
    m_watcher = new QFutureWatcher<WaveOutcome>(this);
    QFutureWatcher<WaveOutcome> *watcher = m_watcher;
    connect(watcher, &QFutureWatcher<WaveOutcome>::finished, this, [this, watcher] {
        const WaveOutcome outcome = watcher->result();
        watcher->deleteLater();
        m_watcher = nullptr;
        m_shared.reset();
        m_poll.stop();
        emit finished(outcome);
    });
    // The speeds run on their own threads, not the pool's: this worker only waits for them.
    watcher->setFuture(QtConcurrent::run([job, shared] {
        WaveOutcome o;
        o.speeds = waves::simulateSpeeds(job.pipe, job.engine, job.options, job.rpms, 0,
                                         &shared->stop, &shared->cycles);
        if (job.compare && !shared->stop)
            o.compared = waves::simulateSpeeds(*job.compare, job.engine, job.options, job.rpms, 0,
                                               &shared->stop, &shared->cycles);
        o.cancelled = shared->stop.load();
        return o;
    }));
    m_poll.start();
}

void WaveCalculation::cancel()
{
    if (m_shared)
        m_shared->stop = true;
}

} // namespace velmorant

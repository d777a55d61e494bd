#include "calculation.h"

#include <QtConcurrent/QtConcurrentRun>

namespace velmorant {

Calculation::Calculation(QObject *parent) : QObject(parent)
{
    m_poll.setInterval(100);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (m_shared)
            emit progressed(m_shared->permille.load() / 10);
    });
}

Calculation::~Calculation()
{
    if (m_watcher) {
        m_shared->stop = true;
        m_watcher->waitForFinished();
    }
}

void Calculation::abandon()
{
    if (!m_watcher)
        return;
    m_shared->stop = true;
    // The worker ends at its next step; its watcher goes with it, unheard.
    QFutureWatcher<WorkshopRun> *old = m_watcher;
    disconnect(old, nullptr, this, nullptr);
    connect(old, &QFutureWatcher<WorkshopRun>::finished, old, &QObject::deleteLater);
    m_watcher = nullptr;
    m_shared.reset();
    m_poll.stop();
}

void Calculation::start(const WorkshopTexts &texts, const QLocale &locale)
{
    abandon();
    auto shared = std::make_shared<Shared>();
    m_shared = shared;
    m_watcher = new QFutureWatcher<WorkshopRun>(this);
    QFutureWatcher<WorkshopRun> *watcher = m_watcher;
    connect(watcher, &QFutureWatcher<WorkshopRun>::finished, this, [this, watcher] {
        const WorkshopRun run = watcher->result();
        watcher->deleteLater();
        m_watcher = nullptr;
        m_shared.reset();
        m_poll.stop();
        emit finished(run);
    });
    watcher->setFuture(QtConcurrent::run([texts, locale, shared] {
        return runWorkshop(texts, locale, [&shared](int done, int total) {
            shared->permille = total > 0 ? int(1000LL * done / total) : 0;
            return !shared->stop.load();
        });
    }));
    m_poll.start();
}

void Calculation::cancel()
{
    if (m_shared)
        m_shared->stop = true;
}

} // namespace velmorant

#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>

namespace velmorant {

// What long work and the window share: the window asks it to stop; it says how far it is, as
// `done` of `total` (total set before it starts).
struct WorkControl
{
    std::atomic<bool> stop{false};
    std::atomic<int> done{0};
    std::atomic<int> total{1};
};

// One piece of long work at a time in a worker thread, so that the window stays answerable. A
// new start abandons the run in progress, whose result is never delivered; cancel() asks it to
// stop (it still delivers what it has); the destructor stops it and waits. About every tenth of
// a second `progressed` hears how far, 0 to 99 until the result arrives.
template <class Result> class Background
{
public:
    Background(QObject *owner, std::function<void(int percent)> progressed,
               std::function<void(const Result &)> finished)
        : m_owner(owner), m_finished(std::move(finished)), m_poll(new QTimer(owner))
    {
        m_poll->setInterval(100);
        QObject::connect(m_poll, &QTimer::timeout, owner, [this, progressed] {
            if (m_control)
                progressed(std::min(99, int(100LL * m_control->done.load() /
                                            std::max(1, m_control->total.load()))));
        });
    }
    ~Background()
    {
        if (m_watcher) {
            m_control->stop = true;
            m_watcher->waitForFinished();
            delete m_watcher;
        }
    }
    Background(const Background &) = delete;
    Background &operator=(const Background &) = delete;

    void start(std::function<Result(WorkControl &)> work, int total = 1)
    {
        abandon();
        auto control = std::make_shared<WorkControl>();
        control->total = total;
        m_control = control;
        m_watcher = new QFutureWatcher<Result>(m_owner);
        QFutureWatcher<Result> *watcher = m_watcher;
        QObject::connect(watcher, &QFutureWatcher<Result>::finished, m_owner, [this, watcher] {
            const Result result = watcher->result();
            watcher->deleteLater();
            m_watcher = nullptr;
            m_control.reset();
            m_poll->stop();
            m_finished(result);
        });
        watcher->setFuture(QtConcurrent::run([work, control] { return work(*control); }));
        m_poll->start();
    }
    void cancel()
    {
        if (m_control)
            m_control->stop = true;
    }
    bool busy() const { return m_watcher != nullptr; }

private:
    void abandon()
    {
        if (!m_watcher)
            return;
        m_control->stop = true;
        // The worker ends at its next step; its watcher goes with it, unheard.
        QFutureWatcher<Result> *old = m_watcher;
        QObject::disconnect(old, nullptr, m_owner, nullptr);
        QObject::connect(old, &QFutureWatcher<Result>::finished, old, &QObject::deleteLater);
        m_watcher = nullptr;
        m_control.reset();
        m_poll->stop();
    }

    QObject *m_owner;
    std::function<void(const Result &)> m_finished;
    QTimer *m_poll;
    QFutureWatcher<Result> *m_watcher = nullptr;
    std::shared_ptr<WorkControl> m_control;
};

} // namespace velmorant

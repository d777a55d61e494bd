#pragma once

#include "workshopinput.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

namespace velmorant {

// One calculation of the workshop window at a time, in a worker thread: the window stays
// answerable while the parts are nested. A new start abandons the run in progress, whose
// result is dropped; cancel() stops it.
class Calculation : public QObject
{
    Q_OBJECT

public:
    explicit Calculation(QObject *parent = nullptr);
    ~Calculation() override; // stops and waits for the run in progress

    void start(const WorkshopTexts &texts, const QLocale &locale);
    void cancel();
    bool busy() const { return m_watcher != nullptr; }

signals:
    // About every tenth of a second while it runs: how far, from 0 to 100.
    void progressed(int percent);
    // The run's outcome (cancelled ones included); never for an abandoned run.
    void finished(const velmorant::WorkshopRun &run);

private:
    struct Shared
    {
        std::atomic<bool> stop{false};
        std::atomic<int> permille{0};
    };
    void abandon();

    QFutureWatcher<WorkshopRun> *m_watcher = nullptr;
    std::shared_ptr<Shared> m_shared;
    QTimer m_poll;
};

} // namespace velmorant

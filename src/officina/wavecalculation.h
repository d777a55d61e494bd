#pragma once

#include "cycle.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>
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

// The wave model in a worker thread, its speeds on every core: the window stays answerable.
// A new start abandons the run in progress; cancel() stops it.
class WaveCalculation : public QObject
{
    Q_OBJECT

public:
    explicit WaveCalculation(QObject *parent = nullptr);
    ~WaveCalculation() override; // stops and waits for the run in progress

    void start(const WaveJob &job);
    void cancel();
    bool busy() const { return m_watcher != nullptr; }

signals:
    void progressed(int percent);
    void finished(const velmorant::WaveOutcome &outcome);

private:
    struct Shared
    {
        std::atomic<bool> stop{false};
        std::atomic<int> cycles{0};
        int expected = 1; // cycles at most
    };
    void abandon();

    QFutureWatcher<WaveOutcome> *m_watcher = nullptr;
    std::shared_ptr<Shared> m_shared;
    QTimer m_poll;
};

} // namespace velmorant

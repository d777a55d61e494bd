#pragma once

#include "background.h"
#include "pipesearch.h"
#include "plot/plotview.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <QLocale>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace velmorant {

class MethodsView;
class Platform;
namespace plot {
class View;
}

// The pipe search for the Onde tab: the band and what to make largest in it, the builder's
// limits and the budget; the search runs in a worker with progress and Annulla (which keeps
// the best pipe found so far); then the start's and the best pipe's power over the band, both
// pipes to scale one above the other, and "Usa questo tubo".
class OptimizeDialog : public QDialog
{
    Q_OBJECT

public:
    OptimizeDialog(Platform &platform, const QLocale &locale, QWidget *parent = nullptr);
    // What the power plot's export may not overwrite.
    void setOutputCheck(const plot::View::OutputCheck &check);

    // What the next search starts from: the pipe being cut on its engine, the design's speed
    // (the band's default centre).
    void setStart(const Pipe &start, const waves::EngineInputs &engine,
                  const waves::WaveOptions &options, double designRpm);
    bool busy() const { return m_search.busy(); }
    const std::optional<tuning::PipeSearchResult> &result() const { return m_result; }

public slots:
    void search();
    void cancel();

signals:
    // "Usa questo tubo": the best pipe, with the name it is cut under.
    void pipeChosen(const Pipe &pipe, const QString &name);

private:
    void finished(const tuning::PipeSearchResult &r);
    void showResult();
    void refuse(QLineEdit *box, const QString &text);
    void closeEvent(QCloseEvent *e) override;
    void reject() override;

    Platform &m_platform;
    QLocale m_locale;
    Background<tuning::PipeSearchResult> m_search;
    QLineEdit *m_from = nullptr, *m_to = nullptr, *m_minAngle = nullptr, *m_maxAngle = nullptr,
              *m_length = nullptr, *m_belly = nullptr, *m_minTail = nullptr, *m_maxTail = nullptr,
              *m_evaluations = nullptr, *m_maxLengthMm = nullptr, *m_maxDiameterMm = nullptr;
    QComboBox *m_objective = nullptr;
    QPushButton *m_run = nullptr, *m_cancel = nullptr, *m_use = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    plot::View *m_power = nullptr;
    MethodsView *m_pipes = nullptr;

    Pipe m_start;
    waves::EngineInputs m_engine;
    waves::WaveOptions m_options;
    double m_designRpm = 0;
    tuning::PipeSearchInputs m_running;
    std::optional<tuning::PipeSearchResult> m_result;
    // The search's best so far (kW) and its count, written by the worker, shown as it runs.
    std::shared_ptr<std::atomic<double>> m_bestSoFar = std::make_shared<std::atomic<double>>(0);
    std::shared_ptr<std::atomic<int>> m_tried = std::make_shared<std::atomic<int>>(0);
    void showRunning();
};

} // namespace velmorant

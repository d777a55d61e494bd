#pragma once

#include "pipechoice.h"
#include "wavecalculation.h"
#include "wavesview.h"

#include <QLocale>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace velmorant {

class Platform;

// The Onde tab: the pipe being cut on the running engine over a range of speeds, computed in a
// worker with progress and Annulla; another pipe to compare (a method, or a measured pipe) and
// a measured pressure trace to lay over the computed one.
class WavesTab : public QWidget
{
    Q_OBJECT

public:
    WavesTab(Platform &platform, const QLocale &locale, QWidget *parent = nullptr);

    // The design whose pipe the next run computes; a new design's speed resets the range.
    void setDesign(const DesignParameters &p, const ChamberDimensions &d, const Pipe &pipe,
                   const PipeChoice &choice, double bandWidth);
    bool busy() const { return m_calculation.busy(); }
    WavesView *view() const { return m_view; }

    const waves::EngineInputs &engine() const { return m_engine; }

public slots:
    void calculate();
    void loadMeasuredTrace();
    // The engine's dialog, window-modal; its OK changes the engine of the next run.
    void editEngine();

private:
    void finished(const WaveOutcome &outcome);
    void compareChanged();
    void showSpeed();
    void message(const QString &text);

    Platform &m_platform;
    QLocale m_locale;
    Background<WaveOutcome> m_calculation;
    WavesView *m_view = nullptr;
    QLineEdit *m_from = nullptr, *m_to = nullptr, *m_step = nullptr, *m_probe = nullptr;
    QComboBox *m_compare = nullptr, *m_shown = nullptr;
    QPushButton *m_run = nullptr, *m_cancel = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;

    std::optional<DesignParameters> m_parameters;
    ChamberDimensions m_dimensions;
    Pipe m_pipe;
    PipeChoice m_choice;
    double m_bandWidth = 10;
    std::optional<Pipe> m_measuredCompare; // the pipe file chosen to compare
    QString m_measuredName;
    WavePlot m_plot, m_pending; // shown, and being computed
    waves::EngineInputs m_engine; // without the design's displacement and timing
};

} // namespace velmorant

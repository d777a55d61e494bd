#pragma once

#include "pipechoice.h"
#include "project.h"
#include "wavecalculation.h"
#include "wavesview.h"

#include <QLocale>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace velmorant {

// The compare box's key for the pipe shown, straight: the bent pipe's power beside it.
inline const char *StraightCompare = "diritto";

class Platform;

// The Onde tab: the pipe being cut on the running engine over a range of speeds, computed in a
// worker with progress and Annulla; another pipe to compare (a method, or a measured pipe), a
// measured pressure trace to lay over the computed one and a power curve from the dyno to lay
// over the computed power. It knows whether the waves it shows are older than its own boxes,
// and refuses to run on a pipe older than the window's boxes.
class WavesTab : public QWidget
{
    Q_OBJECT

public:
    WavesTab(Platform &platform, const QLocale &locale, QWidget *parent = nullptr);

    // The design whose pipe the next run computes; a new design's speed resets the range.
    void setDesign(const DesignParameters &p, const ChamberDimensions &d, const Pipe &pipe,
                   const PipeChoice &choice, double bandWidth);
    // The bent pipe's mitre joints, each a loss in the next run; none for a straight pipe.
    void setJoints(const QList<waves::MitreJoint> &joints);
    // The window's boxes changed after the pipe was made (or went back to it).
    void setPipeStale(bool stale);
    bool busy() const { return m_calculation.busy(); }
    WavesView *view() const { return m_view; }
    // Whether the waves shown are older than the boxes that made them.
    bool stale() const;

    const waves::EngineInputs &engine() const { return m_engine; }
    void setEngine(const waves::EngineInputs &engine);
    // What the plots' exports may not overwrite: the files the project reads.
    void setOutputCheck(const plot::View::OutputCheck &check);
    WaveTexts texts() const;
    void setTexts(const WaveTexts &t);
    const std::optional<TraceOverlay> &trace() const { return m_trace; }
    void setTrace(const std::optional<TraceOverlay> &trace);
    const std::optional<engine::BenchCurve> &bench() const { return m_bench; }
    void setBench(const std::optional<engine::BenchCurve> &bench);
    // Forgets the waves shown and the pipe (a new project).
    void clear();

public slots:
    void calculate();
    void cancel();
    void loadMeasuredTrace();
    void removeMeasuredTrace();
    void loadBenchCurve();
    void removeBenchCurve();
    // The engine's dialog, window-modal; its OK changes the engine of the next run.
    void editEngine();
    // The pipe search's dialog, on the pipe being cut and this tab's engine.
    void optimize();

signals:
    // Any box of the tab, the engine or the trace changed.
    void inputsChanged();
    // The waves shown became current or out of date.
    void stateChanged();
    // The search's best pipe, to be cut under `name`.
    void pipeChosen(const Pipe &pipe, const QString &name);

private:
    plot::View::OutputCheck m_outputCheck;
    void finished(const WaveOutcome &outcome);
    void compareChanged();
    void showSpeed();
    void showPlotChoices();
    void message(const QString &text);
    void updateState();
    void showTemperatures();
    QString runKey() const;
    // The model's options for the engine's intake pipe and gas paths.
    waves::WaveOptions pathOptions() const;
    // The ports typed by their geometry on `engine` and in `options`; why they do not fit it.
    std::optional<QString> typedPorts(waves::EngineInputs &engine,
                                      waves::WaveOptions &options) const;

    Platform &m_platform;
    QLocale m_locale;
    Background<WaveOutcome> m_calculation;
    WavesView *m_view = nullptr;
    class OptimizeDialog *m_optimize = nullptr;
    QLineEdit *m_from = nullptr, *m_to = nullptr, *m_step = nullptr, *m_probe = nullptr;
    QComboBox *m_compare = nullptr, *m_shown = nullptr, *m_lower = nullptr;
    QCheckBox *m_cylinder = nullptr;
    QPushButton *m_run = nullptr, *m_cancel = nullptr, *m_dropTrace = nullptr,
                *m_dropBench = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr, *m_temperatures = nullptr, *m_stale = nullptr;

    std::optional<DesignParameters> m_parameters;
    ChamberDimensions m_dimensions;
    Pipe m_pipe;
    PipeChoice m_choice;
    double m_bandWidth = 10;
    int m_pipeStamp = 0;      // counts the pipes set
    QList<waves::MitreJoint> m_joints;
    bool m_pipeStale = false; // the window's boxes moved on since the pipe
    std::optional<MeasuredPipe> m_measuredCompare; // the pipe file chosen to compare
    std::optional<TraceOverlay> m_trace;
    std::optional<engine::BenchCurve> m_bench;
    std::optional<MeasuredPipe> m_intakePipe; // the engine's, from the Motore dialog
    EnginePaths m_paths;                       // the same dialog's gas paths
    WavePlot m_plot, m_pending;  // shown, and being computed
    QString m_plotKey, m_pendingKey; // the inputs each was made from
    waves::EngineInputs m_engine; // without the design's displacement and timing
};

} // namespace velmorant

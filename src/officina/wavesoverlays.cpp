// The Onde tab: the measured curves laid over the computed ones (the trace, the bench).
#include "wavestab.h"

#include "enginedialog.h"
#include "flowlayout.h"
#include "formbox.h"
#include "geometry.h"
#include "optimizedialog.h"
#include "number.h"
#include "pipecsv.h"
#include "pipefile.h"
#include "platform.h"
#include "safefile.h"
#include "tracecsv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace velmorant {

namespace {

constexpr qint64 MaxTraceFileBytes = 8 << 20;
constexpr qint64 MaxBenchFileBytes = 1 << 20;

} // namespace

void WavesTab::setTrace(const std::optional<TraceOverlay> &trace)
{
    m_trace = trace;
    m_plot.measured = trace;
    if (!m_plot.speeds.isEmpty())
        m_view->setPlot(m_plot);
    updateState();
}

void WavesTab::setBench(const std::optional<engine::BenchCurve> &bench)
{
    m_bench = bench;
    m_plot.bench = bench;
    if (!m_plot.speeds.isEmpty())
        m_view->setPlot(m_plot);
    updateState();
}


void WavesTab::loadMeasuredTrace()
{
    const QString path = m_platform.openFileName(
        this, tr("Traccia misurata"),
        tr("Traccia misurata CSV (angolo, bar) (*.csv)|*.csv|Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    const waves::MeasuredTrace trace =
        readFileWith(path, MaxTraceFileBytes, waves::readMeasuredTrace);
    if (!trace.ok()) {
        message(trace.error);
        return;
    }
    // Measured at the speed its file names, else at the speed shown when it was laid over.
    TraceOverlay o{path, trace.points, 0};
    if (trace.rpm)
        o.rpm = *trace.rpm;
    else if (!m_plot.speeds.isEmpty())
        o.rpm = m_plot.speeds.value(m_plot.shown).rpm;
    else if (m_parameters)
        o.rpm = (*m_parameters)[Field::Rpm];
    setTrace(o);
    m_status->setText(tr("Traccia misurata: %1 punti da %2 a %3 giri/min, sulla %4.")
                          .arg(trace.points.size())
                          .arg(QFileInfo(path).fileName(), m_locale.toString(qRound(o.rpm)),
                               m_probe->text().trimmed().isEmpty() ? tr("luce") : tr("sonda")));
    emit inputsChanged();
}

void WavesTab::removeMeasuredTrace()
{
    if (!m_trace)
        return;
    setTrace(std::nullopt);
    m_status->setText(tr("Traccia misurata tolta."));
    emit inputsChanged();
}

void WavesTab::loadBenchCurve()
{
    const QString path = m_platform.openFileName(
        this, tr("Curva al banco"),
        tr("Curva al banco CSV (rpm,cv o rpm,kw) (*.csv)|*.csv|Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    engine::BenchRead read = readFileWith(path, MaxBenchFileBytes, engine::readBenchCurve);
    if (!read.ok()) {
        message(read.error);
        return;
    }
    read.curve.source = path;
    setBench(read.curve);
    m_lower->setCurrentIndex(0); // where it is drawn
    m_status->setText(tr("Curva al banco: %1 punti da %2 a %3 giri/min.")
                          .arg(read.curve.points.size())
                          .arg(m_locale.toString(qRound(read.curve.points.front().first)),
                               m_locale.toString(qRound(read.curve.points.back().first))));
    emit inputsChanged();
}

void WavesTab::removeBenchCurve()
{
    if (!m_bench)
        return;
    setBench(std::nullopt);
    m_status->setText(tr("Curva al banco tolta."));
    emit inputsChanged();
}


} // namespace velmorant

// The Onde tab: running the model over the speeds and showing what it gave.
#include "wavestab.h"

#include "enginedialog.h"
#include "flowlayout.h"
#include "formbox.h"
#include "geometry.h"
#include "optimizedialog.h"
#include "number.h"
#include "pipecsv.h"
#include "pipefile.h"
#include "portstudy.h"
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

QString WavesTab::runKey() const
{
    QStringList key{QString::number(m_pipeStamp), m_from->text(), m_to->text(), m_step->text(),
                    m_probe->text(), m_compare->currentData().toString(),
                    m_measuredCompare ? m_measuredCompare->source : QString()};
    for (const waves::EngineRange &r : waves::engineRanges())
        key << QString::number(m_engine.*r.member, 'g', 17);
    key << (m_engine.bore ? QString::number(*m_engine.bore, 'g', 17) : QString())
        << (m_engine.stroke ? QString::number(*m_engine.stroke, 'g', 17) : QString())
        << engine::cycleName(m_engine.cycle)
        << (m_engine.scavenging ? engine::scavengingName(*m_engine.scavenging) : QString())
        << (m_engine.portAreas ? QString::fromUtf8(engine::portAreasCsv(*m_engine.portAreas))
                               : QString())
        << (m_intakePipe ? QString::fromUtf8(pipeCsv(m_intakePipe->pipe)) : QString());
    for (const auto &file : {m_paths.exhaust, m_paths.intake})
        key << (file ? QString::fromUtf8(waves::gasPathJson(file->path)) : QString());
    if (const auto &d = m_paths.transferDuct)
        key << QStringLiteral("%1:%2:%3").arg(d->lengthMm).arg(d->d1Mm).arg(d->d2Mm);
    key << (m_paths.variableGas ? QStringLiteral("variabile") : QStringLiteral("costante"));
    key << (m_paths.ports ? QString::fromUtf8(waves::portGeometryJson(m_paths.ports->ports))
                          : QString());
    for (const waves::MitreJoint &j : m_joints)
        key << QStringLiteral("%1@%2").arg(j.angleDeg, 0, 'g', 17).arg(j.atMm, 0, 'g', 17);
    return key.join(QLatin1Char('|'));
}

std::optional<QString> WavesTab::typedPorts(waves::EngineInputs &engine,
                                           waves::WaveOptions &options) const
{
    if (!m_paths.ports)
        return std::nullopt;
    if (const std::optional<QString> problem =
            waves::putPorts(m_paths.ports->ports, m_paths.ports->source, engine, options,
                            (*m_parameters)[Field::Rpm]))
        return tr("Le luci per geometria non stanno sul motore: %1").arg(*problem);
    return std::nullopt;
}

waves::WaveOptions WavesTab::pathOptions() const
{
    waves::WaveOptions o;
    if (m_intakePipe)
        o.intakePipe = m_intakePipe->pipe;
    if (m_paths.exhaust)
        o.exhaustPath = m_paths.exhaust->path;
    if (m_paths.intake)
        o.intakePath = m_paths.intake->path;
    o.transferDuct = m_paths.transferDuct;
    o.variableGas = m_paths.variableGas;
    return o;
}

bool WavesTab::stale() const
{
    return !m_plot.speeds.isEmpty() && (m_pipeStale || runKey() != m_plotKey);
}


void WavesTab::setJoints(const QList<waves::MitreJoint> &joints)
{
    m_joints = joints;
}

void WavesTab::cancel()
{
    m_calculation.cancel();
}

void WavesTab::calculate()
{
    if (!m_parameters) {
        m_platform.showMessage(this, window()->windowTitle(),
                               tr("Premere prima Calcola: non c'\u00e8 ancora un tubo."),
                               MessageIcon::Information);
        return;
    }
    if (m_pipeStale) {
        // The pipe would not be the one the boxes describe.
        m_platform.showMessage(this, window()->windowTitle(),
                               tr("Le caselle del progetto sono cambiate dopo l'ultimo Calcola: "
                                  "premere Calcola (F5) per preparare il tubo che descrivono, poi "
                                  "Calcola onde."),
                               MessageIcon::Information);
        return;
    }
    // Speeds read as the RPM box reads them.
    auto speed = [&](QLineEdit *e) { return parseLocaleNumber(e->text(), m_locale); };
    const std::optional<double> from = speed(m_from), to = speed(m_to), step = speed(m_step);
    WaveJob job;
    const waves::SpeedRange range =
        from && to && step ? waves::speedRange(*from, *to, *step, m_locale) : waves::SpeedRange();
    if (range.rpms.isEmpty()) {
        message(range.refusal.isEmpty()
                    ? tr("Regimi non validi: DA, A e PASSO sono numeri in giri/min.")
                    : tr("Regimi non validi: %1.").arg(range.refusal));
        m_from->setFocus();
        return;
    }
    job.rpms = range.rpms;
    if (!m_probe->text().trimmed().isEmpty()) {
        const std::optional<double> x = parseSettingNumber(m_probe->text(), m_locale);
        if (!x) {
            message(tr("La sonda va in mm dalla luce, un numero (vuota: nessuna sonda)."));
            m_probe->setFocus();
            return;
        }
        job.options.probes = {*x};
    }
    const DesignParameters &p = *m_parameters;
    job.pipe = m_pipe;
    job.engine = waves::onDesign(m_engine, p);
    const QList<double> kept = job.options.probes;
    job.options = pathOptions();
    job.options.probes = kept;
    job.options.mitreJoints = m_joints;
    if (const std::optional<QString> problem = typedPorts(job.engine, job.options)) {
        message(*problem);
        return;
    }
    const QString other = m_compare->currentData().toString();
    // The plot being made; what is shown stays until it arrives.
    m_pending = WavePlot();
    if (other == QLatin1String(StraightCompare)) {
        job.compare = m_pipe; // the same pipe without its bends' losses
        m_pending.comparedName = m_compare->currentText();
    } else if (other == QLatin1String(MeasuredMethod) && m_measuredCompare) {
        job.compare = m_measuredCompare->pipe;
        m_pending.comparedName = QFileInfo(m_measuredCompare->source).fileName();
    } else if (!other.isEmpty() && other != QLatin1String(MeasuredMethod)) {
        PipeChoice c = m_choice;
        c.measured.reset();
        c.method = other;
        c.stages = 1;
        const PipeBuilt built = buildPipe(c, p, m_dimensions);
        if (!built.refusal.isEmpty()) {
            message(tr("Impossibile costruire il tubo da confrontare: %1.").arg(built.refusal));
            return;
        }
        job.compare = built.pipe;
        m_pending.comparedName = m_compare->currentText();
    }
    if (const std::optional<QString> problem = waves::waveProblem(
            m_pipe, job.engine, job.options, job.rpms, m_locale, job.compare ? 2 : 1)) {
        message(*problem);
        for (double x : job.options.probes) {
            if (!(x >= 0 && x <= m_pipe.length()))
                m_probe->setFocus();
        }
        return;
    }
    // The second pipe is held to the model's bounds as the first (a measured one can be anything).
    if (job.compare) {
        if (const std::optional<QString> problem = waves::waveProblem(
                *job.compare, job.engine, job.options, job.rpms, m_locale, 2)) {
            message(tr("Il tubo da confrontare: %1").arg(*problem));
            return;
        }
    }
    m_pending.timing = engine::engineGeometry(job.engine).timing;
    m_pending.ambientBar = job.engine.ambientPressure;
    m_pending.designRpm = p[Field::Rpm];
    if (const std::optional<WaveLengths> l = waveLengths(m_pipe))
        m_pending.band = bandOf(*l, p[Field::Sc], p[Field::Asp], p[Field::Temp1], m_bandWidth);
    m_pendingKey = runKey();
    m_calculation.start([job](WorkControl &control) { return runWaveJob(job, control); },
                        int(job.rpms.size()) * job.options.maxCycles * (job.compare ? 2 : 1));
    m_progress->setValue(0);
    m_progress->show();
    m_cancel->show();
    m_status->setText(tr("Simulazione di %1 regimi in corso...").arg(job.rpms.size()));
    if (m_plot.speeds.isEmpty())
        m_view->setNote(tr("Simulazione in corso..."));
    emit stateChanged(); // running: the window's Ferma il calcolo
}

void WavesTab::finished(const WaveOutcome &outcome)
{
    m_progress->hide();
    m_cancel->hide();
    emit stateChanged();
    if (outcome.cancelled) {
        if (m_plot.speeds.isEmpty()) {
            m_status->setText(tr("Simulazione annullata."));
            m_view->setNote(tr("Simulazione annullata: premere Calcola onde per ripeterla"));
        } else {
            m_status->setText(tr("Simulazione annullata: restano le onde della precedente."));
            m_view->setPlot(m_plot);
        }
        return;
    }
    for (const waves::SpeedResult &r : outcome.speeds + outcome.compared) {
        if (r.failed) {
            m_status->setText(tr("Il modello delle onde non ha dato numeri finiti a %1 giri/min.")
                                  .arg(m_locale.toString(qRound(r.rpm))));
            if (m_plot.speeds.isEmpty())
                m_view->setNote(m_status->text());
            return;
        }
    }
    m_plot = m_pending;
    m_plot.measured = m_trace; // loaded while it ran
    m_plot.bench = m_bench;
    m_plot.dyno = m_lower->currentIndex() == 0;
    m_plot.walls = m_lower->currentIndex() == 2;
    m_plot.cylinder = m_cylinder->isChecked();
    m_plot.speeds = outcome.speeds;
    m_plot.compared = outcome.compared;
    m_plotKey = m_pendingKey;
    int closest = 0, periodic = 0;
    bool design = false;
    for (int k = 0; k < outcome.speeds.size(); ++k) {
        const double rpm = outcome.speeds[k].rpm;
        if (std::abs(rpm - m_plot.designRpm) <
            std::abs(outcome.speeds[closest].rpm - m_plot.designRpm))
            closest = k;
        periodic += outcome.speeds[k].periodic ? 1 : 0;
        design = design || std::abs(rpm - m_plot.designRpm) < 0.5;
    }
    m_plot.shown = closest;
    const QSignalBlocker quiet(m_shown);
    m_shown->clear();
    for (const waves::SpeedResult &r : outcome.speeds)
        m_shown->addItem(tr("%1 giri/min").arg(m_locale.toString(qRound(r.rpm))));
    m_shown->setCurrentIndex(closest);
    m_view->setPlot(m_plot);
    QString status = tr("%1 regimi simulati, %2 assestati.").arg(outcome.speeds.size()).arg(periodic);
    if (periodic < outcome.speeds.size())
        status += QLatin1Char(' ') + tr("Quelli non assestati sono cerchiati nel grafico in basso.");
    if (!design)
        status += QLatin1Char(' ') +
                  tr("Il regime di progetto (%1 giri/min) non \u00e8 tra quelli calcolati: il "
                     "grafico in alto mostra il pi\u00f9 vicino.")
                      .arg(m_locale.toString(qRound(m_plot.designRpm)));
    m_status->setText(status);
    updateState();
}

void WavesTab::showSpeed()
{
    if (m_shown->currentIndex() < 0 || m_plot.speeds.isEmpty())
        return;
    m_plot.shown = m_shown->currentIndex();
    m_view->setPlot(m_plot);
}

void WavesTab::compareChanged()
{
    if (m_compare->currentData().toString() != QLatin1String(MeasuredMethod))
        return;
    const QString path = m_platform.openFileName(
        this, tr("Tubo da confrontare"), tr("Tubo misurato CSV (*.csv)|*.csv|Tutti i file (*)|*"));
    if (path.isEmpty()) {
        if (!m_measuredCompare)
            m_compare->setCurrentIndex(0);
        return;
    }
    const PipeRead read = readPipeFile(path);
    if (!read.ok()) {
        message(read.error);
        if (!m_measuredCompare)
            m_compare->setCurrentIndex(0);
        return;
    }
    m_measuredCompare = MeasuredPipe{path, read.pipe};
    updateState();
    emit inputsChanged();
}


} // namespace velmorant

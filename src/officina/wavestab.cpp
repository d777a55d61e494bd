#include "wavestab.h"

#include "enginedialog.h"
#include "formbox.h"
#include "number.h"
#include "pipefile.h"
#include "platform.h"
#include "safefile.h"
#include "tracecsv.h"

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

QLineEdit *box(const QString &name, QWidget *parent)
{
    QLineEdit *edit = formBox(name, parent, 70);
    edit->setMaximumWidth(90);
    return edit;
}

} // namespace

WavesTab::WavesTab(Platform &platform, const QLocale &locale, QWidget *parent)
    : QWidget(parent), m_platform(platform), m_locale(locale),
      m_calculation(
          this, [this](int percent) { m_progress->setValue(percent); },
          [this](const WaveOutcome &outcome) { finished(outcome); })
{
    setObjectName(QStringLiteral("tabOnde"));
    auto *speeds = new QHBoxLayout;
    auto *others = new QHBoxLayout;
    m_from = box(QStringLiteral("opt_waves-from"), this);
    m_to = box(QStringLiteral("opt_waves-to"), this);
    m_step = box(QStringLiteral("opt_waves-step"), this);
    m_probe = box(QStringLiteral("opt_probe"), this);
    m_probe->setPlaceholderText(tr("nessuna"));
    const std::pair<QString, QLineEdit *> boxes[] = {{tr("Da (giri/min)"), m_from},
                                                     {tr("A"), m_to},
                                                     {tr("Passo"), m_step},
                                                     {tr("Sonda (mm dalla luce)"), m_probe}};
    for (const auto &[caption, edit] : boxes) {
        speeds->addWidget(new QLabel(caption, this));
        speeds->addWidget(edit);
        connect(edit, &QLineEdit::returnPressed, this, &WavesTab::calculate);
    }
    m_run = new QPushButton(tr("Calcola onde"), this);
    m_run->setObjectName(QStringLiteral("cmdCalcolaOnde"));
    speeds->addWidget(m_run);
    speeds->addStretch(1);

    m_compare = new QComboBox(this);
    m_compare->setObjectName(QStringLiteral("cmbConfronta"));
    m_compare->addItem(tr("nessun altro tubo"), QString());
    const std::pair<const char *, QString> methods[] = {{"own", tr("primo dimensionamento")},
                                                        {"blair2", tr("Blair, 2 stadi")},
                                                        {"blair3", tr("Blair, 3 stadi")},
                                                        {"jennings", tr("Jennings, un cono")}};
    for (const auto &[key, caption] : methods)
        m_compare->addItem(caption, QLatin1String(key));
    m_compare->addItem(tr("tubo misurato (CSV)..."), QStringLiteral("misurato"));
    m_shown = new QComboBox(this);
    m_shown->setObjectName(QStringLiteral("cmbRegimeOnde"));
    m_shown->setMinimumContentsLength(14);
    auto *engine = new QPushButton(tr("Motore..."), this);
    engine->setObjectName(QStringLiteral("cmdMotore"));
    connect(engine, &QPushButton::clicked, this, &WavesTab::editEngine);
    auto *trace = new QPushButton(tr("Traccia misurata..."), this);
    trace->setObjectName(QStringLiteral("cmdTracciaMisurata"));
    others->addWidget(new QLabel(tr("Confronta con"), this));
    others->addWidget(m_compare);
    others->addWidget(new QLabel(tr("Regime mostrato"), this));
    others->addWidget(m_shown);
    others->addWidget(engine);
    others->addWidget(trace);
    others->addStretch(1);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgOnde"));
    m_progress->setRange(0, 100);
    m_cancel = new QPushButton(tr("Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("cmdAnnullaOnde"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblOnde"));
    m_status->setWordWrap(true);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_status, 1);
    progressRow->addWidget(m_progress);
    progressRow->addWidget(m_cancel);
    m_progress->hide();
    m_cancel->hide();

    m_view = new WavesView(this);
    auto *column0 = new QVBoxLayout(this);
    column0->addLayout(speeds);
    column0->addLayout(others);
    column0->addLayout(progressRow);
    column0->addWidget(m_view, 1);

    connect(m_cancel, &QPushButton::clicked, this, [this] { m_calculation.cancel(); });
    connect(m_run, &QPushButton::clicked, this, &WavesTab::calculate);
    connect(trace, &QPushButton::clicked, this, &WavesTab::loadMeasuredTrace);
    connect(m_compare, &QComboBox::activated, this, &WavesTab::compareChanged);
    connect(m_shown, &QComboBox::currentIndexChanged, this, &WavesTab::showSpeed);
    m_view->setNote(tr("Premere Calcola per preparare il tubo, poi Calcola onde"));
    QSettings settings;
    m_engine = readEngineSettings(settings);
}

void WavesTab::editEngine()
{
    auto *dialog = new EngineDialog(m_platform, m_locale, m_engine, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_engine = dialog->engine();
        QSettings settings;
        writeEngineSettings(settings, m_engine);
    });
    dialog->open();
}

void WavesTab::setDesign(const DesignParameters &p, const ChamberDimensions &d, const Pipe &pipe,
                         const PipeChoice &choice, double bandWidth)
{
    // A new design speed: the range around it, from 70 % to 130 % in steps of 5 %.
    if (!m_parameters || (*m_parameters)[Field::Rpm] != p[Field::Rpm]) {
        const double n = p[Field::Rpm];
        auto round = [](double v) { return std::round(v / 100) * 100; };
        m_from->setText(formatBoxNumber(std::max(waves::SlowestRpm, round(0.7 * n)), m_locale));
        m_to->setText(formatBoxNumber(std::min(waves::FastestRpm, round(1.3 * n)), m_locale));
        m_step->setText(formatBoxNumber(std::max(100.0, round(0.05 * n)), m_locale));
    }
    m_parameters = p;
    m_dimensions = d;
    m_pipe = pipe;
    m_choice = choice;
    m_bandWidth = bandWidth;
    if (m_plot.speeds.isEmpty())
        m_view->setNote(tr("Premere Calcola onde per simulare il tubo sul motore"));
    else
        m_status->setText(tr("Il tubo \u00e8 stato ricalcolato: le onde mostrate sono di prima, "
                             "premere Calcola onde per aggiornarle."));
}

void WavesTab::message(const QString &text)
{
    m_platform.showMessage(this, window()->windowTitle(), text, MessageIcon::Critical);
}

void WavesTab::calculate()
{
    if (!m_parameters) {
        m_platform.showMessage(this, window()->windowTitle(),
                               tr("Premere prima Calcola: non c'\u00e8 ancora un tubo."),
                               MessageIcon::Information);
        return;
    }
    auto number = [&](QLineEdit *e) { return parseSettingNumber(e->text(), m_locale); };
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
        const std::optional<double> x = number(m_probe);
        if (!x || *x < 0 || *x > m_pipe.length()) {
            message(tr("La sonda va tra 0 e %1 mm dalla luce (la lunghezza del tubo).")
                        .arg(m_locale.toString(m_pipe.length(), 'f', 1)));
            m_probe->setFocus();
            return;
        }
        job.options.probes = {*x};
    }
    const DesignParameters &p = *m_parameters;
    job.pipe = m_pipe;
    job.engine = waves::onDesign(m_engine, p);
    if (const std::optional<QString> problem =
            waves::waveProblem(m_pipe, job.engine, job.options, job.rpms, m_locale,
                                job.compare ? 2 : 1)) {
        message(*problem);
        return;
    }
    const QString other = m_compare->currentData().toString();
    // The plot being made; what is shown stays until it arrives.
    m_pending = WavePlot();
    m_pending.measured = m_plot.measured;
    if (other == QLatin1String("misurato") && m_measuredCompare) {
        job.compare = m_measuredCompare;
        m_pending.comparedName = m_measuredName;
    } else if (!other.isEmpty() && other != QLatin1String("misurato")) {
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
    // The second pipe is held to the model's bounds as the first (a measured one can be anything).
    if (job.compare) {
        if (const std::optional<QString> problem =
                waves::waveProblem(*job.compare, job.engine, job.options, job.rpms, m_locale, 2)) {
            message(tr("Il tubo da confrontare: %1").arg(*problem));
            return;
        }
    }
    m_pending.timing = portTiming(p[Field::Sc], p[Field::Asp]);
    m_pending.ambientBar = job.engine.ambientPressure;
    m_pending.designRpm = p[Field::Rpm];
    if (const std::optional<WaveLengths> l = waveLengths(m_pipe))
        m_pending.band = bandOf(*l, p[Field::Sc], p[Field::Asp], p[Field::Temp1], m_bandWidth);
    m_calculation.start([job](WorkControl &control) { return runWaveJob(job, control); },
                        int(job.rpms.size()) * job.options.maxCycles * (job.compare ? 2 : 1));
    m_progress->setValue(0);
    m_progress->show();
    m_cancel->show();
    m_status->setText(tr("Simulazione di %1 regimi in corso...").arg(job.rpms.size()));
    if (m_plot.speeds.isEmpty())
        m_view->setNote(tr("Simulazione in corso..."));
}

void WavesTab::finished(const WaveOutcome &outcome)
{
    m_progress->hide();
    m_cancel->hide();
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
    m_pending.measured = m_plot.measured; // loaded while it ran
    m_plot = m_pending;
    m_plot.speeds = outcome.speeds;
    m_plot.compared = outcome.compared;
    int closest = 0, periodic = 0;
    for (int k = 0; k < outcome.speeds.size(); ++k) {
        if (std::abs(outcome.speeds[k].rpm - m_plot.designRpm) <
            std::abs(outcome.speeds[closest].rpm - m_plot.designRpm))
            closest = k;
        periodic += outcome.speeds[k].periodic ? 1 : 0;
    }
    m_plot.shown = closest;
    const QSignalBlocker quiet(m_shown);
    m_shown->clear();
    for (const waves::SpeedResult &r : outcome.speeds)
        m_shown->addItem(tr("%1 giri/min").arg(m_locale.toString(qRound(r.rpm))));
    m_shown->setCurrentIndex(closest);
    m_view->setPlot(m_plot);
    m_status->setText(
        tr("%1 regimi simulati, %2 periodici.").arg(outcome.speeds.size()).arg(periodic));
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
    if (m_compare->currentData().toString() != QLatin1String("misurato"))
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
    m_measuredCompare = read.pipe;
    m_measuredName = QFileInfo(path).fileName();
}

void WavesTab::loadMeasuredTrace()
{
    const QString path = m_platform.openFileName(
        this, tr("Traccia misurata"),
        tr("Traccia misurata CSV (angolo, bar) (*.csv)|*.csv|Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    const FileReading file = readRegularFile(path, MaxTraceFileBytes);
    if (!file.ok()) {
        message(tr("Impossibile leggere %1: %2").arg(path, file.failure));
        return;
    }
    const waves::MeasuredTrace trace = waves::readMeasuredTrace(file.bytes);
    if (!trace.ok()) {
        message(tr("%1: %2").arg(path, trace.error));
        return;
    }
    m_plot.measured = trace.points;
    if (!m_plot.speeds.isEmpty())
        m_view->setPlot(m_plot);
    m_status->setText(tr("Traccia misurata: %1 punti da %2, sulla %3.")
                          .arg(trace.points.size())
                          .arg(QFileInfo(path).fileName(),
                               m_probe->text().trimmed().isEmpty() ? tr("luce") : tr("sonda")));
}

} // namespace velmorant

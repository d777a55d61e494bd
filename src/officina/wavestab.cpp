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

// Speeds written as the boxes take them: no digit grouping.
QLocale ungrouped(QLocale l)
{
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
}

QLineEdit *box(const QString &name, QWidget *parent)
{
    QLineEdit *edit = formBox(name, parent, 60);
    edit->setMaximumWidth(70);
    return edit;
}

// A caption and its box kept together when the row wraps.
QWidget *labelled(const QString &caption, QWidget *field, QWidget *parent)
{
    auto *pair = new QWidget(parent);
    auto *row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(caption, pair);
    label->setBuddy(field);
    row->addWidget(label);
    field->setParent(pair);
    row->addWidget(field);
    return pair;
}

} // namespace

void WavesTab::setOutputCheck(const plot::View::OutputCheck &check)
{
    m_outputCheck = check;
    m_view->setExport(&m_platform, tr("onde"), check);
    if (m_optimize)
        m_optimize->setOutputCheck(check);
}

WavesTab::WavesTab(Platform &platform, const QLocale &locale, QWidget *parent)
    : QWidget(parent), m_platform(platform), m_locale(ungrouped(locale)),
      m_calculation(
          this, [this](int percent) { m_progress->setValue(percent); },
          [this](const WaveOutcome &outcome) { finished(outcome); })
{
    setObjectName(QStringLiteral("tabOnde"));
    auto *controls = new FlowLayout;
    m_from = box(QStringLiteral("opt_waves-from"), this);
    m_to = box(QStringLiteral("opt_waves-to"), this);
    m_step = box(QStringLiteral("opt_waves-step"), this);
    m_probe = box(QStringLiteral("opt_probe"), this);
    m_probe->setPlaceholderText(tr("nessuna"));
    const std::pair<QString, QLineEdit *> boxes[] = {{tr("&Da (giri/min)"), m_from},
                                                     {tr("A"), m_to},
                                                     {tr("Passo"), m_step},
                                                     {tr("Sonda (mm dalla luce)"), m_probe}};
    for (const auto &[caption, edit] : boxes) {
        controls->addWidget(labelled(caption, edit, this));
        connect(edit, &QLineEdit::returnPressed, this, &WavesTab::calculate);
        connect(edit, &QLineEdit::textChanged, this, [this] {
            updateState();
            emit inputsChanged();
        });
    }
    m_run = new QPushButton(tr("Calcola onde"), this);
    m_run->setObjectName(QStringLiteral("cmdCalcolaOnde"));
    m_run->setToolTip(tr("Calcola onde (F6)"));
    controls->addWidget(m_run);

    m_compare = new QComboBox(this);
    m_compare->setObjectName(QStringLiteral("cmbConfronta"));
    m_compare->addItem(tr("nessun altro tubo"), QString());
    for (const QString &key : pipeMethods())
        m_compare->addItem(methodCaption(key), key);
    m_compare->addItem(tr("tubo misurato (CSV)..."), QLatin1String(MeasuredMethod));
    m_compare->addItem(tr("lo stesso tubo, diritto"), QLatin1String(StraightCompare));
    m_shown = new QComboBox(this);
    m_shown->setObjectName(QStringLiteral("cmbRegimeOnde"));
    m_shown->setMinimumContentsLength(14);
    auto *engine = new QPushButton(tr("Motore..."), this);
    engine->setObjectName(QStringLiteral("cmdMotore"));
    connect(engine, &QPushButton::clicked, this, &WavesTab::editEngine);
    auto *trace = new QPushButton(tr("Traccia misurata..."), this);
    trace->setObjectName(QStringLiteral("cmdTracciaMisurata"));
    m_dropTrace = new QPushButton(tr("Togli la traccia"), this);
    m_dropTrace->setObjectName(QStringLiteral("cmdTogliTraccia"));
    m_dropTrace->setEnabled(false);
    controls->addBreak();
    controls->addWidget(labelled(tr("Confronta con"), m_compare, this));
    controls->addWidget(labelled(tr("Regime mostrato"), m_shown, this));
    controls->addWidget(engine);
    auto *optimize = new QPushButton(tr("Ottimizza..."), this);
    optimize->setObjectName(QStringLiteral("cmdOttimizza"));
    optimize->setToolTip(tr("Cerca il tubo che d\u00e0 pi\u00f9 potenza in una fascia di giri"));
    connect(optimize, &QPushButton::clicked, this, &WavesTab::optimize);
    controls->addWidget(optimize);
    controls->addWidget(trace);
    controls->addWidget(m_dropTrace);
    m_lower = new QComboBox(this);
    m_lower->setObjectName(QStringLiteral("cmbGraficoRegimi"));
    m_lower->addItem(tr("potenza e coppia"));
    m_lower->addItem(tr("carica ed erogazione"));
    m_lower->addItem(tr("temperatura di parete"));
    m_lower->addItem(tr("pressione media, dove va"));
    m_cylinder = new QCheckBox(tr("Pressione nel cilindro"), this);
    m_cylinder->setObjectName(QStringLiteral("chkCilindro"));
    auto *bench = new QPushButton(tr("Curva al banco..."), this);
    bench->setObjectName(QStringLiteral("cmdCurvaBanco"));
    m_dropBench = new QPushButton(tr("Togli la curva"), this);
    m_dropBench->setObjectName(QStringLiteral("cmdTogliCurva"));
    m_dropBench->setEnabled(false);
    controls->addWidget(labelled(tr("In basso"), m_lower, this));
    controls->addWidget(bench);
    controls->addWidget(m_dropBench);
    controls->addWidget(m_cylinder);

    m_temperatures = new QLabel(this);
    m_temperatures->setObjectName(QStringLiteral("lblTemperature"));
    m_temperatures->setWordWrap(true);
    m_stale = new QLabel(this);
    m_stale->setObjectName(QStringLiteral("lblOndeVecchie"));
    m_stale->setWordWrap(true);
    m_stale->setStyleSheet(QStringLiteral("color: #B71C1C;"));
    m_stale->hide();

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

    m_view = new WavesView(m_locale, this);
    m_view->setExport(&m_platform, tr("onde"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 2);
    column->setSpacing(4);
    column->addLayout(controls);
    column->addWidget(m_temperatures);
    column->addWidget(m_stale);
    column->addLayout(progressRow);
    column->addWidget(m_view, 1);

    connect(m_cancel, &QPushButton::clicked, this, &WavesTab::cancel);
    connect(m_run, &QPushButton::clicked, this, &WavesTab::calculate);
    connect(trace, &QPushButton::clicked, this, &WavesTab::loadMeasuredTrace);
    connect(m_dropTrace, &QPushButton::clicked, this, &WavesTab::removeMeasuredTrace);
    connect(bench, &QPushButton::clicked, this, &WavesTab::loadBenchCurve);
    connect(m_dropBench, &QPushButton::clicked, this, &WavesTab::removeBenchCurve);
    connect(m_lower, &QComboBox::currentIndexChanged, this, &WavesTab::showPlotChoices);
    connect(m_cylinder, &QCheckBox::toggled, this, &WavesTab::showPlotChoices);
    connect(m_compare, &QComboBox::activated, this, &WavesTab::compareChanged);
    connect(m_compare, &QComboBox::currentIndexChanged, this, [this] {
        updateState();
        emit inputsChanged();
    });
    connect(m_shown, &QComboBox::currentIndexChanged, this, &WavesTab::showSpeed);
    connect(m_view, &WavesView::speedClicked, m_shown, &QComboBox::setCurrentIndex);
    m_view->setNote(tr("Premere Calcola per preparare il tubo, poi Calcola onde"));
    QSettings settings;
    m_engine = readEngineSettings(settings);
    showTemperatures();
}

void WavesTab::editEngine()
{
    // With the design's displacement, once calculated: bore and stroke are checked against it.
    waves::EngineInputs shown = m_engine;
    shown.displacement = m_parameters ? (*m_parameters)[Field::Cil] : 0;
    auto *dialog = new EngineDialog(m_platform, m_locale, shown, m_intakePipe, m_paths, this);
    if (m_parameters)
        dialog->setDesignRpm((*m_parameters)[Field::Rpm]);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        m_intakePipe = dialog->intakePipe();
        m_paths = dialog->paths();
        setEngine(dialog->engine());
        QSettings settings;
        writeEngineSettings(settings, m_engine);
        emit inputsChanged();
    });
    dialog->open();
}

void WavesTab::optimize()
{
    if (!m_parameters || m_pipeStale) {
        m_platform.showMessage(this, window()->windowTitle(),
                               tr("Premere prima Calcola (F5): la ricerca parte dal tubo che "
                                  "descrivono le caselle."),
                               MessageIcon::Information);
        return;
    }
    if (!m_optimize) {
        m_optimize = new OptimizeDialog(m_platform, m_locale, this);
        m_optimize->setOutputCheck(m_outputCheck);
        connect(m_optimize, &OptimizeDialog::pipeChosen, this, &WavesTab::pipeChosen);
    }
    waves::WaveOptions options = pathOptions();
    waves::EngineInputs engine = waves::onDesign(m_engine, *m_parameters);
    if (const std::optional<QString> problem = typedPorts(engine, options)) {
        message(*problem);
        return;
    }
    if (!m_optimize->busy())
        m_optimize->setStart(m_pipe, engine, options, (*m_parameters)[Field::Rpm]);
    m_optimize->show();
    m_optimize->raise();
    m_optimize->activateWindow();
}

void WavesTab::setEngine(const waves::EngineInputs &engine)
{
    m_engine = engine;
    showTemperatures();
    updateState();
}

void WavesTab::showTemperatures()
{
    QLocale l = m_locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString pipe = m_parameters
                             ? tr("%1 \u00b0C").arg(l.toString((*m_parameters)[Field::Temp1]))
                             : tr("la \u201cTemperatura Gas di Scarico\u201d");
    const QString air = l.toString(m_engine.ambientTemperature);
    if (m_engine.cycle == engine::Cycle::Fired) {
        m_temperatures->setText(
            tr("Temperature: gas nel tubo all'avvio %1 (dal progetto), poi quello che il cilindro "
               "scarica; cilindro dalla combustione del ciclo prima (accensione %2\u00b0 prima "
               "del PMS), pareti %3 \u00b0C; aria e carica fresca %4 \u00b0C (da Motore...).")
                .arg(pipe, l.toString(m_engine.ignition), l.toString(m_engine.wallTemperature),
                     air));
    } else {
        m_temperatures->setText(
            tr("Temperature: gas nel tubo all'avvio %1 (dal progetto); nel cilindro "
               "all'apertura dello scarico %2 \u00b0C e %3 bar a ogni ciclo (ciclo fisso), aria "
               "%4 \u00b0C (da Motore...).")
                .arg(pipe, l.toString(m_engine.eoTemperature), l.toString(m_engine.eoPressure),
                     air));
    }
    m_temperatures->setToolTip(
        tr("Il gas nel tubo parte dalla \u201cTemperatura Gas di Scarico\u201d del progetto; il "
           "ciclo, l'accensione, le pareti e l'aria sono quelli della finestra Motore."));
}

void WavesTab::setDesign(const DesignParameters &p, const ChamberDimensions &d, const Pipe &pipe,
                         const PipeChoice &choice, double bandWidth)
{
    // A new design speed: the range around it, from 70 % to 130 % in steps of 5 % (a range
    // of a project just opened stays as it was saved).
    if ((m_parameters && (*m_parameters)[Field::Rpm] != p[Field::Rpm]) ||
        m_from->text().trimmed().isEmpty()) {
        const WaveTexts range = defaultWaveTexts(p[Field::Rpm], m_locale);
        m_from->setText(range.from);
        m_to->setText(range.to);
        m_step->setText(range.step);
    }
    m_parameters = p;
    m_dimensions = d;
    m_pipe = pipe;
    m_choice = choice;
    m_bandWidth = bandWidth;
    ++m_pipeStamp;
    m_pipeStale = false;
    if (m_plot.speeds.isEmpty())
        m_view->setNote(tr("Premere Calcola onde per simulare il tubo sul motore"));
    showTemperatures();
    updateState();
}

void WavesTab::setPipeStale(bool stale)
{
    if (m_pipeStale == stale)
        return;
    m_pipeStale = stale;
    updateState();
}

void WavesTab::updateState()
{
    QString note;
    if (m_pipeStale)
        note = tr("Le caselle del progetto sono cambiate dopo l'ultimo Calcola: premere Calcola "
                  "(F5), poi Calcola onde (F6).");
    else if (stale())
        note = tr("Le onde mostrate sono di prima delle ultime modifiche: premere Calcola onde "
                  "(F6) per aggiornarle.");
    m_stale->setText(note);
    m_stale->setVisible(!note.isEmpty());
    m_dropTrace->setEnabled(m_trace.has_value());
    m_dropBench->setEnabled(m_bench.has_value());
    emit stateChanged();
}

WaveTexts WavesTab::texts() const
{
    WaveTexts t;
    t.from = m_from->text();
    t.to = m_to->text();
    t.step = m_step->text();
    t.probe = m_probe->text();
    t.compare = m_compare->currentData().toString();
    t.comparePipe = m_measuredCompare;
    t.intakePipe = m_intakePipe;
    t.paths = m_paths;
    return t;
}

void WavesTab::setTexts(const WaveTexts &t)
{
    m_from->setText(t.from);
    m_to->setText(t.to);
    m_step->setText(t.step);
    m_probe->setText(t.probe);
    m_measuredCompare = t.comparePipe;
    m_intakePipe = t.intakePipe;
    m_paths = t.paths;
    const int i = m_compare->findData(t.compare);
    m_compare->setCurrentIndex(
        i >= 0 && (t.compare != QLatin1String(MeasuredMethod) || m_measuredCompare) ? i : 0);
    updateState();
}

void WavesTab::showPlotChoices()
{
    m_plot.dyno = m_lower->currentIndex() == 0;
    m_plot.walls = m_lower->currentIndex() == 2;
    m_plot.meanPressures = m_lower->currentIndex() == 3;
    m_plot.cylinder = m_cylinder->isChecked();
    if (!m_plot.speeds.isEmpty())
        m_view->setPlot(m_plot);
}

void WavesTab::clear()
{
    cancel();
    m_plot = WavePlot();
    m_plotKey.clear();
    m_parameters.reset();
    m_pipeStale = false;
    m_shown->clear();
    m_status->clear();
    m_view->setNote(tr("Premere Calcola per preparare il tubo, poi Calcola onde"));
    updateState();
}

void WavesTab::message(const QString &text)
{
    m_platform.showMessage(this, window()->windowTitle(), text, MessageIcon::Critical);
}

} // namespace velmorant

#include "optimizedialog.h"

#include "formbox.h"
#include "methodsview.h"
#include "number.h"
#include "platform.h"
#include "plot/plotview.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <cmath>
#include <tuple>

namespace velmorant {

namespace {

const QColor Start(0x75, 0x75, 0x75), Best(0xC6, 0x28, 0x28);

QLocale ungrouped(QLocale l)
{
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l;
}

} // namespace

OptimizeDialog::OptimizeDialog(Platform &platform, const QLocale &locale, QWidget *parent)
    : QDialog(parent), m_platform(platform), m_locale(ungrouped(locale)),
      m_search(
          this,
          [this](int percent) {
              m_progress->setValue(percent);
              showRunning();
          },
          [this](const tuning::PipeSearchResult &r) { finished(r); })
{
    setObjectName(QStringLiteral("dlgOttimizza"));
    setWindowTitle(tr("Ottimizza il tubo"));
    const tuning::Limits defaults;
    auto box = [this](const char *name, double value) {
        QLineEdit *e = formBox(QLatin1String(name), this, 70);
        if (!std::isnan(value))
            e->setText(formatBoxNumber(value, m_locale));
        return e;
    };
    m_from = box("opt_optimize-from", NAN);
    m_to = box("opt_optimize-to", NAN);
    m_objective = new QComboBox(this);
    m_objective->setObjectName(QStringLiteral("cmbObiettivo"));
    m_objective->addItem(tr("potenza media nella fascia"), int(tuning::Objective::Mean));
    m_objective->addItem(tr("potenza massima nella fascia"), int(tuning::Objective::Peak));
    m_objective->addItem(tr("potenza a met\u00e0 fascia"), int(tuning::Objective::Speed));
    m_minAngle = box("opt_angle-min", defaults.minAngle);
    m_maxAngle = box("opt_angle-max", defaults.maxAngle);
    m_length = box("opt_length-limit", defaults.lengthFactor);
    m_belly = box("opt_belly-limit", NAN);
    m_belly->setPlaceholderText(
        tr("%1 volte quello di partenza").arg(formatBoxNumber(1.3, m_locale)));
    m_minTail = box("opt_tail-min", defaults.minTail);
    m_maxTail = box("opt_tail-max", defaults.maxTail);
    m_evaluations = box("opt_evaluations", tuning::SearchPlan().evaluations);
    m_maxLengthMm = box("opt_max-length-mm", NAN);
    m_maxDiameterMm = box("opt_max-diameter-mm", NAN);
    for (QLineEdit *e : {m_maxLengthMm, m_maxDiameterMm})
        e->setPlaceholderText(tr("nessuno"));

    auto pair = [this](QLineEdit *a, QLineEdit *b, const QString &between) {
        auto *w = new QWidget(this);
        auto *row = new QHBoxLayout(w);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(a);
        row->addWidget(new QLabel(between, w));
        row->addWidget(b);
        row->addStretch();
        return w;
    };
    auto *form = new QFormLayout;
    form->addRow(tr("Fascia (giri/min)"), pair(m_from, m_to, tr("a")));
    form->addRow(tr("Obiettivo"), m_objective);
    form->addRow(tr("Semiangolo dei coni (\u00b0)"), pair(m_minAngle, m_maxAngle, tr("a")));
    form->addRow(tr("Lunghezza massima (\u00d7 partenza)"), m_length);
    form->addRow(tr("Ventre massimo (mm)"), m_belly);
    form->addRow(tr("Coda (\u00d7 collettore)"), pair(m_minTail, m_maxTail, tr("a")));
    form->addRow(tr("Telaio: lunghezza massima (mm)"), m_maxLengthMm);
    form->addRow(tr("Telaio: diametro massimo (mm)"), m_maxDiameterMm);
    form->addRow(tr("Tubi da provare"), m_evaluations);

    m_run = new QPushButton(tr("Cerca"), this);
    m_run->setObjectName(QStringLiteral("cmdCercaTubo"));
    m_cancel = new QPushButton(tr("Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("cmdAnnullaOttimizza"));
    m_cancel->hide();
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgOttimizza"));
    m_progress->setRange(0, 100);
    m_progress->hide();
    m_use = new QPushButton(tr("Usa questo tubo"), this);
    m_use->setObjectName(QStringLiteral("cmdUsaTubo"));
    m_use->setEnabled(false);
    auto *close = new QPushButton(tr("Chiudi"), this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblOttimizza"));
    m_status->setWordWrap(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    buttons->addWidget(m_use);
    buttons->addWidget(close);

    auto *split = new QSplitter(Qt::Vertical, this);
    m_power = new plot::View(m_locale, split);
    m_power->setObjectName(QStringLiteral("plotOttimizza"));
    m_power->setExport(&m_platform, tr("ottimizzazione"));
    m_pipes = new MethodsView(split);
    m_pipes->setObjectName(QStringLiteral("viewTubiOttimizzati"));
    split->setChildrenCollapsible(false);
    m_power->setMinimumHeight(200);
    m_pipes->setMinimumHeight(190);
    plot::Data note;
    note.note = tr("Premere Cerca: la ricerca prova i tubi sul motore della scheda Onde");
    m_power->setData(note);

    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addLayout(buttons);
    column->addWidget(m_status);
    column->addWidget(split, 1);
    connect(m_run, &QPushButton::clicked, this, &OptimizeDialog::search);
    connect(m_cancel, &QPushButton::clicked, this, &OptimizeDialog::cancel);
    connect(close, &QPushButton::clicked, this, &OptimizeDialog::reject);
    connect(m_use, &QPushButton::clicked, this, [this] {
        if (!m_result)
            return;
        // The search's band, as the method box and the templates will say it.
        const QString name = tuning::searchBand(m_running.objective,
                                                m_locale.toString(qRound(m_running.from)),
                                                m_locale.toString(qRound(m_running.to)));
        emit pipeChosen(m_result->best, name);
    });
    // Most of the screen's height, within it.
    const QRect screen = parent ? parent->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(820, screen.width() * 9 / 10), std::min(760, screen.height() * 88 / 100));
}

void OptimizeDialog::setOutputCheck(const plot::View::OutputCheck &check)
{
    m_power->setExport(&m_platform, tr("ottimizzazione"), check);
}

void OptimizeDialog::setStart(const Pipe &start, const waves::EngineInputs &engine,
                              const waves::WaveOptions &options, double designRpm)
{
    m_start = start;
    m_engine = engine;
    m_options = options;
    m_options.probes.clear();
    if (m_from->text().isEmpty() || m_designRpm != designRpm) {
        m_from->setText(formatBoxNumber(std::round(0.9 * designRpm / 100) * 100, m_locale));
        m_to->setText(formatBoxNumber(std::round(1.1 * designRpm / 100) * 100, m_locale));
    }
    m_designRpm = designRpm;
}

void OptimizeDialog::refuse(QLineEdit *box, const QString &text)
{
    m_platform.showMessage(this, windowTitle(), text, MessageIcon::Critical);
    if (box)
        box->setFocus();
}

void OptimizeDialog::search()
{
    if (m_search.busy())
        return;
    tuning::PipeSearchInputs in;
    in.start = m_start;
    in.engine = m_engine;
    in.options = m_options;
    auto number = [&](QLineEdit *box, double &into, const QString &caption) {
        const std::optional<double> v = parseSettingNumber(box->text(), m_locale);
        if (!v) {
            refuse(box, tr("Valore non valido per \u201c%1\u201d: serve un numero.").arg(caption));
            return false;
        }
        into = *v;
        return true;
    };
    double evaluations = 0, belly = 0;
    if (!number(m_from, in.from, tr("Fascia")) || !number(m_to, in.to, tr("Fascia")) ||
        !number(m_minAngle, in.limits.minAngle, tr("Semiangolo dei coni")) ||
        !number(m_maxAngle, in.limits.maxAngle, tr("Semiangolo dei coni")) ||
        !number(m_length, in.limits.lengthFactor, tr("Lunghezza massima")) ||
        !number(m_minTail, in.limits.minTail, tr("Coda")) ||
        !number(m_maxTail, in.limits.maxTail, tr("Coda")) ||
        !number(m_evaluations, evaluations, tr("Tubi da provare")))
        return;
    if (!m_belly->text().trimmed().isEmpty()) {
        if (!number(m_belly, belly, tr("Ventre massimo")))
            return;
        in.limits.maxBelly = belly;
    }
    for (const auto &[field, into, caption] :
         {std::tuple{m_maxLengthMm, &in.limits.maxLengthMm, tr("Telaio: lunghezza massima")},
          std::tuple{m_maxDiameterMm, &in.limits.maxDiameterMm, tr("Telaio: diametro massimo")}}) {
        double v = 0;
        if (field->text().trimmed().isEmpty())
            continue;
        if (!number(field, v, caption))
            return;
        *into = v;
    }
    if (evaluations != std::floor(evaluations) || evaluations < tuning::SmallestBudget ||
        evaluations > tuning::LargestBudget)
        return refuse(m_evaluations, tr("I tubi da provare vanno da %1 a %2.")
                                         .arg(tuning::SmallestBudget)
                                         .arg(tuning::LargestBudget));
    in.plan.evaluations = int(evaluations);
    in.objective = tuning::Objective(m_objective->currentData().toInt());
    if (const std::optional<QString> problem = tuning::searchProblem(in, m_locale))
        return refuse(nullptr, tr("Impossibile ottimizzare il tubo: %1.").arg(*problem));
    m_running = in;
    // A new search: what the last one found goes, so that nothing shown is of another search.
    m_result.reset();
    m_power->setData(plot::Data());
    m_pipes->setPipes({});
    m_bestSoFar->store(0);
    m_tried->store(0);
    m_search.start(
        [in, best = m_bestSoFar, tried = m_tried](WorkControl &control) {
            return tuning::searchPipe(in, &control.stop,
                                      [&control, best, tried](const tuning::SearchProgress &p) {
                                          best->store(p.best);
                                          tried->store(p.evaluations);
                                          control.done = p.evaluations;
                                      });
        },
        in.plan.evaluations + 1);
    m_progress->setValue(0);
    m_progress->show();
    m_cancel->show();
    m_run->setEnabled(false);
    m_use->setEnabled(false);
    m_status->setText(tr("Ricerca in corso: %1 tubi da provare sul motore della scheda Onde...")
                          .arg(in.plan.evaluations));
}

void OptimizeDialog::showRunning()
{
    if (!m_search.busy() || m_tried->load() < 1)
        return;
    // The search's own figure: its speeds on coarse cells, not yet the band's final run.
    const double best = m_bestSoFar->load();
    m_status->setText(
        tr("Ricerca in corso: %1 di %2 tubi provati; il migliore finora d\u00e0 %3 CV (%4 della "
           "ricerca, sulle celle grosse).")
            .arg(m_tried->load())
            .arg(m_running.plan.evaluations)
            .arg(std::isfinite(best) && best > 0
                     ? m_locale.toString(best * 1000 / engine::WattsPerCv, 'f', 2)
                     : QStringLiteral("-"))
            .arg(tuning::objectiveName(m_running.objective)));
}

void OptimizeDialog::cancel()
{
    m_search.cancel();
    if (m_search.busy())
        m_status->setText(tr("Ricerca interrotta: il migliore trovato fin qui gira sulla fascia..."));
}

void OptimizeDialog::finished(const tuning::PipeSearchResult &r)
{
    m_progress->hide();
    m_cancel->hide();
    m_run->setEnabled(true);
    if (!r.refusal.isEmpty()) {
        m_status->setText(r.refusal);
        return;
    }
    m_result = r;
    showResult();
}

void OptimizeDialog::showResult()
{
    const tuning::PipeSearchResult &r = *m_result;
    auto cv = [&](double kw) { return m_locale.toString(kw * 1000 / engine::WattsPerCv, 'f', 2); };
    QStringList said;
    said << tr("%1 tubi provati.").arg(r.evaluations);
    if (r.cancelled)
        said << tr("Ricerca interrotta: questo \u00e8 il migliore trovato fin qui.");
    if (!r.startOutside.isEmpty())
        said << tr("Il tubo di partenza esce dai limiti: %1.").arg(r.startOutside);
    if (r.keptStart)
        said << tr("Nessun tubo entro i limiti fa meglio di quello di partenza.");
    const double gain = r.startBand.value != 0 ? 100 * (r.bestBand.value / r.startBand.value - 1) : 0;
    said << tr("Potenza media %1 CV \u2192 %2 CV, massima %3 CV \u2192 %4 CV; obiettivo %5 %.")
                .arg(cv(r.startBand.meanKw), cv(r.bestBand.meanKw), cv(r.startBand.peakKw),
                     cv(r.bestBand.peakKw),
                     (gain >= 0 ? QStringLiteral("+") : QString()) +
                         m_locale.toString(gain, 'f', 1));
    m_status->setText(said.join(QLatin1Char(' ')));
    m_use->setEnabled(!r.keptStart);

    plot::Data d;
    d.x.title = tr("Giri al minuto");
    d.x.unit = tr("giri/min");
    d.y.title = tr("Potenza (CV)");
    d.y.unit = tr("CV");
    d.y.fromZero = true;
    for (const auto &[band, name, color, dashed] :
         {std::tuple{&r.startBand, tr("partenza"), Start, true},
          std::tuple{&r.bestBand, tr("migliore"), Best, false}}) {
        plot::Series s;
        s.name = name;
        s.color = color;
        s.marker = plot::Series::Marker::Dot;
        if (dashed) {
            s.style = Qt::DashLine;
            s.width = 1.5;
        }
        for (const waves::SpeedResult &x : band->speeds) {
            s.points << QPointF(x.rpm, x.brake.powerCv);
            if (!x.periodic)
                s.flagged << int(s.points.size()) - 1;
        }
        s.flaggedName = tr("non assestato");
        d.series << s;
    }
    m_power->setData(d);
    Pipe start = r.start, best = r.best;
    start.method = tr("tubo di partenza");
    m_pipes->setPipes({start, best});
}

void OptimizeDialog::closeEvent(QCloseEvent *e)
{
    m_search.cancel();
    QDialog::closeEvent(e);
}

void OptimizeDialog::reject()
{
    // Closing stops a search; its best so far still arrives and is shown on reopening.
    m_search.cancel();
    QDialog::reject();
}

} // namespace velmorant

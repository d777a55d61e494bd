#include "enginedialog.h"

#include "formbox.h"
#include "number.h"
#include "pipefile.h"
#include "platform.h"
#include "safefile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace velmorant {

namespace {

// The page each numeric input is on: 0 the cylinder and ports, 1 the cycle, 2 air and friction.
int pageOf(const char *option)
{
    const QLatin1String o(option);
    if (o.startsWith(QLatin1String("friction")) || o.startsWith(QLatin1String("ambient")))
        return 2;
    static const QStringList cylinder{"con-rod",    "compression", "exhaust-width",
                                      "transfer-width", "exhaust-cd", "transfer-cd",
                                      "intake-cd",  "crankcase-ratio"};
    return cylinder.contains(o) ? 0 : 1;
}

} // namespace

EngineDialog::EngineDialog(Platform &platform, const QLocale &locale,
                           const waves::EngineInputs &engine,
                           const std::optional<MeasuredPipe> &intakePipe,
                           const EnginePaths &paths, QWidget *parent)
    : QDialog(parent), m_platform(platform), m_locale(locale), m_engine(engine),
      m_portAreas(engine.portAreas), m_intakePipe(intakePipe), m_paths(paths)
{
    setObjectName(QStringLiteral("dlgMotore"));
    setWindowTitle(tr("Motore"));
    auto *tabs = m_tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabMotore"));
    QFormLayout *pages[5];
    const QString titles[5] = {tr("Cilindro e luci"), tr("Ciclo e combustione"),
                               tr("Aria e attrito"), tr("Impianto"), tr("Mappa delle luci")};
    for (int k = 0; k < 5; ++k) {
        auto *page = new QWidget(tabs);
        pages[k] = new QFormLayout(page);
        tabs->addTab(page, titles[k]);
    }

    m_cycle = new QComboBox(this);
    m_cycle->setObjectName(QStringLiteral("cmbCiclo"));
    m_cycle->addItem(tr("motore: il cilindro dal ciclo prima"), int(engine::Cycle::Fired));
    m_cycle->addItem(tr("fisso: stato dato all'apertura dello scarico"), int(engine::Cycle::Fixed));
    m_cycle->setCurrentIndex(engine.cycle == engine::Cycle::Fired ? 0 : 1);
    pages[1]->addRow(tr("Ciclo"), m_cycle);
    m_scavenging = new QComboBox(this);
    m_scavenging->setObjectName(QStringLiteral("cmbLavaggio"));
    m_scavenging->addItem(tr("secondo il ciclo (SCRE col motore, miscelazione col fisso)"), -1);
    for (int s = 0; s < engine::scavengingNames().size(); ++s)
        m_scavenging->addItem(engine::scavengingCaption(engine::Scavenging(s)), s);
    m_scavenging->setCurrentIndex(engine.scavenging ? int(*engine.scavenging) + 1 : 0);
    pages[1]->addRow(tr("Lavaggio"), m_scavenging);

    for (const waves::EngineRange &r : waves::engineRanges()) {
        QLineEdit *box = formBox(QStringLiteral("opt_") + QLatin1String(r.option), this);
        box->setText(formatBoxNumber(engine.*r.member, locale));
        box->setToolTip(
            tr("Da %1 a %2").arg(formatBoxNumber(r.low, locale), formatBoxNumber(r.high, locale)));
        pages[pageOf(r.option)]->addRow(QString::fromUtf8(r.caption), box);
        m_boxes << box;
        m_pages << pageOf(r.option);
    }
    for (const auto &[name, caption, value] :
         {std::tuple{"opt_bore", tr("Alesaggio (mm)"), engine.bore},
          std::tuple{"opt_stroke", tr("Corsa (mm)"), engine.stroke}}) {
        QLineEdit *box = formBox(QLatin1String(name), this);
        box->setPlaceholderText(tr("dalla cilindrata"));
        if (value)
            box->setText(formatBoxNumber(*value, locale));
        pages[0]->addRow(caption, box);
        m_boxes << box;
        m_pages << 0;
    }
    // The side left empty follows from the design's displacement and the other: said in it.
    for (QLineEdit *box : {m_boxes[m_boxes.size() - 2], m_boxes.last()})
        connect(box, &QLineEdit::textChanged, this, &EngineDialog::showDerived);
    showDerived();
    QPushButton *choosePorts = nullptr, *chooseIntake = nullptr;
    pages[0]->addRow(tr("Aree delle luci"),
                     fileRow(m_portFile, choosePorts, m_dropPorts, QStringLiteral("AreeLuci"), this));
    QPushButton *chooseGeometry = nullptr;
    pages[0]->addRow(tr("Luci per geometria"),
                     fileRow(m_portsFile, chooseGeometry, m_dropGeometry,
                             QStringLiteral("LuciGeometria"), this));
    connect(chooseGeometry, &QPushButton::clicked, this, &EngineDialog::choosePortGeometry);
    connect(m_dropGeometry, &QPushButton::clicked, this, [this] {
        m_paths.ports.reset();
        showFiles();
    });
    pages[0]->addRow(tr("Condotto di aspirazione"),
                     fileRow(m_intakeFile, chooseIntake, m_dropIntake,
                             QStringLiteral("Aspirazione"), this));
    connect(choosePorts, &QPushButton::clicked, this, &EngineDialog::choosePortAreas);
    connect(chooseIntake, &QPushButton::clicked, this, &EngineDialog::chooseIntakePipe);
    connect(m_dropPorts, &QPushButton::clicked, this, [this] {
        m_portAreas.reset();
        showFiles();
    });
    connect(m_dropIntake, &QPushButton::clicked, this, [this] {
        m_intakePipe.reset();
        showFiles();
    });
    buildPathsPage(pages[3]);
    buildPortMapPage(pages[4]);
    showFiles();

    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &EngineDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EngineDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            &EngineDialog::restoreDefaults);
    auto *column = new QVBoxLayout(this);
    column->addWidget(tabs);
    column->addWidget(buttons);
}

void EngineDialog::restoreDefaults()
{
    const waves::EngineInputs defaults;
    for (int i = 0; i < waves::engineRanges().size(); ++i)
        m_boxes[i]->setText(formatBoxNumber(defaults.*waves::engineRanges()[i].member, m_locale));
    m_boxes[m_boxes.size() - 2]->clear();
    m_boxes.last()->clear();
    m_cycle->setCurrentIndex(0);
    m_scavenging->setCurrentIndex(0);
    m_portAreas.reset();
    m_intakePipe.reset();
    m_paths = EnginePaths();
    for (QLineEdit *box : m_ductBoxes)
        box->clear();
    m_variableGas->setChecked(m_paths.variableGas);
    showFiles();
}

void EngineDialog::accept()
{
    waves::EngineInputs e = m_engine;
    auto refuse = [&](QLineEdit *box, const QString &caption, double low, double high) {
        m_platform.showMessage(
            this, windowTitle(),
            tr("Valore non valido per \u201c%1\u201d: serve un numero tra %2 "
               "e %3")
                .arg(caption, formatBoxNumber(low, m_locale), formatBoxNumber(high, m_locale)),
            MessageIcon::Critical);
        // The box's page comes forward.
        m_tabs->setCurrentIndex(m_pages.value(int(m_boxes.indexOf(box))));
        box->setFocus();
    };
    const QList<waves::EngineRange> &ranges = waves::engineRanges();
    for (int i = 0; i < ranges.size(); ++i) {
        const std::optional<double> v = parseSettingNumber(m_boxes[i]->text(), m_locale);
        if (!v || *v < ranges[i].low || *v > ranges[i].high)
            return refuse(m_boxes[i], QString::fromUtf8(ranges[i].caption), ranges[i].low,
                          ranges[i].high);
        e.*ranges[i].member = *v;
    }
    const std::pair<std::optional<double> *, QString> sides[] = {{&e.bore, tr("Alesaggio (mm)")},
                                                                 {&e.stroke, tr("Corsa (mm)")}};
    for (int k = 0; k < 2; ++k) {
        QLineEdit *box = m_boxes[ranges.size() + k];
        if (box->text().trimmed().isEmpty()) {
            sides[k].first->reset();
            continue;
        }
        const std::optional<double> v = parseSettingNumber(box->text(), m_locale);
        if (!v || *v < waves::SmallestBoreMm || *v > waves::LargestBoreMm)
            return refuse(box, sides[k].second, waves::SmallestBoreMm, waves::LargestBoreMm);
        *sides[k].first = v;
    }
    // Both sides given: they must make the design's displacement.
    if (const std::optional<QString> other = engine::displacementDisagreement(e, m_locale)) {
        m_platform.showMessage(this, windowTitle(), *other, MessageIcon::Critical);
        m_tabs->setCurrentIndex(0);
        m_boxes.last()->setFocus();
        return;
    }
    e.cycle = engine::Cycle(m_cycle->currentData().toInt());
    const int s = m_scavenging->currentData().toInt();
    e.scavenging = s < 0 ? std::nullopt : std::optional(engine::Scavenging(s));
    // The transfer duct: three measures, or none at all.
    const QString ductCaptions[3] = {tr("Lunghezza del condotto di travaso (mm)"),
                                     tr("Diametro del condotto al carter (mm)"),
                                     tr("Diametro del condotto alla luce (mm)")};
    double duct[3] = {0, 0, 0};
    const bool anyDuct = std::any_of(m_ductBoxes.cbegin(), m_ductBoxes.cend(), [](QLineEdit *b) {
        return !b->text().trimmed().isEmpty();
    });
    for (int k = 0; k < 3 && anyDuct; ++k) {
        const auto [low, high] = waves::WaveOptions::TransferDuct::range(k);
        const std::optional<double> v = parseSettingNumber(m_ductBoxes[k]->text(), m_locale);
        if (!v || *v < low || *v > high)
            return refuse(m_ductBoxes[k], ductCaptions[k], low, high);
        duct[k] = *v;
    }
    m_paths.transferDuct =
        anyDuct ? std::optional(waves::WaveOptions::TransferDuct{duct[0], duct[1], duct[2]})
                : std::nullopt;
    m_paths.variableGas = m_variableGas->isChecked();
    e.portAreas = m_portAreas;
    m_engine = e;
    QDialog::accept();
}

void EngineDialog::showDerived()
{
    QLineEdit *boreBox = m_boxes[m_boxes.size() - 2], *strokeBox = m_boxes.last();
    const double swept = m_engine.displacement * 1000; // mm³
    const std::optional<double> bore = parseSettingNumber(boreBox->text(), m_locale),
                                stroke = parseSettingNumber(strokeBox->text(), m_locale);
    constexpr double Pi = 3.14159265358979323846;
    auto said = [&](double mm) {
        return tr("dalla cilindrata: %1").arg(m_locale.toString(mm, 'f', 1));
    };
    if (!(swept > 0)) {
        boreBox->setPlaceholderText(tr("dalla cilindrata"));
        strokeBox->setPlaceholderText(tr("dalla cilindrata"));
        return;
    }
    const double square = std::cbrt(4 * swept / Pi);
    boreBox->setPlaceholderText(said(stroke && *stroke > 0 ? std::sqrt(4 * swept / (Pi * *stroke))
                                                           : square));
    strokeBox->setPlaceholderText(said(bore && *bore > 0 ? swept / (Pi * *bore * *bore / 4)
                                                         : square));
}

waves::EngineInputs readEngineSettings(QSettings &settings)
{
    waves::EngineInputs e;
    settings.beginGroup(QStringLiteral("Officina/Motore"));
    for (const waves::EngineRange &r : waves::engineRanges()) {
        bool ok = false;
        const double v = settings.value(QLatin1String(r.option)).toString().toDouble(&ok);
        if (ok && v >= r.low && v <= r.high)
            e.*r.member = v;
    }
    for (const auto &[key, into] : {std::pair{"bore", &e.bore}, std::pair{"stroke", &e.stroke}}) {
        bool ok = false;
        const double v = settings.value(QLatin1String(key)).toString().toDouble(&ok);
        if (ok && v >= waves::SmallestBoreMm && v <= waves::LargestBoreMm)
            *into = v;
    }
    if (const std::optional<engine::Cycle> c =
            engine::cycleNamed(settings.value(QStringLiteral("cycle")).toString()))
        e.cycle = *c;
    e.scavenging = engine::scavengingNamed(settings.value(QStringLiteral("scavenging")).toString());
    settings.endGroup();
    return e;
}

void writeEngineSettings(QSettings &settings, const waves::EngineInputs &e)
{
    settings.beginGroup(QStringLiteral("Officina/Motore"));
    for (const waves::EngineRange &r : waves::engineRanges())
        settings.setValue(QLatin1String(r.option), QString::number(e.*r.member, 'g', 17));
    settings.setValue(QStringLiteral("bore"),
                      e.bore ? QString::number(*e.bore, 'g', 17) : QString());
    settings.setValue(QStringLiteral("stroke"),
                      e.stroke ? QString::number(*e.stroke, 'g', 17) : QString());
    settings.setValue(QStringLiteral("cycle"), engine::cycleName(e.cycle));
    settings.setValue(QStringLiteral("scavenging"),
                      e.scavenging ? engine::scavengingName(*e.scavenging) : QString());
    settings.endGroup();
}

} // namespace velmorant

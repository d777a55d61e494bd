// The engine dialog's files: the ports' areas, the intake pipe, the exhaust's and intake's
// systems, and the transfer duct's page.
#include "enginedialog.h"

#include "formbox.h"
#include "number.h"
#include "pipefile.h"
#include "platform.h"
#include "portmapview.h"
#include "projectpaths.h"
#include "safefile.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace velmorant {

namespace {

// What a system holds, in a few words.
QString systemSummary(const waves::PathFile &f)
{
    double litres = 0;
    for (const waves::PathVolume &v : f.path.volumes)
        litres += v.litres;
    return EngineDialog::tr("%1: %2 tubi, %3 volumi (%4 l)")
        .arg(QFileInfo(f.source).fileName())
        .arg(f.path.pipes.size())
        .arg(f.path.volumes.size())
        .arg(QLocale().toString(litres, 'g', 4));
}

} // namespace

QWidget *EngineDialog::fileRow(QLabel *&name, QPushButton *&choose, QPushButton *&drop,
                               const QString &key, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    name = new QLabel(row);
    name->setObjectName(QStringLiteral("lbl") + key);
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    name->setWordWrap(true);
    choose = new QPushButton(tr("Scegli..."), row);
    choose->setObjectName(QStringLiteral("cmd") + key);
    drop = new QPushButton(tr("Togli"), row);
    drop->setObjectName(QStringLiteral("cmdTogli") + key);
    layout->addWidget(name, 1);
    layout->addWidget(choose);
    layout->addWidget(drop);
    return row;
}

void EngineDialog::buildPathsPage(QFormLayout *page)
{
    QPushButton *chooseExhaust = nullptr, *chooseIntake = nullptr;
    page->addRow(tr("Scarico dopo il tubo"),
                 fileRow(m_exhaustSystem, chooseExhaust, m_dropExhaustSystem,
                         QStringLiteral("ImpiantoScarico"), this));
    page->addRow(tr("Aspirazione dal carter"),
                 fileRow(m_intakeSystem, chooseIntake, m_dropIntakeSystem,
                         QStringLiteral("ImpiantoAspirazione"), this));
    auto *note = new QLabel(
        tr("Un impianto \u00e8 un file JSON di tubi e volumi in ordine (vedere il manuale). "
           "Nello scarico il primo tubo del file sta per il tubo del progetto, di cui d\u00e0 "
           "la temperatura di parete; seguono i suoi volumi e tubi fino all'aria."),
        this);
    note->setWordWrap(true);
    page->addRow(note);
    auto *duct = new QWidget(this);
    auto *row = new QHBoxLayout(duct);
    row->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char *, QString> boxes[3] = {
        {"opt_transfer_length", tr("lunghezza")},
        {"opt_transfer_d1", tr("\u00d8 al carter")},
        {"opt_transfer_d2", tr("\u00d8 alla luce")}};
    const auto &d = m_paths.transferDuct;
    const double values[3] = {d ? d->lengthMm : 0, d ? d->d1Mm : 0, d ? d->d2Mm : 0};
    for (int k = 0; k < 3; ++k) {
        QLineEdit *box = formBox(QLatin1String(boxes[k].first), duct, 70);
        box->setPlaceholderText(boxes[k].second);
        if (d)
            box->setText(formatBoxNumber(values[k], m_locale));
        row->addWidget(box);
        m_ductBoxes << box;
        m_pages << 3;
    }
    page->addRow(tr("Condotto di travaso (mm)"), duct);
    m_variableGas = new QCheckBox(tr("Gas variabile: cp(T) dell'aria e dei gas combusti"), this);
    m_variableGas->setObjectName(QStringLiteral("chkGasVariabile"));
    m_variableGas->setChecked(m_paths.variableGas);
    m_variableGas->setToolTip(tr("Ogni cella dei tubi e ogni volume ha il gamma e la R della sua "
                                 "temperatura e della sua quota di gas combusti; spento, un solo "
                                 "gamma e R per tutto il gas"));
    page->addRow(tr("Gas"), m_variableGas);
    duct->setToolTip(tr("Dal carter alla luce del travaso: lunghezza, diametro al carter e alla "
                        "luce. Vuoto: la luce unisce carter e cilindro"));
    connect(chooseExhaust, &QPushButton::clicked, this, [this] { chooseSystem(true); });
    connect(chooseIntake, &QPushButton::clicked, this, [this] { chooseSystem(false); });
    connect(m_dropExhaustSystem, &QPushButton::clicked, this, [this] {
        m_paths.exhaust.reset();
        showFiles();
    });
    connect(m_dropIntakeSystem, &QPushButton::clicked, this, [this] {
        m_paths.intake.reset();
        showFiles();
    });
}

void EngineDialog::buildPortMapPage(QFormLayout *page)
{
    m_portMap = new PortMapView(m_locale, this);
    auto *slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QStringLiteral("sldAngoloLuci"));
    slider->setRange(0, 359);
    slider->setValue(int(m_portMap->angle()));
    slider->setToolTip(tr("L'angolo di manovella dal punto morto superiore"));
    connect(slider, &QSlider::valueChanged, m_portMap, [this](int v) { m_portMap->setAngle(v); });
    page->addRow(m_portMap);
    page->addRow(tr("Angolo (gradi dopo il PMS)"), slider);
    auto *note = new QLabel(tr("Scarico al centro con le ausiliarie accanto, travasi a coppie sui "
                               "fianchi, quello singolo dietro: la disposizione attorno al "
                               "cilindro \u00e8 indicativa, le fasature e le aree sono quelle "
                               "del file (l'aspirazione non vi \u00e8 disegnata)."),
                            this);
    note->setWordWrap(true);
    page->addRow(note);
    for (QLineEdit *box : m_boxes) {
        const QString name = box->objectName();
        if (name == QLatin1String("opt_bore") || name == QLatin1String("opt_stroke") ||
            name == QLatin1String("opt_con-rod"))
            connect(box, &QLineEdit::textChanged, this, &EngineDialog::showPortMap);
    }
}

void EngineDialog::setDesignRpm(double rpm)
{
    m_portMap->setRpm(rpm);
}

void EngineDialog::showPortMap()
{
    // The engine as the boxes say it now, where they say a number.
    waves::EngineInputs e = m_engine;
    for (QLineEdit *box : m_boxes) {
        const std::optional<double> v = parseSettingNumber(box->text(), m_locale);
        const QString name = box->objectName();
        if (name == QLatin1String("opt_bore"))
            e.bore = v;
        else if (name == QLatin1String("opt_stroke"))
            e.stroke = v;
        else if (name == QLatin1String("opt_con-rod") && v && *v > 1)
            e.conRodStrokes = *v;
    }
    const engine::EngineGeometry g = engine::engineGeometry(e);
    const bool drawable = m_paths.ports && g.bore > 0 && g.stroke > 0;
    m_portMap->setPorts(m_paths.ports ? std::optional(m_paths.ports->ports) : std::nullopt,
                        drawable ? waves::crankOf(g, m_paths.ports->ports) : engine::Crank(),
                        drawable ? g.bore * 1000 : 0);
}

void EngineDialog::showFiles()
{
    m_portFile->setText(m_portAreas     ? QFileInfo(m_portAreas->source).fileName()
                        : m_paths.ports ? tr("dalle luci per geometria")
                                        : tr("luci rettangolari dalle durate e dalle larghezze"));
    m_portFile->setToolTip(m_portAreas ? m_portAreas->source : QString());
    m_dropPorts->setEnabled(m_portAreas.has_value());
    m_portsFile->setText(m_paths.ports ? QFileInfo(m_paths.ports->source).fileName()
                                       : tr("nessuno"));
    m_portsFile->setToolTip(m_paths.ports ? m_paths.ports->source : QString());
    m_dropGeometry->setEnabled(m_paths.ports.has_value());
    showPortMap();
    m_intakeFile->setText(m_intakePipe ? QFileInfo(m_intakePipe->source).fileName()
                          : m_paths.intake ? tr("nell'impianto di aspirazione")
                                           : tr("nessuno: il carter respira da un foro"));
    m_intakeFile->setToolTip(m_intakePipe ? m_intakePipe->source : QString());
    m_dropIntake->setEnabled(m_intakePipe.has_value());
    m_exhaustSystem->setText(m_paths.exhaust ? systemSummary(*m_paths.exhaust)
                                             : tr("nessuno: il tubo finisce nell'aria"));
    m_exhaustSystem->setToolTip(m_paths.exhaust ? m_paths.exhaust->source : QString());
    m_dropExhaustSystem->setEnabled(m_paths.exhaust.has_value());
    m_intakeSystem->setText(m_paths.intake ? systemSummary(*m_paths.intake)
                                           : tr("nessuno"));
    m_intakeSystem->setToolTip(m_paths.intake ? m_paths.intake->source : QString());
    m_dropIntakeSystem->setEnabled(m_paths.intake.has_value());
}

void EngineDialog::choosePortAreas()
{
    const QString path = m_platform.openFileName(
        this, tr("Aree delle luci"),
        tr("Aree delle luci CSV (angle_deg,exhaust_mm2,transfer_mm2[,intake_mm2]) (*.csv)|*.csv|"
           "Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    engine::PortAreasRead read =
        readFileWith(path, engine::MaxPortAreaFileBytes, engine::readPortAreas);
    if (!read.ok()) {
        m_platform.showMessage(this, windowTitle(), read.error, MessageIcon::Critical);
        return;
    }
    read.table.source = path;
    m_portAreas = read.table;
    m_paths.ports.reset();
    showFiles();
}

void EngineDialog::choosePortGeometry()
{
    const QString path = m_platform.openFileName(
        this, tr("Luci per geometria"),
        tr("Luci JSON (scarico, travasi, aspirazione) (*.json)|*.json|Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    const waves::PortGeometryRead read =
        readFileWith(path, waves::MaxPortFileBytes, waves::readPortGeometry);
    if (!read.ok()) {
        m_platform.showMessage(this, windowTitle(), read.error, MessageIcon::Critical);
        return;
    }
    m_paths.ports = waves::PortsFile{path, read.ports};
    m_portAreas.reset();
    showFiles();
}

void EngineDialog::chooseIntakePipe()
{
    const QString path = m_platform.openFileName(
        this, tr("Condotto di aspirazione"),
        tr("Condotto CSV (x_mm,d_mm dall'aria al carter) (*.csv)|*.csv|Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    const PipeRead read = readPipeFile(path);
    if (!read.ok()) {
        m_platform.showMessage(this, windowTitle(), read.error, MessageIcon::Critical);
        return;
    }
    m_intakePipe = MeasuredPipe{path, read.pipe};
    m_paths.intake.reset();
    showFiles();
}

void EngineDialog::chooseSystem(bool exhaust)
{
    const QString path = m_platform.openFileName(
        this, exhaust ? tr("Impianto di scarico") : tr("Impianto di aspirazione"),
        tr("Impianto JSON (tubi e volumi in ordine) (*.json)|*.json|Tutti i file (*)|*"));
    if (path.isEmpty())
        return;
    const waves::GasPathRead read = readGasPathFile(path);
    if (!read.ok()) {
        m_platform.showMessage(this, windowTitle(), read.error, MessageIcon::Critical);
        return;
    }
    (exhaust ? m_paths.exhaust : m_paths.intake) = waves::PathFile{path, read.path};
    if (!exhaust)
        m_intakePipe.reset();
    showFiles();
}

} // namespace velmorant

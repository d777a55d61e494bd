#include "officinawindow.h"

#include "bandview.h"
#include "chamberview.h"
#include "methodsview.h"
#include "pipeform.h"
#include "routetab.h"
#include "sheetsview.h"
#include "texts.h"
#include "wavestab.h"

#include "formbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace velmorant {

OfficinaWindow::OfficinaWindow(Platform &platform, const QLocale &locale, QWidget *parent)
    : QMainWindow(parent), m_platform(platform), m_locale(locale)
{
    setObjectName(QStringLiteral("frmOfficina"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));

    auto *splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("splOfficina"));
    auto *scroll = new QScrollArea(splitter);
    scroll->setObjectName(QStringLiteral("scrModulo"));
    scroll->setWidget(buildForm());
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(240);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_tabs = new QTabWidget(splitter);
    m_tabs->setObjectName(QStringLiteral("tabViste"));
    buildTabs();
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    m_splitter = splitter;
    m_formWidth = scroll->widget()->sizeHint().width() + 24;
    setCentralWidget(splitter);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblRiepilogo"));
    m_summary->setMinimumWidth(80);
    m_staleNote = new QLabel(this);
    m_staleNote->setObjectName(QStringLiteral("lblDaAggiornare"));
    m_staleNote->setStyleSheet(QStringLiteral("color: #B71C1C;"));
    m_staleNote->hide();
    statusBar()->setObjectName(QStringLiteral("sbOfficina"));
    statusBar()->addWidget(m_staleNote);
    statusBar()->addWidget(m_summary, 1);
    // While the parts are being nested: how far, and a way to stop.
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgCalcolo"));
    m_progress->setRange(0, 100);
    m_progress->setFormat(tr("Disposizione %p %"));
    m_progress->setMinimumWidth(
        m_progress->fontMetrics().horizontalAdvance(tr("Disposizione %1 %").arg(100)) + 40);
    m_cancel = new QPushButton(tr("Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("cmdAnnullaCalcolo"));
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_cancel);
    m_progress->hide();
    m_cancel->hide();
    m_calculation = std::make_unique<Background<WorkshopRun>>(
        this, [this](int percent) { m_progress->setValue(percent); },
        [this](const WorkshopRun &run) { calculated(run); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_calculation->cancel(); });
    buildActions();

    // A new project on the options the builder used last time; the design from the defaults.
    QSettings settings;
    Project start = velmorant::newProject(readWorkshopSettings(settings), m_locale);
    start.workshop.pipe = readPipeSettings(settings, m_locale);
    start.engine = m_waves->engine();
    // Bore and stroke remembered together belong to the displacement they were given for.
    start.engine.displacement = defaultParameters()[Field::Cil];
    if (engine::displacementDisagreement(start.engine)) {
        start.engine.bore.reset();
        start.engine.stroke.reset();
    }
    start.engine.displacement = 0;
    setInputs(start);
    m_saved = projectJson(inputs(), m_locale);
    setStatusNote(tr("Premere Calcola per preparare il taglio"));

    // Every box, list and button reports a change; Enter presses a focused button; the
    // window's shortcuts win over the boxes' own.
    for (QLineEdit *e : findChildren<QLineEdit *>()) {
        connect(e, &QLineEdit::textChanged, this, &OfficinaWindow::inputsChanged);
        e->installEventFilter(this);
    }
    for (QComboBox *c : findChildren<QComboBox *>()) {
        if (c->objectName() != QLatin1String("cmbRegimeOnde"))
            connect(c, &QComboBox::currentIndexChanged, this, &OfficinaWindow::inputsChanged);
    }
    for (QPushButton *b : findChildren<QPushButton *>())
        b->installEventFilter(this);
    connect(m_pipeForm, &PipeForm::changed, this, &OfficinaWindow::inputsChanged);
    connect(m_waves, &WavesTab::inputsChanged, this, &OfficinaWindow::inputsChanged);
    connect(m_waves, &WavesTab::pipeChosen, this, &OfficinaWindow::usePipe);
    connect(m_waves, &WavesTab::stateChanged, this, &OfficinaWindow::inputsChanged);
    inputsChanged();
    fitToScreen();
}

OfficinaWindow::~OfficinaWindow() = default;

bool OfficinaWindow::calculating() const
{
    return m_calculation->busy();
}

QAction *OfficinaWindow::action(const char *name) const
{
    return findChild<QAction *>(QLatin1String(name));
}

QWidget *OfficinaWindow::buildForm()
{
    auto *form = new QWidget;
    auto *column = new QVBoxLayout(form);

    auto *design = new QGroupBox(tr("Progetto"), form);
    auto *designRows = new QFormLayout(design);
    designRows->setRowWrapPolicy(QFormLayout::WrapLongRows);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        m_parameters[i] = formBox(QLatin1String(fieldInfo(i).boxName), design);
        designRows->addRow(workshopCaption(i), m_parameters[i]);
    }
    m_name = formBox(QStringLiteral("txtNome"), design);
    m_name->setMaxLength(MaxNameLength); // a label on every part and page
    m_name->setPlaceholderText(tr("sulle sagome e nei file"));
    designRows->addRow(tr("Nome del progetto"), m_name);
    column->addWidget(design);

    auto *cutting = new QGroupBox(tr("Lamiera e taglio"), form);
    auto *cuttingRows = new QFormLayout(cutting);
    cuttingRows->setRowWrapPolicy(QFormLayout::WrapLongRows);
    for (std::size_t i = 0; i < workshopNumbers().size(); ++i) {
        const WorkshopNumber &n = workshopNumbers()[i];
        m_numbers[i] = formBox(QStringLiteral("opt_") + QLatin1String(n.key), cutting);
        cuttingRows->addRow(QCoreApplication::translate("velmorant", n.caption), m_numbers[i]);
    }
    m_sheetWidth = formBox(QStringLiteral("opt_sheet-width"), cutting);
    m_sheetHeight = formBox(QStringLiteral("opt_sheet-height"), cutting);
    cuttingRows->addRow(tr("Larghezza lamiera (mm)"), m_sheetWidth);
    cuttingRows->addRow(tr("Altezza lamiera (mm)"), m_sheetHeight);
    m_page = new QComboBox(cutting);
    m_page->setObjectName(QStringLiteral("cmbPagina"));
    m_page->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    m_page->addItem(QStringLiteral("A3"), int(QPageSize::A3));
    m_page->addItem(QStringLiteral("Letter"), int(QPageSize::Letter));
    cuttingRows->addRow(tr("Carta delle sagome PDF"), m_page);
    column->addWidget(cutting);
    m_pipeForm = new PipeForm(m_platform, form);
    column->addWidget(m_pipeForm);
    column->addStretch(1);
    // Enter in any box calculates.
    for (QLineEdit *e : form->findChildren<QLineEdit *>())
        connect(e, &QLineEdit::returnPressed, this, &OfficinaWindow::calculate);
    return form;
}

void OfficinaWindow::buildTabs()
{
    m_chamber = new ChamberView(m_tabs);
    m_sheets = new SheetsView(m_tabs);
    m_warnings = new QListWidget(m_tabs);
    m_warnings->setObjectName(QStringLiteral("lstAvvisi"));
    m_warnings->setWordWrap(true);
    m_cutList = new QTableWidget(m_tabs);
    m_cutList->setObjectName(QStringLiteral("tblDistinta"));
    m_cutList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The piece and where it lies on its sheet, then its own size, area and mass.
    const QStringList columns{tr("Pezzo"),          tr("Segmento"),
                              tr("Foglio"),         tr("X sul foglio (mm)"),
                              tr("Y sul foglio (mm)"), tr("Rotazione (\u00b0)"),
                              tr("Larghezza (mm)"), tr("Altezza (mm)"),
                              tr("Area (cm\u00b2)"), tr("Massa (kg)")};
    m_cutList->setColumnCount(int(columns.size()));
    m_cutList->setHorizontalHeaderLabels(columns);
    m_cutList->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_band = new BandView(m_locale, m_tabs);
    // No plot is exported over the project or a file it reads.
    const plot::View::OutputCheck outputCheck = [this](const QString &path) {
        return overwritesInput(path, true);
    };
    m_band->setExport(&m_platform, tr("fascia"), outputCheck);
    // The methods to compare, chosen above their drawing.
    auto *methodsTab = new QWidget(m_tabs);
    auto *methodsColumn = new QVBoxLayout(methodsTab);
    methodsColumn->setContentsMargins(0, 4, 0, 0);
    auto *choices = new QHBoxLayout;
    for (const QString &key : pipeMethods()) {
        QString caption = methodCaption(key);
        caption[0] = caption[0].toUpper();
        auto *check = new QCheckBox(caption, methodsTab);
        check->setObjectName(QStringLiteral("chkMetodo_") + key);
        check->setChecked(true);
        connect(check, &QCheckBox::toggled, this, &OfficinaWindow::showMethods);
        choices->addWidget(check);
        m_shownMethods << check;
    }
    choices->addStretch(1);
    methodsColumn->addLayout(choices);
    m_methods = new MethodsView(methodsTab);
    methodsColumn->addWidget(m_methods, 1);
    m_waves = new WavesTab(m_platform, m_locale, m_tabs);
    m_waves->setOutputCheck(outputCheck);
    m_route = new RouteTab(m_locale, m_tabs);
    connect(m_route, &RouteTab::changed, this, &OfficinaWindow::inputsChanged);
    connect(m_route, &RouteTab::note, this, &OfficinaWindow::setStatusNote);
    m_route->exportStl = [this](const QByteArray &stl) { exportBody(stl); };
    m_tabCaptions = {tr("Camera in scala"), tr("Lamiere"),  tr("Avvisi"), tr("Distinta di taglio"),
                     tr("Fascia di giri"),  tr("Metodi"), tr("Onde"),   tr("Percorso")};
    const QList<QWidget *> pages{m_chamber, m_sheets,   m_warnings, m_cutList,
                                 m_band,    methodsTab, m_waves,    m_route};
    for (int i = 0; i < pages.size(); ++i)
        m_tabs->addTab(pages[i], m_tabCaptions[i]);
}

void OfficinaWindow::fitToScreen()
{
    // Most of the screen's free area (1280 x 800 at least, where the screen has it), less the
    // frame.
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect free = s ? s->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize wanted(std::max(1280, free.width() * 17 / 20), std::max(800, free.height() * 9 / 10));
    const QSize frame(16, 48); // borders and title of a usual window manager
    const QSize size = wanted.boundedTo(free.size() - frame).expandedTo(minimumSizeHint());
    resize(size);
    // The boxes at their natural width, but never more than two fifths of a small window.
    m_splitter->setSizes({std::min(m_formWidth, size.width() * 2 / 5), size.width()});
    move(free.topLeft() + QPoint(std::max(0, (free.width() - size.width() - frame.width()) / 2),
                                 std::max(0, (free.height() - size.height() - frame.height()) / 2)));
}

WorkshopTexts OfficinaWindow::texts() const
{
    WorkshopTexts t;
    for (std::size_t i = 0; i < FieldCount; ++i)
        t.parameters[i] = m_parameters[i]->text();
    for (std::size_t i = 0; i < m_numbers.size(); ++i)
        t.numbers[i] = m_numbers[i]->text();
    t.sheetWidth = m_sheetWidth->text();
    t.sheetHeight = m_sheetHeight->text();
    t.name = m_name->text();
    t.pipe = m_pipeForm->texts();
    t.space = m_route->space();
    return t;
}

void OfficinaWindow::setTexts(const WorkshopTexts &t)
{
    for (std::size_t i = 0; i < FieldCount; ++i)
        m_parameters[i]->setText(t.parameters[i]);
    for (std::size_t i = 0; i < m_numbers.size(); ++i)
        m_numbers[i]->setText(t.numbers[i]);
    m_sheetWidth->setText(t.sheetWidth);
    m_sheetHeight->setText(t.sheetHeight);
    m_name->setText(t.name);
    m_pipeForm->setTexts(t.pipe);
    m_route->setSpace(t.space);
}

void OfficinaWindow::usePipe(const Pipe &pipe, const QString &name)
{
    // Cut from its sections as they are, kept in the project under the search's band.
    PipeTexts t = m_pipeForm->texts();
    t.method = QLatin1String(SearchedMethod);
    Pipe kept = pipe;
    kept.method = QLatin1String(SearchedMethod);
    t.searched = MeasuredPipe{name, kept};
    m_pipeForm->setTexts(t);
    inputsChanged();
    calculate();
}

Project OfficinaWindow::inputs() const
{
    Project p;
    p.workshop = texts();
    p.paper = m_page->currentText();
    p.engine = m_waves->engine();
    p.waves = m_waves->texts();
    p.trace = m_waves->trace();
    p.bench = m_waves->bench();
    return p;
}

void OfficinaWindow::setInputs(const Project &p)
{
    m_loading = true;
    setTexts(p.workshop);
    m_page->setCurrentIndex(std::max(0, m_page->findText(p.paper)));
    m_waves->setEngine(p.engine);
    m_waves->setTexts(p.waves);
    m_waves->setTrace(p.trace);
    m_waves->setBench(p.bench);
    m_loading = false;
}

void OfficinaWindow::setStatusNote(const QString &text)
{
    m_summaryText = text;
    m_summary->setText(text);
}

void OfficinaWindow::message(const Message &m)
{
    m_platform.showMessage(this, windowTitle(), m.text, m.icon);
}

bool OfficinaWindow::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit *>(watched)) {
        // A box keeps the keys it edits with, but not the window's commands (Ctrl+E is the
        // end of the line to a box, and Esporta to the builder).
        auto *key = static_cast<QKeyEvent *>(e);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction *a : findChildren<QAction *>()) {
            if (!a->shortcut().isEmpty() && a->shortcut() == pressed &&
                pressed != QKeySequence(QKeySequence::Copy) &&
                pressed != QKeySequence(QKeySequence::Paste) &&
                pressed != QKeySequence(QKeySequence::Cut) &&
                pressed != QKeySequence(QKeySequence::SelectAll) &&
                pressed != QKeySequence(QKeySequence::Undo))
                return true;
        }
    }
    if (e->type() == QEvent::KeyPress) {
        auto *button = qobject_cast<QPushButton *>(watched);
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter) && button->isEnabled()) {
            button->animateClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void OfficinaWindow::updateStop()
{
    if (m_stop)
        m_stop->setEnabled(calculating() || m_waves->busy());
}

void OfficinaWindow::cancelWork()
{
    m_calculation->cancel();
    m_waves->cancel();
}

} // namespace velmorant

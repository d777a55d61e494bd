#include "officinawindow.h"

#include "bandview.h"
#include "chamberview.h"
#include "methodsview.h"
#include "pipeform.h"
#include "sheetsview.h"
#include "texts.h"
#include "wavestab.h"

#include "formbox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velmorant {

OfficinaWindow::OfficinaWindow(Platform &platform, const QLocale &locale, QWidget *parent)
    : QMainWindow(parent), m_platform(platform), m_locale(locale)
{
    setObjectName(QStringLiteral("frmOfficina"));
    setWindowTitle(tr("Velmorant Officina"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));

    auto *splitter = new QSplitter(this);
    auto *scroll = new QScrollArea(splitter);
    scroll->setWidget(buildForm());
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(scroll->widget()->sizeHint().width() + 24);

    m_tabs = new QTabWidget(splitter);
    m_tabs->setObjectName(QStringLiteral("tabViste"));
    m_chamber = new ChamberView(m_tabs);
    m_sheets = new SheetsView(m_tabs);
    m_warnings = new QListWidget(m_tabs);
    m_warnings->setObjectName(QStringLiteral("lstAvvisi"));
    m_warnings->setWordWrap(true);
    m_cutList = new QTableWidget(m_tabs);
    m_cutList->setObjectName(QStringLiteral("tblDistinta"));
    m_cutList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // As the CSV: the placed part's box in the sheet's frame, then the part's own box.
    const QStringList columns{tr("Pezzo"),
                              tr("Segmento"),
                              tr("Foglio"),
                              tr("X sul foglio (mm)"),
                              tr("Y sul foglio (mm)"),
                              tr("Rotazione (\u00b0)"),
                              tr("Ingombro sul foglio, larghezza (mm)"),
                              tr("Ingombro sul foglio, altezza (mm)"),
                              tr("Pezzo, larghezza (mm)"),
                              tr("Pezzo, altezza (mm)"),
                              tr("Area (cm\u00b2)"),
                              tr("Massa (kg)")};
    m_cutList->setColumnCount(int(columns.size()));
    m_cutList->setHorizontalHeaderLabels(columns);
    m_cutList->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tabs->addTab(m_chamber, tr("Camera in scala"));
    m_tabs->addTab(m_sheets, tr("Lamiere"));
    m_tabs->addTab(m_warnings, tr("Avvisi"));
    m_tabs->addTab(m_cutList, tr("Distinta di taglio"));
    m_band = new BandView(m_tabs);
    // The methods to compare, chosen above their drawing.
    auto *methodsTab = new QWidget(m_tabs);
    auto *methodsColumn = new QVBoxLayout(methodsTab);
    methodsColumn->setContentsMargins(0, 4, 0, 0);
    auto *choices = new QHBoxLayout;
    const QString methodCaptions[] = {tr("Primo dimensionamento"), tr("Blair, 2 stadi"),
                                      tr("Blair, 3 stadi"), tr("Jennings, un cono")};
    for (int i = 0; i < pipeMethods().size(); ++i) {
        auto *check = new QCheckBox(methodCaptions[i], methodsTab);
        check->setObjectName(QStringLiteral("chkMetodo_") + pipeMethods()[i]);
        check->setChecked(true);
        connect(check, &QCheckBox::toggled, this, &OfficinaWindow::showMethods);
        choices->addWidget(check);
        m_shownMethods << check;
    }
    choices->addStretch(1);
    methodsColumn->addLayout(choices);
    m_methods = new MethodsView(methodsTab);
    methodsColumn->addWidget(m_methods, 1);
    m_tabs->addTab(m_band, tr("Fascia di giri"));
    m_tabs->addTab(methodsTab, tr("Metodi"));
    m_waves = new WavesTab(m_platform, m_locale, m_tabs);
    m_tabs->addTab(m_waves, tr("Onde"));
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);

    m_summary = new QLabel(tr("Premere Calcola per preparare il taglio"), this);
    m_summary->setObjectName(QStringLiteral("lblRiepilogo"));
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
    buildMenus();

    // The options the builder used last time; the design starts from the defaults.
    QSettings settings;
    WorkshopTexts start =
        workshopTexts(defaultParameters(), readWorkshopSettings(settings), m_locale);
    start.pipe = readPipeSettings(settings, m_locale);
    setTexts(start);
    resize(1200, 760);
}

OfficinaWindow::~OfficinaWindow() = default;

bool OfficinaWindow::calculating() const
{
    return m_calculation->busy();
}

QWidget *OfficinaWindow::buildForm()
{
    auto *form = new QWidget;
    auto *column = new QVBoxLayout(form);

    auto *design = new QGroupBox(tr("Progetto"), form);
    auto *designRows = new QFormLayout(design);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        m_parameters[i] = formBox(QLatin1String(fieldInfo(i).boxName), design);
        designRows->addRow(fieldCaption(i), m_parameters[i]);
    }
    m_name = formBox(QStringLiteral("txtNome"), design);
    m_name->setPlaceholderText(tr("sulle sagome e nei file"));
    designRows->addRow(tr("Nome del progetto"), m_name);
    column->addWidget(design);

    auto *cutting = new QGroupBox(tr("Lamiera e taglio"), form);
    auto *cuttingRows = new QFormLayout(cutting);
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

    auto *buttons = new QHBoxLayout;
    const std::pair<const char *, void (OfficinaWindow::*)()> commands[] = {
        {"cmdApri", &OfficinaWindow::openFile},
        {"cmdCalcola", &OfficinaWindow::calculate},
        {"cmdStampa", &OfficinaWindow::print},
        {"cmdEsporta", &OfficinaWindow::exportParts}};
    const QString captions[] = {tr("Apri..."), tr("Calcola"), tr("Stampa..."), tr("Esporta...")};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton(captions[i], form);
        button->setObjectName(QLatin1String(commands[i].first));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, commands[i].second);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);
    column->addStretch(1);
    // Enter in any box calculates.
    for (QLineEdit *e : form->findChildren<QLineEdit *>())
        connect(e, &QLineEdit::returnPressed, this, &OfficinaWindow::calculate);
    return form;
}

void OfficinaWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    auto add = [this](QMenu *menu, const char *name, const QString &text, const QKeySequence &keys,
                      auto slot) {
        QAction *a = menu->addAction(text, this, slot);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        return a;
    };
    add(file, "mnuApri", tr("&Apri..."), QKeySequence::Open, &OfficinaWindow::openFile);
    add(file, "mnuEsporta", tr("&Esporta..."), QKeySequence(tr("Ctrl+E")),
        &OfficinaWindow::exportParts);
    add(file, "mnuStampa", tr("&Stampa..."), QKeySequence::Print, &OfficinaWindow::print);
    file->addSeparator();
    add(file, "mnuEsci", tr("E&sci"), QKeySequence::Quit, &OfficinaWindow::close);
    QMenu *tools = menuBar()->addMenu(tr("A&zioni"));
    add(tools, "mnuCalcola", tr("&Calcola"), QKeySequence(Qt::Key_F5), &OfficinaWindow::calculate);
    QMenu *view = menuBar()->addMenu(tr("&Visualizza"));
    auto current = [this]() -> ZoomView * {
        QWidget *tab = m_tabs->currentWidget();
        auto *view = qobject_cast<ZoomView *>(tab);
        return view ? view : tab->findChild<ZoomView *>();
    };
    add(view, "mnuAdatta", tr("&Adatta alla finestra"), QKeySequence(tr("Ctrl+0")), [current] {
        if (ZoomView *v = current())
            v->fit();
    });
    add(view, "mnuIngrandisci", tr("&Ingrandisci"), QKeySequence::ZoomIn, [current] {
        if (ZoomView *v = current())
            v->zoomIn();
    });
    add(view, "mnuRiduci", tr("&Riduci"), QKeySequence::ZoomOut, [current] {
        if (ZoomView *v = current())
            v->zoomOut();
    });
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
}

void OfficinaWindow::setStatusNote(const QString &text)
{
    m_summary->setText(text);
}

void OfficinaWindow::message(const Message &m)
{
    m_platform.showMessage(this, windowTitle(), m.text, m.icon);
}

} // namespace velmorant

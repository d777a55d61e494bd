// The workshop window as a document and as a window to work in: projects saved, opened and
// asked about before they are dropped; results that never outlive the boxes they came from;
// the keyboard; a window that fits a laptop's screen.
#include "enginedialog.h"
#include "failingdisk.h"
#include "fakeplatform.h"
#include "officinafixture.h"
#include "officinawindow.h"
#include "pipecsv.h"
#include "project.h"
#include "testfiles.h"
#include "wavestab.h"
#include "windowtest.h"
#include "xserver.h"

#include <QProcess>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

using namespace velmorant;
using test::readAll;

class TestOfficinaDocument : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init();
    void cleanup() { w.reset(); }

    void saveAndOpenAgain();
    void unsavedWorkIsAskedAbout_data();
    void unsavedWorkIsAskedAbout();
    void measuredPipeTravelsInTheProject();
    void failedSaveKeepsOldFile();
    void newerProjectRefused();
    void staleResultsNeverLeave();
    void measuredPipeNotReshaped();
    void temperaturesSaidOnTheWavesTab();
    void keyboard();
    void windowShortcutsWinOverTextBoxes();
    void fitsTheScreen_data();
    void fitsTheScreen();

};

void TestOfficinaDocument::init()
{
    QVERIFY(startWindow());
}

void TestOfficinaDocument::saveAndOpenAgain()
{
    QVERIFY(!w->modified());
    QVERIFY(w->windowTitle().startsWith("Senza nome"));
    box("txtCil")->setText("125");
    box("opt_sheet")->setText("1,5");
    box("opt_waves-from")->setText("8000");
    QVERIFY(w->modified());
    QVERIFY(w->isWindowModified());
    // Salva without a name asks for one, proposing the project's, and adds the suffix.
    box("txtNome")->setText("scarico");
    platform.fileAnswers << dir->filePath("scarico");
    run("mnuSalva");
    QCOMPARE(platform.fileRequests.size(), 1);
    QCOMPARE(platform.fileRequests[0].proposed, "scarico.vlo");
    const QString path = dir->filePath("scarico.vlo");
    QCOMPARE(w->projectPath(), path);
    QVERIFY(!w->modified());
    QVERIFY(!w->isWindowModified());
    QVERIFY(w->windowTitle().startsWith("scarico.vlo"));
    QVERIFY(looksLikeProject(readAll(path)));
    // Salva again writes there without asking.
    box("opt_seam")->setText("8");
    run("mnuSalva");
    QCOMPARE(platform.fileRequests.size(), 1);
    QVERIFY(readAll(path).contains("\"seam\": 8"));

    // A new project, then the saved one opened from the recent files.
    run("mnuNuovo");
    QCOMPARE(box("txtCil")->text(), "100");
    QVERIFY(w->projectPath().isEmpty());
    QMenu *recent = w->findChild<QMenu *>("mnuRecenti");
    QVERIFY(recent->isEnabled());
    QAction *first = w->findChild<QAction *>("mnuRecente1");
    QVERIFY(first && first->toolTip() == path);
    first->trigger();
    settle();
    QCOMPARE(box("txtCil")->text(), "125");
    QCOMPARE(box("opt_sheet")->text(), "1,5");
    QCOMPARE(box("opt_seam")->text(), "8");
    QCOMPARE(box("opt_waves-from")->text(), "8000");
    QVERIFY(!w->modified());
    // Opened, it is calculated.
    QVERIFY(w->plan().has_value());
    QCOMPARE(w->plan()->parameters[Field::Cil], 125.0);
}

void TestOfficinaDocument::unsavedWorkIsAskedAbout_data()
{
    QTest::addColumn<QString>("command"); // what would drop the work
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("dropped");
    for (const char *command : {"mnuNuovo", "mnuApri", "close"}) {
        QTest::addRow("%s, cancel", command) << command << int(SaveChoice::Cancel) << false;
        QTest::addRow("%s, discard", command) << command << int(SaveChoice::Discard) << true;
        QTest::addRow("%s, save", command) << command << int(SaveChoice::Save) << true;
    }
}

// Quit, Apri and Nuovo ask before unsaved work goes: Annulla keeps it, Non salvare drops it,
// Salva writes it first.
void TestOfficinaDocument::unsavedWorkIsAskedAbout()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, dropped);
    const QString other = dir->filePath("altro.vlr");
    QVERIFY(test::writeBytes(other, "150\r\n9000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n4\r\n"));
    box("txtCil")->setText("123");
    platform.saveAnswers << SaveChoice(answer);
    if (SaveChoice(answer) == SaveChoice::Save)
        platform.fileAnswers << dir->filePath("salvato.vlo");
    if (command == "mnuApri")
        platform.fileAnswers << other;
    if (command == "close")
        w->close();
    else
        run(qPrintable(command));
    QCOMPARE(platform.saveQuestions.size(), 1);
    QVERIFY(platform.saveQuestions[0].contains("Senza nome"));
    if (command == "close") {
        QCOMPARE(w->isVisible(), !dropped);
    } else {
        QCOMPARE(box("txtCil")->text() == "123", !dropped);
    }
    if (SaveChoice(answer) == SaveChoice::Save) {
        const ProjectRead saved = readProjectFile(dir->filePath("salvato.vlo"), QLocale("it_IT"));
        QVERIFY2(saved.ok(), qPrintable(saved.error));
        QCOMPARE(saved.project.workshop.parameters[0], "123");
    }
    // Nothing unsaved: nothing asked.
    if (command != "close") {
        platform.saveQuestions.clear();
        if (command == "mnuApri")
            platform.fileAnswers << other;
        if (w->modified())
            return; // the cancelled case keeps its change
        run(qPrintable(command));
        QCOMPARE(platform.saveQuestions.size(), 0);
    }
}

// The measured pipe's stations go into the project: it opens, and cuts the same pipe, once the
// file it came from is gone.
void TestOfficinaDocument::measuredPipeTravelsInTheProject()
{
    const QString csv = dir->filePath("banco.csv");
    QVERIFY(test::writeBytes(csv, "x_mm;d_mm\n0;38,5\n300;38,5\n600;90\n900;90\n1000;30\n1200;30\n"));
    platform.fileAnswers << csv;
    w->findChild<QPushButton *>("cmdSfogliaTubo")->click();
    run("mnuCalcola");
    QVERIFY(w->plan() && w->plan()->pipe);
    const QByteArray cut = pipeCsv(*w->plan()->pipe);
    platform.fileAnswers << dir->filePath("con-tubo.vlo");
    run("mnuSalvaConNome");
    QVERIFY(QFile::remove(csv));
    run("mnuNuovo");
    QVERIFY(w->openPath(dir->filePath("con-tubo.vlo")));
    settle();
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    QVERIFY(w->plan() && w->plan()->pipe);
    QCOMPARE(pipeCsv(*w->plan()->pipe), cut);
}

void TestOfficinaDocument::failedSaveKeepsOldFile()
{
    const QByteArray old = projectJson(newProject(WorkshopOptions(), QLocale::c()), QLocale::c());
    test::FullDisk disk({{QStringLiteral("pieno.vlo"), old}});
    if (!disk.available())
        QSKIP(qPrintable(disk.why()));
    box("txtCil")->setText("140");
    platform.fileAnswers << disk.path("pieno.vlo");
    run("mnuSalvaConNome");
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].icon, MessageIcon::Critical);
    QVERIFY(platform.messages[0].text.contains("spazio esaurito sul disco"));
    QCOMPARE(readAll(disk.path("pieno.vlo")), old);
    QCOMPARE(test::entries(disk.folder()), (QStringList{"pieno.vlo", "zz-filler"}));
    QVERIFY(w->modified()); // still to be saved
    QVERIFY(w->projectPath().isEmpty());
}

void TestOfficinaDocument::newerProjectRefused()
{
    QByteArray bytes = projectJson(newProject(WorkshopOptions(), QLocale::c()), QLocale::c());
    bytes.replace(QByteArray("\"version\": ") + QByteArray::number(ProjectFormat), "\"version\": 99");
    const QString path = dir->filePath("futuro.vlo");
    QVERIFY(test::writeBytes(path, bytes));
    box("txtCil")->setText("130");
    QVERIFY(!w->openPath(path));
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains("formato 99, pi\u00f9 recente"),
             qPrintable(platform.messages[0].text));
    QCOMPARE(box("txtCil")->text(), "130");
}

// Change a box after Calcola: the views say they are old, and nothing old leaves the window:
// no export, no print, no waves of a pipe the boxes no longer describe.
void TestOfficinaDocument::staleResultsNeverLeave()
{
    run("mnuCalcola");
    QVERIFY(!w->resultsStale());
    auto *tabs = w->findChild<QTabWidget *>("tabViste");
    QStringList names;
    for (int i = 0; i < tabs->count(); ++i)
        names << tabs->tabText(i);
    box("opt_sheet")->setText("2");
    QVERIFY(w->resultsStale());
    // One note says it; the tabs keep their names, all in view.
    QVERIFY(w->findChild<QLabel *>("lblDaAggiornare")->isVisible());
    for (int i = 0; i < tabs->count(); ++i)
        QCOMPARE(tabs->tabText(i), names[i]);
    // Esporta and Stampa refuse, asking for nothing.
    platform.fileAnswers << dir->filePath("vecchio.dxf");
    run("mnuEsporta");
    run("mnuStampa");
    QCOMPARE(platform.fileRequests.size(), 0);
    QCOMPARE(platform.printerRequests, 0);
    QCOMPARE(platform.messages.size(), 2);
    QVERIFY(platform.messages[0].text.contains("Premere Calcola"));
    QCOMPARE(test::entries(dir->path()), QStringList());
    // Nor do the waves run on the old pipe.
    w->action("mnuCalcolaOnde")->trigger();
    QVERIFY(!w->waves()->busy());
    QCOMPARE(platform.messages.size(), 3);
    QCOMPARE(tabs->currentWidget(), w->waves());
    // Back to what was calculated: current again.
    box("opt_sheet")->setText("1");
    QVERIFY(!w->resultsStale());
    QVERIFY(!w->findChild<QLabel *>("lblDaAggiornare")->isVisible());
    run("mnuEsporta");
    QCOMPARE(platform.fileRequests.size(), 1);
    QVERIFY(readAll(dir->filePath("vecchio.dxf")).startsWith("  0"));
}

// A measured pipe is cut as measured, whatever the stage and horn boxes say.
void TestOfficinaDocument::measuredPipeNotReshaped()
{
    const QString csv = dir->filePath("uno.csv");
    QVERIFY(test::writeBytes(csv, "x_mm,d_mm\n0,38\n300,38\n700,90\n900,90\n1000,30\n1200,30\n"));
    box("opt_stages")->setText("3");
    box("opt_horn")->setText("1,5");
    platform.fileAnswers << csv;
    w->findChild<QPushButton *>("cmdSfogliaTubo")->click();
    QVERIFY(!box("opt_stages")->isEnabled());
    QVERIFY(!box("opt_horn")->isEnabled());
    run("mnuCalcola");
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    QCOMPARE(w->plan()->pipe->sections.size(), 5);
    QCOMPARE(pipeCsv(*w->plan()->pipe), pipeCsv(readPipeCsv(readAll(csv)).pipe));
}

void TestOfficinaDocument::temperaturesSaidOnTheWavesTab()
{
    box("txtTemp1")->setText("650");
    run("mnuCalcola");
    const QString said = w->findChild<QLabel *>("lblTemperature")->text();
    QVERIFY2(said.contains("gas nel tubo all'avvio 650 \u00b0C (dal progetto)"), qPrintable(said));
    QVERIFY2(said.contains("cilindro dalla combustione del ciclo prima (accensione 18\u00b0"),
             qPrintable(said));
    // The fixed cycle's cylinder is the state it is given.
    waves::EngineInputs fixed = w->waves()->engine();
    fixed.cycle = engine::Cycle::Fixed;
    w->waves()->setEngine(fixed);
    const QString again = w->findChild<QLabel *>("lblTemperature")->text();
    QVERIFY2(again.contains("all'apertura dello scarico 1000 \u00b0C e 5 bar"), qPrintable(again));
}

void TestOfficinaDocument::keyboard()
{
    // Enter on a focused button presses it.
    auto *engine = w->findChild<QPushButton *>("cmdMotore");
    w->findChild<QTabWidget *>("tabViste")->setCurrentWidget(w->waves());
    engine->setFocus();
    QTest::keyClick(engine, Qt::Key_Return);
    QTRY_VERIFY(w->findChild<EngineDialog *>("dlgMotore"));
    w->findChild<EngineDialog *>("dlgMotore")->reject();
    QTRY_VERIFY(!w->findChild<EngineDialog *>("dlgMotore"));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    // Ctrl+E in a text box is Esporta, not the box's end of line.
    run("mnuCalcola");
    box("txtNome")->setFocus();
    QTest::keyClick(box("txtNome"), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(platform.fileRequests.size(), 1);
    QCOMPARE(platform.fileRequests[0].title, "Esporta");
    // The tabs by number; F6 runs the waves, Esc stops them.
    QTest::keyClick(box("txtNome"), Qt::Key_7, Qt::AltModifier);
    QCOMPARE(w->findChild<QTabWidget *>("tabViste")->currentWidget(), w->waves());
    box("opt_waves-from")->setText("5000");
    box("opt_waves-to")->setText("15000");
    box("opt_waves-step")->setText("500");
    QTest::keyClick(box("txtNome"), Qt::Key_F6);
    QVERIFY(w->waves()->busy());
    QTest::keyClick(box("txtNome"), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!w->waves()->busy(), 30000);
    QCOMPARE(w->findChild<QLabel *>("lblOnde")->text(), "Simulazione annullata.");
    // Esc stops a long nesting too.
    box("txtCil")->setText("500");
    box("opt_max-length")->setText("1,2");
    QTest::keyClick(box("txtNome"), Qt::Key_F5);
    QVERIFY(w->calculating());
    QTest::keyClick(box("txtNome"), Qt::Key_Escape);
    settle();
    QVERIFY(w->findChild<QLabel *>("lblRiepilogo")->text().startsWith("Calcolo annullato"));
}

// On X11 a text box takes Ctrl+E for the end of its line; the window's Esporta must win. (The
// offscreen platform has no such keys, so this runs on a real X server.)
void TestOfficinaDocument::windowShortcutsWinOverTextBoxes()
{
    test::XServer x;
    if (!x.available())
        QSKIP("needs Xvfb, openbox and xprop (packages xvfb, openbox, x11-utils)");
    QVERIFY2(x.start(), qPrintable(x.why()));
    QVERIFY2(x.startWindowManager(), qPrintable(x.why()));
    QProcess probe;
    probe.setProcessEnvironment(x.environment());
    probe.start(QStringLiteral(KEYS_PROBE));
    QVERIFY(probe.waitForFinished(60000));
    const QString said = QString::fromLatin1(probe.readAllStandardOutput()).trimmed();
    QVERIFY2(said == QLatin1String("xcb 1"),
             qPrintable(said + QLatin1Char(' ') + QString::fromLocal8Bit(probe.readAllStandardError())));
}

void TestOfficinaDocument::fitsTheScreen_data()
{
    // The free area a window gets: a 1366 x 768 laptop with a 40 px panel, at 100 % and at
    // 125 % (in the window's own pixels); and a 1920 x 1080 monitor.
    QTest::addColumn<QSize>("free");
    QTest::newRow("1366x768") << QSize(1366, 768 - 40);
    QTest::newRow("1366x768 at 125 %") << QSize(1366 * 4 / 5, (768 - 40) * 4 / 5);
    QTest::newRow("1920x1080") << QSize(1920, 1080 - 40);
}

// Inside the free area with its frame (a usual title and borders), its commands in view and
// every tab's controls inside the tab.
void TestOfficinaDocument::fitsTheScreen()
{
    QFETCH(QSize, free);
    const QSize frame(16, 48);
    const QSize room = free - frame;
    QVERIFY2(w->minimumSizeHint().width() <= room.width() &&
                 w->minimumSizeHint().height() <= room.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(w->minimumSizeHint().width()).arg(
                 w->minimumSizeHint().height())));
    w->resize(room);
    QTRY_COMPARE(w->size(), room);
    const QRect inside = w->rect();
    auto *bar = w->findChild<QToolBar *>("tbOfficina");
    QVERIFY(bar->isVisible());
    for (const char *command : {"mnuCalcola", "mnuEsporta", "mnuStampa", "mnuCalcolaOnde"}) {
        QWidget *button = bar->widgetForAction(w->action(command));
        QVERIFY2(button && button->isVisible() &&
                     inside.contains(QRect(button->mapTo(w.get(), QPoint(0, 0)), button->size())),
                 command);
    }
    QVERIFY(inside.contains(w->statusBar()->geometry()));
    auto *tabs = w->findChild<QTabWidget *>("tabViste");
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        QWidget *page = tabs->currentWidget();
        QTest::qWait(20);
        for (QWidget *child : page->findChildren<QWidget *>()) {
            if (!child->isVisible() || !qobject_cast<QAbstractButton *>(child))
                continue;
            const QRect at(child->mapTo(page, QPoint(0, 0)), child->size());
            QVERIFY2(page->rect().contains(at),
                     qPrintable(QStringLiteral("%1 on %2").arg(child->objectName(),
                                                               tabs->tabText(t))));
        }
    }
}

QTEST_MAIN(TestOfficinaDocument)
#include "tst_officinadocument.moc"

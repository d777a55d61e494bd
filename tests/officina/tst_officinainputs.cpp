// The workshop window never writes over what its project reads.
#include "enginedialog.h"
#include "fakeplatform.h"
#include "pipecsv.h"
#include "wavestab.h"
#include "officinafixture.h"
#include "plot/plotview.h"
#include "projectondisk.h"
#include "testfiles.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QTableWidget>
#include <QPushButton>
#include <QtTest>

using namespace velmorant;
using test::dialogBox;
using test::pressOk;
using test::readAll;

class TestOfficinaInputs : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init() { QVERIFY(startWindow()); }
    void cleanup() { w.reset(); }

    void outputsNeverLandOnInputs_data();
    void outputsNeverLandOnInputs();
    void engineAgreesWithTheDesign();
    void gasPathsReachTheModel();
    void newStartsFromTheDefaults();
    void searchedPipeNeverRememberedAsAFile();
    void oneNotationPerWindow_data();
    void oneNotationPerWindow();
    void commandsInTheMenus();
};

void TestOfficinaInputs::outputsNeverLandOnInputs_data()
{
    QTest::addColumn<QString>("input");
    for (const char *input : {"measured", "compare", "intake", "ports", "bench", "trace"})
        QTest::newRow(input) << QString(input);
}

// Esporta, a plot's own export and Salva con nome, each pointed at a file the project reads:
// refused with a message, the file as it was, nothing new beside it.
void TestOfficinaInputs::outputsNeverLandOnInputs()
{
    QFETCH(QString, input);
    const test::ProjectOnDisk p;
    QVERIFY(w->openPath(p.project));
    settle();
    run("mnuCalcola");
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    const QString target = p.inputs.value(input);
    const QByteArray before = readAll(target);
    const QStringList entries = QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    auto band = w->findChild<plot::View *>("viewFascia");
    QVERIFY(band && !band->data().empty());
    const QList<std::function<void()>> writes{[&] { run("mnuEsporta"); },
                                              [&] { band->exportWithDialog(); },
                                              [&] { run("mnuSalvaConNome"); }};
    for (int k = 0; k < writes.size(); ++k) {
        platform.fileAnswers << target;
        writes[k]();
        QCOMPARE(platform.messages.size(), k + 1);
        QVERIFY2(platform.messages[k].text.contains("che il progetto legge"),
                 qPrintable(platform.messages[k].text));
        QCOMPARE(readAll(target), before);
        QCOMPARE(QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entries);
    }
}

// The exhaust's system after the pipe and a transfer duct, chosen in the engine dialog: a duct
// out of range refused by name, the run the model's own with those paths, the project keeping
// them.
void TestOfficinaInputs::gasPathsReachTheModel()
{
    run("mnuCalcola");
    w->findChild<QPushButton *>("cmdMotore")->click();
    auto *dialog = w->findChild<EngineDialog *>("dlgMotore");
    QVERIFY(dialog);
    const QString system = dir->filePath("silenziatore.json");
    QVERIFY(test::writeBytes(system, R"({"version": 1, "elements": [
        {"pipe": [[0, 38], [100, 38]], "wall_c": "calcolata"},
        {"volume_l": 2, "cd_out": 0.8},
        {"pipe": [[0, 22], [200, 22]], "wall_c": null}]})"));
    platform.fileAnswers << system;
    dialog->findChild<QPushButton *>("cmdImpiantoScarico")->click();
    QVERIFY2(dialog->findChild<QLabel *>("lblImpiantoScarico")->text().startsWith(
                 "silenziatore.json: 2 tubi, 1 volumi"),
             qPrintable(dialog->findChild<QLabel *>("lblImpiantoScarico")->text()));
    dialogBox(w.get(), "opt_transfer_length")->setText("80");
    dialogBox(w.get(), "opt_transfer_d1")->setText("300");
    dialogBox(w.get(), "opt_transfer_d2")->setText("34");
    pressOk(w.get());
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains("Diametro del condotto al carter"),
             qPrintable(platform.messages[0].text));
    dialogBox(w.get(), "opt_transfer_d1")->setText("30");
    auto *gas = w->findChild<EngineDialog *>("dlgMotore")->findChild<QCheckBox *>("chkGasVariabile");
    QVERIFY(gas && gas->isChecked()); // the default
    gas->setChecked(false);
    pressOk(w.get());
    QTRY_VERIFY(!w->findChild<EngineDialog *>("dlgMotore"));
    const EnginePaths paths = w->waves()->texts().paths;
    QVERIFY(paths.exhaust && paths.transferDuct && !paths.intake && !paths.variableGas);
    box("opt_waves-from")->setText("10000");
    box("opt_waves-to")->setText("10000");
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->waves()->busy(), 120000);
    waves::WaveOptions o;
    o.exhaustPath = paths.exhaust->path;
    o.transferDuct = waves::WaveOptions::TransferDuct{80, 30, 34};
    o.variableGas = false;
    const waves::SpeedResult alone = waves::simulateSpeed(
        firstSizingPipe(w->plan()->dimensions),
        waves::onDesign(w->waves()->engine(), w->plan()->parameters), o, 10000);
    const waves::SpeedResult shown = w->waves()->view()->plot().speeds.value(0);
    QCOMPARE(shown.chargingEfficiency, alone.chargingEfficiency);
    QCOMPARE(shown.volumes.size(), 1);
    // The box's pressure above; below, on asking, the wall the pipe found for itself.
    QStringList names;
    for (const plot::Series &series : w->waves()->view()->traces()->data().series)
        names << series.name;
    QVERIFY2(names.contains("nel volume 2 dello scarico"), qPrintable(names.join(", ")));
    auto *lower = w->findChild<QComboBox *>("cmbGraficoRegimi");
    lower->setCurrentIndex(2);
    const plot::Data walls = w->waves()->view()->speeds()->data();
    QCOMPARE(walls.series.size(), 1);
    QCOMPARE(walls.series[0].name, QStringLiteral("tubo 1 dello scarico"));
    QCOMPARE(walls.series[0].points.size(), int(shown.walls[0].xMm.size()));
    QVERIFY(walls.series[0].points.first().y() > 20 && walls.series[0].points.first().y() < 1200);
    // Where the mean pressure goes: the lines fall from the reference to the brake's, the gaps
    // the losses of the speed's own figures.
    lower->setCurrentIndex(3);
    const plot::Data mean = w->waves()->view()->speeds()->data();
    QCOMPARE(mean.series.size(), 8);
    auto at = [&](int k) { return mean.series[k].points.value(0).y(); };
    QCOMPARE(at(0), shown.meanPressures.reference);
    QVERIFY(std::abs(at(0) - at(1) - shown.meanPressures.delivery) < 1e-12 * at(0));
    QCOMPARE(at(5), shown.brake.imep);
    QVERIFY(std::abs(at(4) - at(5) - shown.meanPressures.exhaust) < 1e-9 * at(0));
    QVERIFY(std::abs(at(6) - at(7) - shown.brake.fmep) < 1e-12 * at(0));
    QCOMPARE(at(7), shown.brake.bmep);
    // Saved and opened again: the same paths.
    const QString path = dir->filePath("impianto.vlo");
    platform.fileAnswers << path;
    run("mnuSalvaConNome");
    const QByteArray saved = readAll(path);
    QVERIFY(saved.contains("\"exhaust-system\""));
    QVERIFY(startWindow());
    const QString reopened = dir->filePath("impianto.vlo");
    QVERIFY(test::writeBytes(reopened, saved));
    QVERIFY2(w->openPath(reopened), qPrintable(platform.messages.value(0).text));
    settle();
    const EnginePaths again = w->waves()->texts().paths;
    QVERIFY(again.exhaust && again.transferDuct && !again.variableGas);
    QCOMPARE(waves::gasPathJson(again.exhaust->path), waves::gasPathJson(paths.exhaust->path));
    QCOMPARE(again.transferDuct->d2Mm, 34.0);
}

// Bore and stroke given together must make the design's displacement: 66 x 54,5 is 186 cm3, not
// a 250, and the dialog says the three numbers and stays open; one of them alone is completed
// from the displacement, and the box left empty says what it will be.
void TestOfficinaInputs::engineAgreesWithTheDesign()
{
    box("txtCil")->setText("250");
    run("mnuCalcola");
    w->findChild<QPushButton *>("cmdMotore")->click();
    dialogBox(w.get(), "opt_bore")->setText("66");
    dialogBox(w.get(), "opt_stroke")->setText("54,5");
    pressOk(w.get());
    QCOMPARE(platform.messages.size(), 1);
    const QString said = platform.messages[0].text;
    QVERIFY2(said.contains("Alesaggio 66 mm") && said.contains("corsa 54,5 mm") &&
                 said.contains("186,5 cm\u00b3") && said.contains("250 cm\u00b3"),
             qPrintable(said));
    QVERIFY(w->findChild<EngineDialog *>("dlgMotore")->isVisible());
    dialogBox(w.get(), "opt_stroke")->clear();
    // 250 cm3 on a 66 mm bore: a stroke of 250000 / (pi 66^2 / 4) mm.
    QCOMPARE(dialogBox(w.get(), "opt_stroke")->placeholderText(), "dalla cilindrata: 73,1");
    pressOk(w.get());
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(w->waves()->engine().bore, std::optional<double>(66));
    QVERIFY(!w->waves()->engine().stroke);
}

// Nuovo drops the last project's engine, method and speeds: a 250's bore and stroke never meet
// the new project's 100.
void TestOfficinaInputs::newStartsFromTheDefaults()
{
    box("txtCil")->setText("125");
    run("mnuCalcola");
    w->findChild<QPushButton *>("cmdMotore")->click();
    dialogBox(w.get(), "opt_bore")->setText("54");
    dialogBox(w.get(), "opt_stroke")->setText("54,5");
    pressOk(w.get());
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    auto *method = w->findChild<QComboBox *>("cmbMetodo");
    method->setCurrentIndex(method->findData("jennings"));
    box("opt_waves-from")->setText("5000");
    platform.saveAnswers << SaveChoice::Discard;
    run("mnuNuovo");
    const Project fresh = newProject(WorkshopOptions(), QLocale(QStringLiteral("it_IT")));
    QVERIFY(!w->waves()->engine().bore && !w->waves()->engine().stroke);
    QCOMPARE(method->currentData().toString(), fresh.workshop.pipe.method);
    QCOMPARE(w->inputs().waves.from, fresh.waves.from);
}

// "Usa questo tubo" makes the searched pipe the project's own: the method box says so with its
// band, the templates name it, a saved project reopens with its sections and reference points,
// and what the window remembers is its sections, never a path that is none: after a restart the
// first Calcola cuts it again. Nuovo goes back to the default method.
void TestOfficinaInputs::searchedPipeNeverRememberedAsAFile()
{
    Pipe searched =
        readPipeCsv("x_mm,d_mm\n0,23\n150,23\n380,46\n750,46\n870,16\n1070,16\n").pipe;
    searched.referencePoints = {{SuctionPoint, 150}, {PluggingPoint, 750}};
    const QString band = "media 9000-11000 giri/min";
    w->usePipe(searched, band);
    settle();
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    auto method = [this] { return w->findChild<QComboBox *>("cmbMetodo"); };
    QCOMPARE(method()->currentText(), "Tubo ottimizzato (" + band + ")");
    auto cutAsSearched = [&] {
        QVERIFY(w->plan() && w->plan()->pipe);
        QCOMPARE(pipeCsv(*w->plan()->pipe), pipeCsv(searched));
        QCOMPARE(w->plan()->pipe->referencePoints.size(), 2);
        QCOMPARE(w->plan()->pipe->point(PluggingPoint)->x, 750.0);
        QCOMPARE(w->plan()->options.pipeName, "Tubo ottimizzato (" + band + ")");
    };
    cutAsSearched();
    platform.fileAnswers << dir->filePath("cercato.vlo");
    run("mnuSalvaConNome");
    run("mnuNuovo");
    QCOMPARE(method()->currentData().toString(), "own");
    QCOMPARE(method()->findData(QLatin1String(SearchedMethod)), -1);
    QVERIFY(w->openPath(dir->filePath("cercato.vlo")));
    settle();
    cutAsSearched();
    // A restart: the searched pipe remembered by its sections.
    w.reset();
    w = std::make_unique<OfficinaWindow>(platform, QLocale(QStringLiteral("it_IT")));
    QCOMPARE(method()->currentData().toString(), QLatin1String(SearchedMethod));
    run("mnuCalcola");
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    cutAsSearched();
}

void TestOfficinaInputs::oneNotationPerWindow_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("en_US") << "en_US";
    QTest::newRow("it_IT") << "it_IT";
}

// The cut list and the labels on the parts write numbers alike: in the window's notation.
void TestOfficinaInputs::oneNotationPerWindow()
{
    QFETCH(QString, locale);
    const QLocale l(locale);
    w.reset();
    w = std::make_unique<OfficinaWindow>(platform, l);
    run("mnuCalcola");
    QVERIFY(w->plan() && !w->plan()->parts.isEmpty());
    // The default sheet is 1 mm, every label says so.
    for (const Part &p : w->plan()->parts)
        QVERIFY2(p.label.lines.join(' ').contains("lamiera " + l.toString(1.0, 'f', 1)),
                 qPrintable(p.label.lines.join(' ')));
    // The masses, three decimals, with the same decimal point.
    auto *table = w->findChild<QTableWidget *>("tblDistinta");
    const QRegularExpression mass(
        QStringLiteral("^\\d+%1\\d{3}$").arg(QRegularExpression::escape(l.decimalPoint())));
    int masses = 0;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QTableWidgetItem *cell = table->item(r, table->columnCount() - 1);
        if (cell && !cell->text().isEmpty()) {
            QVERIFY2(mass.match(cell->text()).hasMatch(), qPrintable(cell->text()));
            ++masses;
        }
    }
    QVERIFY(masses >= w->plan()->parts.size());
}

// The Onde tab's commands in the menus with their keys, the manual under Aiuto; Ferma il calcolo
// only while something runs; what Esporta wrote, said in the status bar.
void TestOfficinaInputs::commandsInTheMenus()
{
    const QList<std::pair<const char *, const char *>> keys{{"mnuMotore", "Ctrl+M"},
                                                            {"mnuOttimizza", "Ctrl+T"},
                                                            {"mnuCurvaBanco", "Ctrl+B"},
                                                            {"mnuTracciaMisurata", "Ctrl+R"},
                                                            {"mnuManuale", "F1"}};
    QList<QAction *> inMenus;
    for (QAction *menu : w->menuBar()->actions())
        inMenus << menu->menu()->actions();
    for (const auto &[name, key] : keys) {
        QAction *a = w->action(name);
        QVERIFY2(a && inMenus.contains(a), name);
        QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(key)));
    }
    w->action("mnuManuale")->trigger();
    QCOMPARE(platform.openedAddresses.size(), 1);
    QCOMPARE(platform.openedAddresses[0].scheme(), "man");
    w->action("mnuMotore")->trigger();
    QVERIFY(w->findChild<EngineDialog *>("dlgMotore"));
    w->findChild<EngineDialog *>("dlgMotore")->reject();

    QAction *stop = w->action("mnuAnnulla");
    QVERIFY(!stop->isEnabled());
    run("mnuCalcola");
    QVERIFY(!stop->isEnabled());
    box("opt_waves-from")->setText("5000");
    box("opt_waves-to")->setText("15000");
    box("opt_waves-step")->setText("100");
    w->action("mnuCalcolaOnde")->trigger();
    QVERIFY(w->waves()->busy());
    QVERIFY(stop->isEnabled());
    stop->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!w->waves()->busy(), 30000);
    QTRY_VERIFY(!stop->isEnabled());

    platform.fileAnswers << dir->filePath("distinta.csv");
    run("mnuEsporta");
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    QCOMPARE(w->findChild<QLabel *>("lblRiepilogo")->text(),
             "Esportato in " + dir->filePath("distinta.csv"));
}

QTEST_MAIN(TestOfficinaInputs)
#include "tst_officinainputs.moc"

// The workshop window's engine and dyno sheet: the engine dialog reaching the model, the dyno
// sheet with a bench curve, and the search whose best pipe is cut.
#include "bandview.h"
#include "chamberview.h"
#include "enginedialog.h"
#include "failingdisk.h"
#include "fakeplatform.h"
#include "officinafixture.h"
#include "methodsview.h"
#include "optimizedialog.h"
#include "officinawindow.h"
#include "pipecsv.h"
#include "plot/plotview.h"
#include "wavesview.h"
#include "settingsfile.h"
#include "sheetsview.h"
#include "testfiles.h"
#include "usertext.h"
#include "wavestab.h"
#include "windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmorant;
using test::readAll;

class TestOfficinaDyno : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { startWatchingTexts(); }
    void init();
    void cleanup() { closeCheckingTexts(); }

    void engineDialogReachesTheModel();
    void dynoSheet();
    void optimizeAndCutTheBest();
};

void TestOfficinaDyno::init()
{
    QVERIFY(startWindow());
}

void TestOfficinaDyno::engineDialogReachesTheModel()
{
    run("mnuCalcola");
    auto dialogBox = [this](const char *name) {
        return w->findChild<EngineDialog *>("dlgMotore")->findChild<QLineEdit *>(name);
    };
    auto ok = [this] {
        w->findChild<EngineDialog *>("dlgMotore")
            ->findChild<QDialogButtonBox *>()
            ->button(QDialogButtonBox::Ok)
            ->click();
    };
    w->findChild<QPushButton *>("cmdMotore")->click();
    QVERIFY(w->findChild<EngineDialog *>("dlgMotore"));
    // Out of range: refused by name, the dialog stays open on the box.
    dialogBox("opt_eo-pressure")->setText("30");
    ok();
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains("Pressione all'apertura scarico, ciclo fisso (bar)") &&
                 platform.messages[0].text.contains("tra 1,5 e 20"),
             qPrintable(platform.messages[0].text));
    QVERIFY(w->findChild<EngineDialog *>("dlgMotore")->isVisible());
    dialogBox("opt_eo-pressure")->setText("6");
    dialogBox("opt_bore")->setText("52");
    // The scavenging, a table of port areas and an intake pipe; a table that goes back refused
    // by its line, the one before kept.
    auto *dialog = w->findChild<EngineDialog *>("dlgMotore");
    auto *scavenging = dialog->findChild<QComboBox *>("cmbLavaggio");
    scavenging->setCurrentIndex(scavenging->findText(engine::scavengingCaption(engine::Scavenging::Yam1)));
    const QString ports = dir->filePath("luci.csv"), back = dir->filePath("indietro.csv"),
                  intake = dir->filePath("aspirazione.csv");
    QVERIFY(test::writeBytes(ports, "angle_deg,exhaust_mm2,transfer_mm2\n0,0,0\n95,0,0\n"
                                    "180,420,310\n265,0,0\n360,0,0\n"));
    QVERIFY(test::writeBytes(back, "angle_deg,exhaust_mm2,transfer_mm2\n0,0,0\n95,0,0\n90,1,1\n"));
    QVERIFY(test::writeBytes(intake, "x_mm,d_mm\n0,26\n220,26\n"));
    platform.fileAnswers << ports << back << intake;
    dialog->findChild<QPushButton *>("cmdAreeLuci")->click();
    dialog->findChild<QPushButton *>("cmdAreeLuci")->click();
    QCOMPARE(platform.messages.size(), 2);
    QVERIFY2(platform.messages[1].text.contains("riga 4"), qPrintable(platform.messages[1].text));
    QCOMPARE(dialog->findChild<QLabel *>("lblAreeLuci")->text(), "luci.csv");
    dialog->findChild<QPushButton *>("cmdAspirazione")->click();
    QCOMPARE(dialog->findChild<QLabel *>("lblAspirazione")->text(), "aspirazione.csv");
    ok();
    QTRY_VERIFY(!w->findChild<EngineDialog *>("dlgMotore"));
    QCOMPARE(w->waves()->engine().eoPressure, 6.0);
    QCOMPARE(*w->waves()->engine().bore, 52.0);
    QCOMPARE(w->waves()->engine().scavenging, std::optional(engine::Scavenging::Yam1));
    QVERIFY(w->waves()->engine().portAreas);
    QVERIFY(w->waves()->texts().intakePipe);
    // The run uses it: the same numbers as the model called here with that engine.
    box("opt_waves-from")->setText("10000");
    box("opt_waves-to")->setText("10000");
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->waves()->busy(), 120000);
    const waves::EngineInputs e = waves::onDesign(w->waves()->engine(), w->plan()->parameters);
    waves::WaveOptions o;
    o.intakePipe = readPipeCsv(readAll(intake)).pipe;
    o.variableGas = true; // the window's default
    const waves::SpeedResult alone =
        waves::simulateSpeed(firstSizingPipe(w->plan()->dimensions), e, o, 10000);
    QCOMPARE(w->waves()->view()->plot().speeds.value(0).chargingEfficiency,
             alone.chargingEfficiency);
    // Kept for the next window.
    w.reset();
    w = std::make_unique<OfficinaWindow>(platform, QLocale(QStringLiteral("it_IT")));
    QCOMPARE(w->waves()->engine().eoPressure, 6.0);
}

// The lower plot is a dyno sheet: the brake power in CV and the torque in N m of every speed,
// the compared pipe dashed, a measured curve over them (in kW turned into CV); the charging
// efficiency and delivery ratio on request; the cylinder's pressure among the traces.
void TestOfficinaDyno::dynoSheet()
{
    run("mnuCalcola");
    auto *tab = w->waves();
    box("opt_waves-from")->setText("9000");
    box("opt_waves-to")->setText("11000");
    box("opt_waves-step")->setText("1000");
    auto *compare = w->findChild<QComboBox *>("cmbConfronta");
    compare->setCurrentIndex(compare->findData("jennings"));
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!tab->busy(), 120000);
    const WavePlot &p = tab->view()->plot();
    auto series = [&](const QString &name) -> plot::Series {
        for (const plot::Series &s : tab->view()->speeds()->data().series)
            if (s.name == name)
                return s;
        return {};
    };
    const plot::Series power = series("potenza"), torque = series("coppia");
    QCOMPARE(power.points.size(), 3);
    QVERIFY(!power.rightAxis && torque.rightAxis);
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(power.points[k], QPointF(p.speeds[k].rpm, p.speeds[k].brake.powerCv));
        QCOMPARE(torque.points[k].y(), p.speeds[k].brake.torqueNm);
        QVERIFY(p.speeds[k].brake.powerCv > 1);
    }
    const plot::Series other = series(compare->currentText() + ": potenza");
    QCOMPARE(other.style, Qt::DashLine);
    QCOMPARE(other.points[1].y(), p.compared[1].brake.powerCv);
    QCOMPARE(tab->view()->speeds()->data().y.title, "Potenza (CV)");
    QCOMPARE(tab->view()->speeds()->data().y2.title, "Coppia (N m)");
    // A measured curve in kW, shown in CV; one with a speed twice refused by its line.
    const QString bench = dir->filePath("banco.csv"), twice = dir->filePath("doppia.csv");
    QVERIFY(test::writeBytes(bench, "rpm;kW\n8500;9,5\n10000;11\n11500;10,2\n"));
    QVERIFY(test::writeBytes(twice, "rpm,cv\n8500,12\n8500,13\n"));
    platform.fileAnswers << bench << twice;
    w->findChild<QPushButton *>("cmdCurvaBanco")->click();
    const plot::Series measured = series("al banco (banco.csv)");
    QCOMPARE(measured.points.size(), 3);
    QVERIFY(std::abs(measured.points[1].y() - 11000 / 735.49875) < 1e-12);
    w->findChild<QPushButton *>("cmdCurvaBanco")->click();
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains("riga 3"), qPrintable(platform.messages[0].text));
    QVERIFY(tab->bench() && tab->bench()->source == bench);
    QVERIFY(w->inputs().bench); // saved with the project
    // Charging and delivery on request, the same speeds.
    w->findChild<QComboBox *>("cmbGraficoRegimi")->setCurrentIndex(1);
    QCOMPARE(series("rendimento di carica").points[2].y(), p.speeds[2].chargingEfficiency);
    QCOMPARE(series("riflusso dall'aspirazione").points[2].y(), p.speeds[2].intakeBackflow);
    QVERIFY(series("al banco (banco.csv)").points.isEmpty());
    w->findChild<QComboBox *>("cmbGraficoRegimi")->setCurrentIndex(0);
    // The cylinder's pressure above.
    w->findChild<QCheckBox *>("chkCilindro")->setChecked(true);
    plot::Series cylinder;
    for (const plot::Series &s : tab->view()->traces()->data().series)
        if (s.name == "nel cilindro")
            cylinder = s;
    const waves::SpeedResult &shown = p.speeds[p.shown];
    QCOMPARE(cylinder.points.size(), int(shown.cylinderPressure.size()));
    QCOMPARE(cylinder.points[100].y(), shown.cylinderPressure[100] / 1e5);
    // The measured curve taken away.
    w->findChild<QPushButton *>("cmdTogliCurva")->click();
    QVERIFY(!tab->bench() && series("al banco (banco.csv)").points.isEmpty());
}

// The search from the Onde tab: a budget refused by its range; a short search shows the start's
// and the best pipe's power and both pipes; "Usa questo tubo" makes the best the pipe being cut.
// A long one stopped keeps the best so far.
void TestOfficinaDyno::optimizeAndCutTheBest()
{
    run("mnuCalcola");
    w->findChild<QPushButton *>("cmdOttimizza")->click();
    auto *dialog = w->findChild<OptimizeDialog *>("dlgOttimizza");
    QVERIFY(dialog && dialog->isVisible());
    auto field = [&](const char *name) { return dialog->findChild<QLineEdit *>(name); };
    QCOMPARE(field("opt_optimize-from")->text(), "9000");
    QCOMPARE(field("opt_optimize-to")->text(), "11000");
    field("opt_evaluations")->setText("5");
    dialog->findChild<QPushButton *>("cmdCercaTubo")->click();
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains("da 10 a 2000"), qPrintable(platform.messages[0].text));
    QVERIFY(!dialog->busy());
    field("opt_evaluations")->setText("16");
    field("opt_optimize-from")->setText("9500");
    field("opt_optimize-to")->setText("10500");
    dialog->findChild<QPushButton *>("cmdCercaTubo")->click();
    QVERIFY(dialog->busy());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->busy(), 120000);
    QVERIFY(dialog->result());
    const tuning::PipeSearchResult r = *dialog->result();
    QCOMPARE(r.evaluations, 16);
    QVERIFY(!r.keptStart && r.bestBand.value > r.startBand.value);
    const plot::Data &power = dialog->findChild<plot::View *>("plotOttimizza")->data();
    QCOMPARE(power.series.size(), 2);
    QCOMPARE(power.series[1].points.size(), tuning::BandSpeeds);
    QCOMPARE(power.series[1].points[4].y(), r.bestBand.speeds[4].brake.powerCv);
    QCOMPARE(dialog->findChild<MethodsView *>("viewTubiOttimizzati")->pipes().size(), 2);
    QVERIFY(dialog->findChild<QLabel *>("lblOttimizza")->text().contains("16 tubi provati"));
    // Cut it.
    auto *use = dialog->findChild<QPushButton *>("cmdUsaTubo");
    QVERIFY(use->isEnabled());
    use->click();
    settle();
    QVERIFY(w->plan() && w->plan()->pipe);
    QCOMPARE(w->plan()->pipe->sections.size(), r.best.sections.size());
    for (int k = 0; k < r.best.sections.size(); ++k)
        QCOMPARE(w->plan()->pipe->sections[k].length, r.best.sections[k].length);
    QCOMPARE(w->inputs().workshop.pipe.method, QLatin1String(SearchedMethod));
    QVERIFY(w->inputs().workshop.pipe.searched);
    QVERIFY2(w->findChild<QComboBox *>("cmbMetodo")->currentText().startsWith(
                 "Tubo ottimizzato (media "),
             qPrintable(w->findChild<QComboBox *>("cmbMetodo")->currentText()));
    // A long search stopped: the best so far.
    field("opt_evaluations")->setText("2000");
    dialog->findChild<QPushButton *>("cmdCercaTubo")->click();
    // The last search's result goes at once; the best so far is said while it runs.
    QVERIFY(!dialog->result());
    QVERIFY(dialog->findChild<plot::View *>("plotOttimizza")->data().empty());
    QVERIFY(!use->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(dialog->findChild<QProgressBar *>("prgOttimizza")->value() > 0, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(
        dialog->findChild<QLabel *>("lblOttimizza")->text().contains("il migliore finora d\u00e0 "),
        60000);
    dialog->findChild<QPushButton *>("cmdAnnullaOttimizza")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->busy(), 60000);
    QVERIFY(dialog->result()->cancelled);
    QVERIFY(dialog->result()->evaluations < 2000);
    QVERIFY(dialog->findChild<QLabel *>("lblOttimizza")->text().contains("Ricerca interrotta"));
}

QTEST_MAIN(TestOfficinaDyno)
#include "tst_officinadyno.moc"

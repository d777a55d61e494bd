// The workshop window's views: the same files as the command line, the nesting in the
// background, the band and the methods, the pipe chosen reaching the parts, the views' zoom.
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

namespace {

const QByteArray Design("125\r\n9000\r\n110\r\n190\r\n6\r\n2.5\r\n700\r\n4.5\r\n");

} // namespace

class TestOfficinaWorkshop : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { startWatchingTexts(); }
    void init();
    void cleanup() { closeCheckingTexts(); }

    void viewsZoom();
    void exportIsWhatTheCommandLineWrites_data();
    void exportIsWhatTheCommandLineWrites();
    void settingsFifoDoesNotHang();
    void answersWhileNesting();
    void bandAndMethodsShown();
    void pipeChoicesReachTheWorkshop_data();
    void pipeChoicesReachTheWorkshop();
    void measuredPipeGivesItsSpeed();
};

void TestOfficinaWorkshop::init()
{
    QVERIFY(startWindow());
}

void TestOfficinaWorkshop::viewsZoom()
{
    run("mnuCalcola");
    auto *view = w->findChild<SheetsView *>();
    view->resize(600, 400);
    view->fit();
    const double fitted = view->zoom();
    QWheelEvent wheel(QPointF(300, 200), view->mapToGlobal(QPointF(300, 200)), QPoint(),
                      QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    QVERIFY(qAbs(view->zoom() - fitted * 1.44) < 1e-6 * fitted);
    view->fit();
    QCOMPARE(view->zoom(), fitted);
}

void TestOfficinaWorkshop::exportIsWhatTheCommandLineWrites_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("DXF") << "lamiere.dxf";
    QTest::newRow("SVG") << "lamiere.svg";
    QTest::newRow("CSV") << "taglio.csv";
}

// The window's Export and the command line make the same file of the same design and options,
// byte for byte, and report the same warnings; the status bar writes its numbers as the boxes
// read them.
void TestOfficinaWorkshop::exportIsWhatTheCommandLineWrites()
{
    QFETCH(QString, file);
    const QString path = dir->filePath("nastro\x01"
                                       "a.vlr"); // a control character in the name
    QVERIFY(test::writeBytes(path, Design));
    box("opt_seam")->setText("8");
    box("opt_max-sweep")->setText("45");
    box("opt_gap")->setText("2,5");
    w->openDesign(path);
    settle();
    QVERIFY(w->plan().has_value());
    QCOMPARE(w->plan()->options.designName, "nastro a");
    QVERIFY2(w->findChild<QLabel *>("lblRiepilogo")->text().contains("1000 x 500 mm"),
             qPrintable(w->findChild<QLabel *>("lblRiepilogo")->text()));
    platform.fileAnswers << dir->filePath(file);
    run("mnuEsporta");
    QVERIFY(platform.messages.isEmpty());

    QProcess cli;
    const QString mine = dir->filePath("cli-" + file);
    cli.start(QStringLiteral(VELMORANT_CLI),
              {path, "--seam", "8", "--max-sweep", "45", "--gap", "2.5", "--name",
               "nastro\x01"
               "a",
               file.endsWith("csv") ? "--cut-list" : "--patterns", mine});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(readAll(dir->filePath(file)), readAll(mine));
    const QString warnings = QString::fromUtf8(cli.readAllStandardError());
    auto *list = w->findChild<QListWidget *>("lstAvvisi");
    for (const BuilderWarning &warning : w->plan()->warnings)
        QVERIFY(warnings.contains(QStringLiteral("Avviso %1: %2").arg(warning.code, warning.text)));
    QCOMPARE(int(warnings.count(QStringLiteral("Avviso "))), int(w->plan()->warnings.size()));
    QVERIFY(list->count() >= int(w->plan()->warnings.size()));
}

// A settings file that is a FIFO would block the first read of the settings for ever: the
// window starts on the defaults, says why, and leaves the FIFO alone.
void TestOfficinaWorkshop::settingsFifoDoesNotHang()
{
    w.reset();
    const test::SettingsFifo fifo;
    QVERIFY(fifo.ok());
    ::alarm(30); // a hang fails the test instead of stalling the suite
    const std::optional<QString> note = guardSettingsFiles();
    QVERIFY(note.has_value());
    QVERIFY(note->contains("non \u00e8 un file normale"));
    w = std::make_unique<OfficinaWindow>(platform, QLocale(QStringLiteral("it_IT")));
    w->setStatusNote(*note);
    QCOMPARE(box("opt_sheet")->text(), "1"); // the default
    run("mnuCalcola");                     // which writes the options: not into the FIFO
    QVERIFY(w->plan().has_value());
    w.reset();
    ::alarm(0);
    QVERIFY(fifo.untouched());
}

void TestOfficinaWorkshop::answersWhileNesting()
{
    // Nearly a thousand strips: seconds of nesting in the worker.
    box("txtCil")->setText("500");
    box("opt_max-length")->setText("1,2");
    w->action("mnuCalcola")->trigger();
    QVERIFY(w->calculating());
    auto *progress = w->findChild<QProgressBar *>("prgCalcolo");
    QTRY_VERIFY_WITH_TIMEOUT(progress->isVisible() && progress->value() > 0, 60000);
    // Typing reaches the boxes while it works.
    box("txtNome")->setFocus();
    QTest::keyClicks(box("txtNome"), "nastro");
    QCOMPARE(box("txtNome")->text(), "nastro");
    QVERIFY(w->calculating());
    // Stopped: nothing half-made is shown.
    w->findChild<QPushButton *>("cmdAnnullaCalcolo")->click();
    settle();
    QVERIFY(!w->plan());
    QCOMPARE(w->findChild<QLabel *>("lblRiepilogo")->text(), "Calcolo annullato.");
    QVERIFY(!progress->isVisible());

    // A second Calcola abandons the first: only the last inputs' plan arrives.
    w->action("mnuCalcola")->trigger();
    box("txtCil")->setText("125");
    box("opt_max-length")->setText("0");
    run("mnuCalcola");
    QVERIFY(w->plan().has_value());
    QCOMPARE(w->plan()->parameters[Field::Cil], 125.0);
    QCOMPARE(w->plan()->options.maxLength, 0.0);
    QTest::qWait(200); // the abandoned run, had it been heard, would land by now
    QCOMPARE(w->plan()->parameters[Field::Cil], 125.0);
}

void TestOfficinaWorkshop::bandAndMethodsShown()
{
    box("txtRPM")->setText("9000");
    run("mnuCalcola");
    auto *band = w->findChild<BandView *>("viewFascia");
    QVERIFY(band && band->band());
    // The closed form: N (1 +- 2w / (SC + ASP)), the defaults' durations 180 and 120.
    QVERIFY(std::abs(band->band()->tunedRpm - 9000) < 1e-6);
    QVERIFY(std::abs(band->band()->lowRpm - 9000 * (1 - 20.0 / 300)) < 1e-6);
    // Drawn: shaded at the design speed, not outside the band.
    band->resize(800, 500);
    const QImage image = band->grab().toImage();
    const QPointF inside = band->at(9250, 105), outside = band->at(7250, 105); // off the grid
    QCOMPARE(image.pixelColor(inside.toPoint()), QColor(0xC8, 0xE6, 0xC9));
    QVERIFY(image.pixelColor(outside.toPoint()) != QColor(0xC8, 0xE6, 0xC9));
    auto *methods = w->findChild<MethodsView *>("viewMetodi");
    QCOMPARE(methods->pipes().size(), 4);
    for (const Pipe &pipe : methods->pipes())
        QVERIFY2(pipe.continuous(1e-9) && !pipe.referencePoints.isEmpty(), qPrintable(pipe.method));
}

void TestOfficinaWorkshop::pipeChoicesReachTheWorkshop_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<int>("stages");
    QTest::addColumn<QString>("angles");        // Jennings' cones, divergent:convergent
    QTest::addColumn<QStringList>("parts");     // some of the parts cut
    QTest::addColumn<double>("firstConeAngle"); // the first diverging section's half-angle
    QTest::newRow("first sizing in three stages")
        << "own" << 3 << "4:10" << QStringList{"2.1", "2.2", "2.3"} << -1.0;
    QTest::newRow("Blair's three stages")
        << "blair3" << 1 << "4:10" << QStringList{"2.1", "2.3"} << -1.0;
    QTest::newRow("Jennings with steeper cones")
        << "jennings" << 1 << "5:12" << QStringList{"1", "2"} << 5.0;
}

void TestOfficinaWorkshop::pipeChoicesReachTheWorkshop()
{
    QFETCH(QString, method);
    QFETCH(int, stages);
    QFETCH(QString, angles);
    QFETCH(QStringList, parts);
    QFETCH(double, firstConeAngle);
    auto *methods = w->findChild<QComboBox *>("cmbMetodo");
    methods->setCurrentIndex(methods->findData(method));
    box("opt_stages")->setText(QString::number(stages));
    box("opt_cone-divergent")->setText(angles.section(':', 0, 0));
    box("opt_cone-convergent")->setText(angles.section(':', 1, 1));
    run("mnuCalcola");
    QVERIFY(w->plan() && w->plan()->pipe);
    const Pipe &pipe = *w->plan()->pipe;
    QCOMPARE(pipe.method, method);
    QVERIFY(pipe.continuous(1e-9));
    QStringList names;
    for (const Part &part : w->plan()->parts)
        names << part.name;
    for (const QString &name : parts)
        QVERIFY2(names.contains(name), qPrintable(names.join(' ')));
    for (const PipeSection &s : pipe.sections) {
        if (s.kind() == PipeSection::Kind::Diverging && firstConeAngle > 0) {
            QVERIFY(std::abs(s.halfAngleDegrees() - firstConeAngle) < 1e-9);
            break;
        }
    }
    // The band is that of the pipe being cut, and the Metodi tab draws only what is ticked.
    const std::optional<WaveLengths> l = waveLengths(pipe);
    const DesignParameters &p = w->plan()->parameters;
    QCOMPARE(w->findChild<BandView *>("viewFascia")->band().has_value(), l.has_value());
    if (l)
        QCOMPARE(w->findChild<BandView *>("viewFascia")->band()->tunedRpm,
                 bandOf(*l, p[Field::Sc], p[Field::Asp], p[Field::Temp1], 10).tunedRpm);
    w->findChild<QCheckBox *>("chkMetodo_blair2")->setChecked(false);
    const QList<Pipe> drawn = w->findChild<MethodsView *>("viewMetodi")->pipes();
    QCOMPARE(drawn.size(), 3);
    for (const Pipe &d : drawn)
        QVERIFY(d.method != QLatin1String("blair2"));
}

void TestOfficinaWorkshop::measuredPipeGivesItsSpeed()
{
    // The design's own pipe, as measured on the bench at another speed: the reverse question
    // gives back the speed it was built for.
    box("txtRPM")->setText("8000");
    run("mnuCalcola");
    const QString file = dir->filePath("banco.csv");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(pipeCsv(firstSizingPipe(w->plan()->dimensions)));
    out.close();
    box("txtRPM")->setText("11000");
    platform.fileAnswers << file;
    w->findChild<QPushButton *>("cmdSfogliaTubo")->click();
    QCOMPARE(w->findChild<QComboBox *>("cmbMetodo")->currentData().toString(),
             QStringLiteral("misurato"));
    run("mnuCalcola");
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(w->plan()->pipe->method, QStringLiteral("misurato"));
    const auto *band = w->findChild<BandView *>("viewFascia");
    QVERIFY(band->band() && std::abs(band->band()->tunedRpm - 8000) < 0.01);
    // A file that is not there: refused, named, and the last plan stays.
    box("txtTuboMisurato")->setText(dir->filePath("manca.csv"));
    run("mnuCalcola");
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY(platform.messages[0].text.contains("manca.csv"));
    QCOMPARE(QApplication::focusWidget(), box("txtTuboMisurato"));
    QCOMPARE(w->plan()->pipe->method, QStringLiteral("misurato"));
}

QTEST_MAIN(TestOfficinaWorkshop)
#include "tst_officinaworkshop.moc"

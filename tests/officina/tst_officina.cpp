// The workshop window's wiring: boxes to the library and back, files, printing, views.
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

// Qt's complaints about the window's own texts ("QString::arg: 1 argument(s) missing"): each one
// is a sentence the user reads with a hole in it.
QStringList textWarnings;
QtMessageHandler previousHandler = nullptr;
void watchTexts(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.contains(QLatin1String("QString::arg")))
        textWarnings << text;
    if (previousHandler)
        previousHandler(type, context, text);
}

const QByteArray Design("125\r\n9000\r\n110\r\n190\r\n6\r\n2.5\r\n700\r\n4.5\r\n");

} // namespace

class TestOfficina : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        test::prepareWindowTests();
        previousHandler = qInstallMessageHandler(watchTexts);
    }
    void init();
    void cleanup()
    {
        w.reset();
        QVERIFY2(textWarnings.isEmpty(), qPrintable(textWarnings.join('\n')));
    }

    void openedDesignIsCalculated();
    void refusedOpenChangesNothing_data();
    void refusedOpenChangesNothing();
    void refusalsNameTheBox_data();
    void refusalsNameTheBox();
    void optionsRemembered();
    void exportFormats_data();
    void exportFormats();
    void failedExportKeepsOldFile();
    void printsAtOneToOne();
    void viewsZoom();
    void exportIsWhatTheCommandLineWrites_data();
    void exportIsWhatTheCommandLineWrites();
    void settingsFifoDoesNotHang();
    void answersWhileNesting();
    void bandAndMethodsShown();
    void pipeChoicesReachTheWorkshop_data();
    void pipeChoicesReachTheWorkshop();
    void measuredPipeGivesItsSpeed();
    void wavesComputedComparedAndMeasured();
    void wavesCancelAndRefuse();
    void engineDialogReachesTheModel();
    void dynoSheet();
    void optimizeAndCutTheBest();
    void unsettledSpeedsRinged();

};

void TestOfficina::init()
{
    QVERIFY(startWindow());
}

void TestOfficina::openedDesignIsCalculated()
{
    const QString path = dir->filePath("mio125.vlr");
    QVERIFY(test::writeBytes(path, Design));
    platform.fileAnswers << path;
    run("mnuApri");
    QCOMPARE(platform.fileRequests[0].title, "Apri");
    // The boxes in the user's notation, the name from the file, the plan shown.
    QCOMPARE(box("txtDiv")->text(), "2,5");
    QCOMPARE(box("txtRappsez")->text(), "4,5");
    QCOMPARE(box("txtNome")->text(), "mio125");
    QVERIFY(w->plan().has_value());
    QCOMPARE(w->plan()->parameters[Field::Cil], 125.0);
    const auto *table = w->findChild<QTableWidget *>("tblDistinta");
    QCOMPARE(table->rowCount(), w->plan()->parts.size() + 1);
    QCOMPARE(table->item(0, 0)->text(), w->plan()->parts[0].name);
    // A row of totals: the pieces, the sheets, the area and the mass of them all.
    const int last = table->rowCount() - 1;
    double area = 0, mass = 0;
    for (const CutListRow &row : cutList(*w->plan())) {
        area += row.area;
        mass += row.mass;
    }
    QCOMPARE(table->item(last, 0)->text(), "Totale");
    QCOMPARE(table->item(last, 1)->text(), QStringLiteral("%1 pezzi").arg(w->plan()->parts.size()));
    QCOMPARE(table->item(last, 8)->text(), QLocale(QStringLiteral("it_IT")).toString(area / 100, 'f', 1));
    QCOMPARE(table->item(last, 9)->text(), QLocale(QStringLiteral("it_IT")).toString(mass, 'f', 3));
    // Every number of a row once: the segment by its name, the piece by its own size.
    QCOMPARE(table->columnCount(), 10);
    QCOMPARE(table->item(0, 1)->text(), w->plan()->parts[0].segmentName);
    QVERIFY(w->findChild<QListWidget *>("lstAvvisi")->count() >= 1);
    QVERIFY(w->findChild<QLabel *>("lblRiepilogo")
                ->text()
                .contains(QStringLiteral("%1 pezzi").arg(w->plan()->parts.size())));
    QVERIFY(!w->findChild<ChamberView *>()->scene()->items().isEmpty());
    QVERIFY(!w->findChild<SheetsView *>()->scene()->items().isEmpty());
    QVERIFY(platform.messages.isEmpty());
}

void TestOfficina::refusedOpenChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("seven values") << "short";
}

void TestOfficina::refusedOpenChangesNothing()
{
    QFETCH(QString, kind);
    const QString path = dir->filePath("rotto.vlr");
    if (kind == "fifo")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
    if (kind == "short")
        QVERIFY(test::writeBytes(path, "100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800\r\n"));
    QElapsedTimer clock;
    clock.start();
    w->openDesign(path);
    settle();
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].icon, MessageIcon::Critical);
    QVERIFY(platform.messages[0].text.contains("rotto.vlr"));
    QCOMPARE(box("txtCil")->text(), "100");
    QVERIFY(!w->plan());
}

void TestOfficina::refusalsNameTheBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus"); // the box to correct
    // The main window's own messages for the parameters, with the box and its range.
    QTest::newRow("RPM empty") << "txtRPM"
                               << ""
                               << "Errore nell'immissione del Numero di giri: \u201cNumero di "
                                  "Giri da Ottimizzare (RPM)\u201d vuole un numero tra 500 e 30000"
                               << "txtRPM";
    QTest::newRow("period for the decimal comma")
        << "txtDiv"
        << "2.5"
        << "(il separatore dei decimali \u00e8 la virgola: 2,5)"
        << "txtDiv";
    QTest::newRow("negative displacement") << "txtCil"
                                           << "-100"
                                           << "vuole un numero tra 2 e 2000"
                                           << "txtCil";
    // What would mend a negative L3: a steeper divergent cone or a narrower belly, by how much.
    QTest::newRow("negative L3") << "txtRPM"
                                 << "20000"
                                 << "Lunghezza L3 negativa (-"
                                 << "txtDiv";
    QTest::newRow("negative L3, what mends it")
        << "txtRPM"
        << "20000"
        << "Serve un \u201cAngolo del tratto Divergente (2\u00f74 gradi)\u201d di almeno "
        << "txtDiv";
    QTest::newRow("sheet thickness out of range")
        << "opt_sheet"
        << "-1"
        << "Valore non valido per \u201cSpessore lamiera (mm)\u201d"
        << "opt_sheet";
    QTest::newRow("grouping in a sheet side") << "opt_sheet-width"
                                              << "1.250"
                                              << "serve un numero tra 10 e 20000"
                                              << "opt_sheet-width";
    QTest::newRow("period in the thickness")
        << "opt_sheet"
        << "1.5"
        << "serve un numero tra 0 e 100 (il separatore dei decimali \u00e8 la virgola: 1,5)"
        << "opt_sheet";
    // Typed, never turned into another number.
    QTest::newRow("99 stages") << "opt_stages"
                               << "99"
                               << "\u201cStadi del diffusore\u201d: serve un numero intero tra 1 e 4"
                               << "opt_stages";
    // Ranges written as the box reads them: no "1e+06", no grouping.
    QTest::newRow("range of the stretch length") << "opt_max-length"
                                                 << "-1"
                                                 << "serve un numero tra 0 e 1000000"
                                                 << "opt_max-length";
    QTest::newRow("seam wider than a piece")
        << "opt_seam"
        << "80"
        << "un sormonto di 80,0 mm non sta sul pezzo 1, largo 75,5 mm (serve un numero tra 0 e "
           "75,5)"
        << "opt_seam";
    // A port needs both sides: the one left empty is the one to fill.
    QTest::newRow("port without its height") << "opt_port-width"
                                             << "40"
                                             << "Luce di scarico, altezza (mm)"
                                             << "opt_port-height";
    QTest::newRow("band of no width") << "opt_band"
                                      << "0"
                                      << "serve un numero tra 0,5 e 90"
                                      << "opt_band";
    QTest::newRow("a cone the workshop cannot roll") << "txtConv"
                                                     << "1e-300"
                                                     << "vuole un numero tra 0,5 e 45"
                                                     << "txtConv";
}

void TestOfficina::refusalsNameTheBox()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    run("mnuCalcola");
    const auto before = w->plan()->parts.size();
    box(name)->setText(text);
    run("mnuCalcola");
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains(message), qPrintable(platform.messages[0].text));
    QCOMPARE(platform.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(w->plan()->parts.size(), before); // the last plan stays, marked as old
    QVERIFY(w->resultsStale());
    QVERIFY(w->findChild<QLabel *>("lblDaAggiornare")->isVisible());
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget(), box(focus));
}

void TestOfficina::optionsRemembered()
{
    box("opt_sheet")->setText("1,5");
    box("opt_seam")->setText("8");
    box("opt_sheet-width")->setText("1250");
    auto *method = w->findChild<QComboBox *>("cmbMetodo");
    method->setCurrentIndex(method->findData("blair2"));
    auto *engine = w->findChild<QComboBox *>("cmbClasse");
    engine->setCurrentIndex(engine->findData("gp"));
    box("opt_port-width")->setText("40");
    box("opt_port-height")->setText("25");
    run("mnuCalcola");
    QCOMPARE(w->plan()->options.sheetThickness, 1.5);
    w.reset();
    QSettings settings;
    QCOMPARE(settings.value("Officina/sheet").toString(), "1.5");
    w = std::make_unique<OfficinaWindow>(platform, QLocale(QStringLiteral("it_IT")));
    QCOMPARE(box("opt_sheet")->text(), "1,5");
    QCOMPARE(box("opt_seam")->text(), "8");
    QCOMPARE(box("opt_sheet-width")->text(), "1250");
    QCOMPARE(w->findChild<QComboBox *>("cmbMetodo")->currentData().toString(), "blair2");
    QCOMPARE(w->findChild<QComboBox *>("cmbClasse")->currentData().toString(), "gp");
    QCOMPARE(box("opt_port-height")->text(), "25");
    QCOMPARE(box("txtCil")->text(), "100"); // the design itself starts from the defaults
}

void TestOfficina::exportFormats_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("chosen"); // the type chosen in the dialog
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("PDF") << "sagome.pdf" << "*.pdf" << "sagome.pdf" << QByteArray("%PDF");
    QTest::newRow("SVG") << "lamiere.svg" << "*.pdf" << "lamiere.svg" << QByteArray("<?xml");
    QTest::newRow("DXF") << "lamiere.dxf" << "*.pdf" << "lamiere.dxf"
                         << QByteArray("  0\r\nSECTION");
    QTest::newRow("CSV") << "taglio.csv" << "*.pdf" << "taglio.csv"
                         << QByteArray("parte,segmento");
    // A name typed without a suffix takes the type chosen in the dialog.
    QTest::newRow("no extension, DXF chosen")
        << "lamiere" << "*.dxf" << "lamiere.dxf" << QByteArray("  0\r\nSECTION");
    QTest::newRow("no extension, CSV chosen")
        << "taglio" << "*.csv" << "taglio.csv" << QByteArray("parte,segmento");
}

void TestOfficina::exportFormats()
{
    QFETCH(QString, file);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    run("mnuEsporta"); // nothing calculated yet: says so, asks nothing
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY(platform.fileRequests.isEmpty());
    platform.messages.clear();
    box("txtNome")->setText("scarico 125");
    run("mnuCalcola");
    platform.fileAnswers << dir->filePath(file);
    platform.chosenTypes << chosen;
    run("mnuEsporta");
    QCOMPARE(platform.fileRequests.size(), 1);
    QVERIFY(platform.fileRequests[0].filters.contains("*.dxf"));
    QCOMPARE(platform.fileRequests[0].proposed, "scarico 125"); // the project's name
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    QCOMPARE(test::entries(dir->path()), QStringList{written});
    QVERIFY(readAll(dir->filePath(written)).startsWith(start));
}

void TestOfficina::failedExportKeepsOldFile()
{
    run("mnuCalcola");
    const QByteArray old("vecchio contenuto");
    test::FullDisk disk({{QStringLiteral("lamiere.dxf"), old}});
    if (!disk.available())
        QSKIP(qPrintable(disk.why()));
    platform.fileAnswers << disk.path("lamiere.dxf");
    run("mnuEsporta");
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].icon, MessageIcon::Critical);
    QVERIFY(platform.messages[0].text.contains("spazio esaurito sul disco"));
    QCOMPARE(readAll(disk.path("lamiere.dxf")), old);
    QCOMPARE(test::entries(disk.folder()), (QStringList{"lamiere.dxf", "zz-filler"}));
}

void TestOfficina::printsAtOneToOne()
{
    run("mnuStampa"); // nothing to print yet
    QCOMPARE(platform.printerRequests, 0);
    platform.messages.clear();
    box("txtRPM")->setText("6000"); // parts larger than a page: tiled
    run("mnuCalcola");
    const QString pdf = dir->filePath("stampa.pdf");
    platform.printerAnswer = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        return true;
    };
    run("mnuStampa");
    QCOMPARE(platform.printerRequests, 1);
    QVERIFY(platform.messages.isEmpty());
    const QList<double> bars = test::pdfCheckBars(readAll(pdf));
    QVERIFY(bars.size() > 2);
    for (double mm : bars)
        QVERIFY2(qAbs(mm - 100) < 0.1, qPrintable(QString::number(mm)));
}

void TestOfficina::viewsZoom()
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

void TestOfficina::exportIsWhatTheCommandLineWrites_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("DXF") << "lamiere.dxf";
    QTest::newRow("SVG") << "lamiere.svg";
    QTest::newRow("CSV") << "taglio.csv";
}

// The window's Export and the command line make the same file of the same design and options,
// byte for byte, and report the same warnings; the status bar writes its numbers as the boxes
// read them.
void TestOfficina::exportIsWhatTheCommandLineWrites()
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
void TestOfficina::settingsFifoDoesNotHang()
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

void TestOfficina::answersWhileNesting()
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

void TestOfficina::bandAndMethodsShown()
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

void TestOfficina::pipeChoicesReachTheWorkshop_data()
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

void TestOfficina::pipeChoicesReachTheWorkshop()
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

void TestOfficina::measuredPipeGivesItsSpeed()
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

void TestOfficina::wavesComputedComparedAndMeasured()
{
    run("mnuCalcola");
    auto *tab = w->waves();
    box("opt_waves-from")->setText("9000");
    box("opt_waves-to")->setText("11000");
    box("opt_waves-step")->setText("1000");
    box("opt_probe")->setText("300");
    auto *compare = w->findChild<QComboBox *>("cmbConfronta");
    compare->setCurrentIndex(compare->findData("blair2"));
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QVERIFY(tab->busy());
    QTRY_VERIFY_WITH_TIMEOUT(!tab->busy(), 120000);
    const WavePlot &plot = tab->view()->plot();
    QCOMPARE(plot.speeds.size(), 3);
    QCOMPARE(plot.compared.size(), 3);
    QCOMPARE(plot.speeds[plot.shown].rpm, 10000.0); // the design speed first
    QCOMPARE(plot.speeds[0].traces.size(), 2);      // the port and the probe
    QCOMPARE(plot.speeds[0].traces[1].x, 300.0);
    QVERIFY(plot.band && plot.band->lowRpm < 10000 && plot.band->highRpm > 10000);
    // Another speed shown on request.
    w->findChild<QComboBox *>("cmbRegimeOnde")->setCurrentIndex(2);
    QCOMPARE(tab->view()->plot().shown, 2);
    // Or by a click on it in the lower plot, which marks it, its axis titled.
    w->findChild<QTabWidget *>("tabViste")->setCurrentWidget(tab);
    plot::View *speeds = tab->view()->speeds();
    QTRY_VERIFY(speeds->isVisible() && speeds->width() > 200);
    const plot::Series &charging = speeds->data().series[0];
    QTest::mouseClick(speeds, Qt::LeftButton, Qt::NoModifier,
                      speeds->toPixel(charging.points[0].x(), charging.points[0].y()).toPoint());
    QCOMPARE(tab->view()->plot().shown, 0);
    QCOMPARE(w->findChild<QComboBox *>("cmbRegimeOnde")->currentIndex(), 0);
    QCOMPARE(*speeds->data().current, 9000.0);
    QVERIFY(!speeds->data().y.title.isEmpty());
    QVERIFY(tab->view()->traces()->data().x.title.contains("9000 giri/min"));
    // A measured trace laid over it; a bad one refused by line, the good one kept.
    const QString good = dir->filePath("traccia.csv"), bad = dir->filePath("rotta.csv");
    QVERIFY(test::writeBytes(good, "# rpm 9500\nangolo,bar\n90,1.1\n180,0.8\n270,1.4\n"));
    QVERIFY(test::writeBytes(bad, "0,1\n10,x\n"));
    platform.fileAnswers << good << bad;
    w->findChild<QPushButton *>("cmdTracciaMisurata")->click();
    QCOMPARE(tab->view()->plot().measured->points.size(), 3);
    // It says the speed it was measured at, in the legend.
    QCOMPARE(tab->view()->plot().measured->rpm, 9500.0);
    bool named = false;
    for (const plot::Series &s : tab->view()->traces()->data().series)
        named = named || s.name.startsWith("traccia misurata a 9500 giri/min");
    QVERIFY(named);
    w->findChild<QPushButton *>("cmdTracciaMisurata")->click();
    QCOMPARE(platform.messages.size(), 1);
    // Worded as a measured pipe's refusal: the file, its line, why.
    QVERIFY2(platform.messages[0].text.startsWith(quotedUserText(bad) + ": riga 2: "),
             qPrintable(platform.messages[0].text));
    QCOMPARE(tab->view()->plot().measured->points.size(), 3);
    // A run cancelled leaves what was shown.
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    w->findChild<QPushButton *>("cmdAnnullaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!tab->busy(), 60000);
    QCOMPARE(tab->view()->plot().speeds.size(), 3);
    QCOMPARE(tab->view()->plot().measured->points.size(), 3);
    // And it can be taken away.
    w->findChild<QPushButton *>("cmdTogliTraccia")->click();
    QVERIFY(!tab->view()->plot().measured);
    QVERIFY(!w->findChild<QPushButton *>("cmdTogliTraccia")->isEnabled());
}

void TestOfficina::wavesCancelAndRefuse()
{
    // Before Calcola there is no pipe; a range upside down is refused.
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QCOMPARE(platform.messages.size(), 1);
    run("mnuCalcola");
    box("opt_waves-from")->setText("12000");
    box("opt_waves-to")->setText("8000");
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QCOMPARE(platform.messages.size(), 2);
    QVERIFY(!w->waves()->busy());
    // Too many speeds, counted and said; the range read as the RPM box reads it.
    box("opt_waves-from")->setText("3.000");
    box("opt_waves-to")->setText("20.000");
    box("opt_waves-step")->setText("50");
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QCOMPARE(platform.messages.size(), 3);
    QVERIFY2(platform.messages[2].text.contains("341 regimi, al massimo 201"),
             qPrintable(platform.messages[2].text));
    platform.messages.clear();
    // A range without the design speed says so.
    box("opt_waves-from")->setText("7000");
    box("opt_waves-to")->setText("7000");
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->waves()->busy(), 60000);
    QVERIFY2(w->findChild<QLabel *>("lblOnde")->text().contains(
                 "Il regime di progetto (10000 giri/min) non \u00e8 tra quelli calcolati"),
             qPrintable(w->findChild<QLabel *>("lblOnde")->text()));
    // A long sweep: the window answers while it runs, and Annulla stops it.
    box("opt_waves-from")->setText("5000");
    box("opt_waves-to")->setText("15000");
    box("opt_waves-step")->setText("500");
    // First a measured pipe to compare, held to the same bounds as the first: 1 mm is refused.
    const QString thin = dir->filePath("sottile.csv");
    QVERIFY(test::writeBytes(thin, "x_mm,d_mm\n0,1\n500,1\n"));
    platform.fileAnswers << thin;
    auto *compare = w->findChild<QComboBox *>("cmbConfronta");
    compare->setCurrentIndex(compare->findData("misurato"));
    emit compare->activated(compare->currentIndex());
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains("tra 2 e 500 mm"),
             qPrintable(platform.messages[0].text));
    QVERIFY(!w->waves()->busy());
    compare->setCurrentIndex(0);
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QVERIFY(w->waves()->busy());
    QTest::keyClicks(box("txtNome"), "onde");
    QCOMPARE(box("txtNome")->text(), QStringLiteral("onde"));
    QTRY_VERIFY_WITH_TIMEOUT(w->findChild<QProgressBar *>("prgOnde")->value() > 0, 60000);
    w->findChild<QPushButton *>("cmdAnnullaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->waves()->busy(), 30000);
    QCOMPARE(w->waves()->view()->plot().speeds.size(), 1); // what was shown stays
    QCOMPARE(w->findChild<QLabel *>("lblOnde")->text(),
             QStringLiteral("Simulazione annullata: restano le onde della precedente."));
}

void TestOfficina::engineDialogReachesTheModel()
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
void TestOfficina::dynoSheet()
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
void TestOfficina::optimizeAndCutTheBest()
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

// A speed that did not settle is ringed in the lower plot, and the legend says what the ring
// means.
void TestOfficina::unsettledSpeedsRinged()
{
    WavePlot plot;
    for (int k = 0; k < 3; ++k) {
        waves::SpeedResult r;
        r.rpm = 9000 + 1000 * k;
        r.periodic = k != 1;
        r.chargingEfficiency = 0.4;
        r.deliveryRatio = 0.8;
        r.traces = {waves::Trace{0, std::vector<double>(720, 1e5), {}, {}}};
        plot.speeds << r;
    }
    plot.designRpm = 10000;
    WavesView view(QLocale(QStringLiteral("it_IT")));
    view.setPlot(plot);
    const plot::Data &d = view.speeds()->data();
    QCOMPARE(d.series[0].flagged, QList<int>{1});
    QCOMPARE(d.series[1].flagged, QList<int>{1});
    bool said = false;
    for (const plot::LegendEntry &e : plot::legendOf(d))
        said = said || (e.text == "non assestato" && e.sample == plot::LegendEntry::Sample::Ring);
    QVERIFY(said);
}

QTEST_MAIN(TestOfficina)
#include "tst_officina.moc"

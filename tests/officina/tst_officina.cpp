// The workshop window's wiring: boxes to the library and back, files, printing, exports.
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

class TestOfficina : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { startWatchingTexts(); }
    void init();
    void cleanup() { closeCheckingTexts(); }

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

QTEST_MAIN(TestOfficina)
#include "tst_officina.moc"

// The workshop window's Onde tab: the waves computed, compared and measured, cancelled and
// refused, and the speeds that did not settle ringed.
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

class TestOfficinaWaves : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { startWatchingTexts(); }
    void init();
    void cleanup() { closeCheckingTexts(); }

    void wavesComputedComparedAndMeasured();
    void wavesCancelAndRefuse();
    void unsettledSpeedsRinged();
};

void TestOfficinaWaves::init()
{
    QVERIFY(startWindow());
}

void TestOfficinaWaves::wavesComputedComparedAndMeasured()
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

void TestOfficinaWaves::wavesCancelAndRefuse()
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

// A speed that did not settle is ringed in the lower plot, and the legend says what the ring
// means.
void TestOfficinaWaves::unsettledSpeedsRinged()
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

QTEST_MAIN(TestOfficinaWaves)
#include "tst_officinawaves.moc"

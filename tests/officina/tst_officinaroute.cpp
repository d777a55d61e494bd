// The Percorso tab as a builder uses it: bends typed in the table (a value that cannot be is
// put back and said), the bent pipe cut in mitred pieces and drawn, a clash with the bike
// warned of and drawn red, the route kept in the project, the body exported as STL.
#include "fakeplatform.h"
#include "officinafixture.h"
#include "officinawindow.h"
#include "routetab.h"
#include "routeview.h"
#include "testfiles.h"
#include "wavestab.h"
#include "wavesview.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>

#include <cstring>

using namespace velmorant;
using test::readAll;

class TestOfficinaRoute : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init() { QVERIFY(startWindow()); }
    void cleanup() { w.reset(); }

    void bendsTypedInTheTable();
    void bentPipeCutDrawnAndKept();
    void clashWarnedAndRed();
    void routeThatCannotBeLaid();
    void wavesOfTheBentPipeBesideTheStraight();
    void routeSearchedToFitTheBike();

private:
    QTableWidget *bends() const { return w->findChild<QTableWidget *>("tblCurve"); }
    void click(const char *name) { w->findChild<QPushButton *>(name)->click(); }
    void type(QTableWidget *t, int row, int col, const QString &text)
    {
        t->item(row, col)->setText(text);
    }
    QString note() const { return w->statusBar()->findChild<QLabel *>("lblRiepilogo")->text(); }
};

void TestOfficinaRoute::bendsTypedInTheTable()
{
    QVERIFY(!w->modified());
    click("cmdAggiungiPiega");
    QCOMPARE(bends()->rowCount(), 1);
    QVERIFY(w->modified());
    type(bends(), 0, 0, "45,5");
    type(bends(), 0, 1, "40");
    type(bends(), 0, 3, "2");
    type(bends(), 0, 5, "35"); // a spacing: the radius goes
    route::Bend b = w->inputs().workshop.space.route.bends.value(0);
    QCOMPARE(b.atMm, 45.5);
    QCOMPARE(b.angleDeg, 40.0);
    QCOMPARE(b.joints, 2);
    QVERIFY(b.spacingMm && *b.spacingMm == 35 && !b.radiusMm);
    QVERIFY(bends()->item(0, 4)->text().isEmpty());
    // What cannot be is put back, and said.
    type(bends(), 0, 1, "molto");
    QCOMPARE(bends()->item(0, 1)->text(), QStringLiteral("40"));
    QVERIFY2(note().contains(QStringLiteral("serve un numero")), qPrintable(note()));
    type(bends(), 0, 3, "0");
    QCOMPARE(bends()->item(0, 3)->text(), QStringLiteral("2"));
    QVERIFY2(note().contains(QStringLiteral("joints")), qPrintable(note()));
    // The start's direction, read as a unit vector, never of no length; "up" kept across it.
    auto *start = w->findChild<QTableWidget *>("tblPartenza");
    type(start, 1, 1, "-1");
    QVERIFY(std::abs(w->inputs().workshop.space.route.direction.y + std::sqrt(0.5)) < 1e-12);
    type(start, 1, 2, "0");
    QCOMPARE(start->item(1, 1)->text(), QStringLiteral("-1"));
    type(start, 1, 1, "0");
    QVERIFY2(note().contains(QStringLiteral("zero")), qPrintable(note()));
    QCOMPARE(start->item(1, 1)->text(), QStringLiteral("-1"));
    QCOMPARE(w->inputs().workshop.space.route.direction.y, -1.0);
    type(start, 1, 0, "1");
    const route::Route turned = w->inputs().workshop.space.route;
    QVERIFY(std::abs(route::dot(turned.up, turned.direction)) < 1e-12);
    // Order: a second bend moved above the first.
    click("cmdAggiungiPiega");
    type(bends(), 1, 0, "300");
    bends()->selectRow(1);
    click("cmdPiegaSu");
    QCOMPARE(w->inputs().workshop.space.route.bends[0].atMm, 300.0);
    bends()->selectRow(0);
    click("cmdTogliPiega");
    QCOMPARE(w->inputs().workshop.space.route.bends.size(), 1);
    QCOMPARE(w->inputs().workshop.space.route.bends[0].atMm, 45.5);
}

void TestOfficinaRoute::bentPipeCutDrawnAndKept()
{
    click("cmdAggiungiPiega");
    type(bends(), 0, 0, "40");
    type(bends(), 0, 1, "60");
    type(bends(), 0, 3, "3");
    type(bends(), 0, 4, "60");
    run("mnuCalcola");
    QVERIFY(w->plan());
    QStringList mitred;
    for (const Part &p : w->plan()->parts)
        if (p.mitred())
            mitred << p.name;
    QCOMPARE(mitred, QStringList({"1-1", "1-2", "1-3", "1-4"}));
    auto *tab = w->findChild<RouteTab *>();
    QVERIFY(tab->view()->scene());
    QVERIFY(tab->view()->caption().startsWith(QStringLiteral("Ingombro")));
    // The body as STL where the user says.
    const QString stl = dir->filePath("corpo.stl");
    platform.fileAnswers << stl;
    click("cmdEsportaStl");
    const QByteArray bytes = readAll(stl);
    QVERIFY(bytes.size() > 84);
    quint32 count = 0;
    std::memcpy(&count, bytes.constData() + 80, 4);
    QCOMPARE(qsizetype(84 + 50 * qFromLittleEndian(count)), bytes.size());
    QVERIFY(note().contains(stl));
    // The same bend made as two halves: one outline cut twice, the straight tube either side.
    bends()->item(0, 6)->setCheckState(Qt::Checked);
    QVERIFY(w->inputs().workshop.space.route.bends[0].halves);
    run("mnuCalcola");
    QStringList halves;
    for (const Part &p : w->plan()->parts)
        if (p.halves())
            halves << p.name;
    QCOMPARE(halves, QStringList({"1-2a", "1-2b"}));
    // Saved and opened again: the same route, the same pieces.
    const QString path = dir->filePath("piegato.vlo");
    platform.fileAnswers << path;
    run("mnuSalvaConNome");
    const route::Route before = w->inputs().workshop.space.route;
    const QByteArray saved = readAll(path);
    QVERIFY(saved.contains("\"space\""));
    QVERIFY(startWindow());
    const QString again = dir->filePath("piegato.vlo");
    QVERIFY(test::writeBytes(again, saved));
    QVERIFY2(w->openPath(again), qPrintable(platform.messages.value(0).text));
    settle();
    QCOMPARE(route::routeJson(w->inputs().workshop.space.route), route::routeJson(before));
    QCOMPARE(bends()->item(0, 4)->text(), QStringLiteral("60"));
    QCOMPARE(bends()->item(0, 6)->checkState(), Qt::Checked);
    QVERIFY(w->plan());
    QCOMPARE(w->plan()->parts[0].name, QStringLiteral("1-1"));
    QVERIFY(!w->modified());
}

void TestOfficinaRoute::clashWarnedAndRed()
{
    click("cmdAggiungiOstacolo");
    auto *obstacles = w->findChild<QTableWidget *>("tblOstacoli");
    QCOMPARE(obstacles->rowCount(), 1);
    // A box beside the header: 20 mm from the axis, the pipe 12.5 mm round it.
    type(obstacles, 0, 0, "carter");
    type(obstacles, 0, 2, "20");
    type(obstacles, 0, 3, "-50");
    type(obstacles, 0, 4, "-150");
    type(obstacles, 0, 5, "200");
    type(obstacles, 0, 6, "50");
    type(obstacles, 0, 7, "50");
    run("mnuCalcola");
    QVERIFY(w->plan() && w->plan()->clearance);
    QVERIFY(std::abs(w->plan()->clearance->distances[0].distanceMm - 7.5) < 0.05);
    auto *warnings = w->findChild<QListWidget *>("lstAvvisi");
    bool said = false;
    for (int i = 0; i < warnings->count(); ++i)
        said = said || (warnings->item(i)->text().contains(QStringLiteral("\"carter\"")) &&
                        warnings->item(i)->text().contains(QStringLiteral("7,5 mm")));
    QVERIFY(said);
    auto *tab = w->findChild<RouteTab *>();
    QCOMPARE(tab->view()->scene()->clashing, QSet<QString>({QStringLiteral("1")}));
    // Made a cylinder, then the tail's target: one target at most.
    auto *shape = qobject_cast<QComboBox *>(obstacles->cellWidget(0, 1));
    shape->setCurrentIndex(1);
    QCOMPARE(w->inputs().workshop.space.surroundings->obstacles[0].kind,
             route::Obstacle::Kind::Cylinder);
    shape = qobject_cast<QComboBox *>(obstacles->cellWidget(0, 1));
    shape->setCurrentIndex(2);
    QVERIFY(w->inputs().workshop.space.surroundings->target);
    QVERIFY(w->inputs().workshop.space.surroundings->obstacles.isEmpty());
}

void TestOfficinaRoute::routeThatCannotBeLaid()
{
    click("cmdAggiungiPiega");
    type(bends(), 0, 0, "5000");
    run("mnuCalcola");
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains(QStringLiteral("curva 1")) &&
                 platform.messages[0].text.contains(QStringLiteral("fuori dal tubo")),
             qPrintable(platform.messages[0].text));
    QVERIFY(!w->plan());
}

// The Onde tab runs the bent pipe with its joints' losses, and lays the same pipe straight
// beside it: that one is the straight pipe's own run, figure for figure.
void TestOfficinaRoute::wavesOfTheBentPipeBesideTheStraight()
{
    click("cmdAggiungiPiega");
    type(bends(), 0, 0, "40");
    type(bends(), 0, 1, "60");
    type(bends(), 0, 3, "3");
    type(bends(), 0, 4, "60");
    run("mnuCalcola");
    QVERIFY(w->plan());
    auto *tab = w->waves();
    box("opt_waves-from")->setText("10000");
    box("opt_waves-to")->setText("10000");
    box("opt_waves-step")->setText("500");
    auto *compare = w->findChild<QComboBox *>("cmbConfronta");
    compare->setCurrentIndex(compare->findData(QString::fromLatin1(StraightCompare)));
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!tab->busy(), 120000);
    const WavePlot &plot = tab->view()->plot();
    QCOMPARE(plot.speeds.size(), 1);
    QCOMPARE(plot.compared.size(), 1);
    waves::WaveOptions o;
    o.variableGas = true; // the window's default
    const waves::SpeedResult straight = waves::simulateSpeed(
        w->plan()->pipe.value_or(firstSizingPipe(w->plan()->dimensions)),
        waves::onDesign(tab->engine(), w->plan()->parameters), o, 10000);
    QCOMPARE(plot.compared[0].brake.powerKw, straight.brake.powerKw);
    QVERIFY(plot.speeds[0].deliveryRatio < straight.deliveryRatio);
}

// Cerca il percorso bends the calculated pipe to reach the tail's target clear of the engine,
// in the background; calculated again, it is clear and on target.
void TestOfficinaRoute::routeSearchedToFitTheBike()
{
    click("cmdCercaPercorso");
    QVERIFY2(note().contains(QStringLiteral("Calcola")), qPrintable(note()));
    auto *obstacles = w->findChild<QTableWidget *>("tblOstacoli");
    click("cmdAggiungiOstacolo");
    click("cmdAggiungiOstacolo");
    const QStringList engine{"motore", "", "-250", "-120", "-300", "-30", "120", "80"};
    const QStringList target{"", "", "250", "-150", "-900", "450", "150", "-700"};
    for (int c = 2; c < 8; ++c)
        type(obstacles, 0, c, engine[c]);
    qobject_cast<QComboBox *>(obstacles->cellWidget(1, 1))->setCurrentIndex(2);
    for (int c = 2; c < 8; ++c)
        type(obstacles, 1, c, target[c]);
    QVERIFY(w->inputs().workshop.space.surroundings->target);
    run("mnuCalcola");
    QVERIFY(w->plan() && !w->plan()->clearance->tailInTarget);
    auto *tab = w->findChild<RouteTab *>();
    click("cmdCercaPercorso");
    QVERIFY(tab->fitting());
    QTRY_VERIFY_WITH_TIMEOUT(!tab->fitting(), 120000);
    QVERIFY2(note().contains(QStringLiteral("Percorso trovato")), qPrintable(note()));
    QVERIFY(!w->inputs().workshop.space.route.bends.isEmpty());
    QVERIFY(w->modified());
    run("mnuCalcola");
    QVERIFY(w->plan()->clearance->tailInTarget);
    for (const BuilderWarning &warning : w->plan()->warnings)
        QVERIFY2(!warning.code.startsWith(QLatin1String("ROUTE_")), qPrintable(warning.text));
}

QTEST_MAIN(TestOfficinaRoute)
#include "tst_officinaroute.moc"

// The engine's laws, each alone against an answer worked out here: the crank-slider and the
// ports, the closed cycle (motoring and the Otto limit), Wiebe's law, the charge, scavenging in
// a fixed volume, heat to the walls and the brake figures.
#include "benchcurve.h"
#include "closedcycle.h"
#include "combustion.h"
#include "friction.h"
#include "heattransfer.h"
#include "scavenging.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::engine;

namespace {

constexpr double Pi = 3.14159265358979323846;

EngineInputs square100()
{
    EngineInputs e;
    e.displacement = 100;
    e.sc = 180;
    e.asp = 120;
    return e;
}

// The piston's distance below top dead centre by the crank-slider's own triangle.
double pistonDrop(double stroke, double rod, double degrees)
{
    const double r = stroke / 2, a = degrees * Pi / 180;
    const double pin = r * std::cos(a) + std::sqrt(rod * rod - std::pow(r * std::sin(a), 2));
    return r + rod - pin;
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void portsAgainstTheCrankSlider_data();
    void portsAgainstTheCrankSlider();
    void portTableReadsAsTheRectangles();
    void portTableWrapsToItsFirstRow_data();
    void portTableWrapsToItsFirstRow();
    void portTableIsAnEngine_data();
    void portTableIsAnEngine();
    void motoringKeepsPVGamma_data();
    void motoringKeepsPVGamma();
    void ottoLimit_data();
    void ottoLimit();
    void wiebe_data();
    void wiebe();
    void charge_data();
    void charge();
    void scavengingInAFixedVolume_data();
    void scavengingInAFixedVolume();
    void annandGrowsAsRe07();
    void wallsAreTheGasCan_data();
    void wallsAreTheGasCan();
    void brakeFiguresWorkedExample();
    void benchCurve_data();
    void benchCurve();
};

void TestEngine::portsAgainstTheCrankSlider_data()
{
    QTest::addColumn<double>("rodStrokes");
    QTest::addColumn<double>("sc");
    QTest::addColumn<double>("asp");
    QTest::newRow("defaults") << 2.0 << 180.0 << 120.0;
    QTest::newRow("short rod, long exhaust") << 1.6 << 196.0 << 130.0;
    QTest::newRow("long rod, road engine") << 2.5 << 165.0 << 118.0;
}

// The rectangles open at their timing and no earlier, by the area the piston uncovers.
void TestEngine::portsAgainstTheCrankSlider()
{
    QFETCH(double, rodStrokes);
    QFETCH(double, sc);
    QFETCH(double, asp);
    EngineInputs e = square100();
    e.conRodStrokes = rodStrokes;
    e.sc = sc;
    e.asp = asp;
    const EngineGeometry g = engineGeometry(e);
    const double stroke = std::cbrt(4 * 100e-6 / Pi), rod = rodStrokes * stroke;
    QVERIFY(std::abs(g.stroke - stroke) < 1e-15);
    const double eo = 180 - sc / 2, to = 180 - asp / 2;
    const double exhaustTop = pistonDrop(stroke, rod, eo), transferTop = pistonDrop(stroke, rod, to);
    for (double a = 0; a < 360; a += 0.5) {
        const double drop = pistonDrop(stroke, rod, a);
        QVERIFY(std::abs(g.travel(a) - drop) < 1e-12);
        const double exhaust = 0.65 * stroke * std::clamp(drop - exhaustTop, 0.0, stroke - exhaustTop);
        const double transfer = 1.0 * stroke * std::clamp(drop - transferTop, 0.0, stroke - transferTop);
        const EngineGeometry::Ports p = g.portsAt(a, g.travel(a));
        QVERIFY2(std::abs(p.exhaust - 0.75 * exhaust) < 1e-12, qPrintable(QString::number(a)));
        QVERIFY2(std::abs(p.transfer - 0.7 * transfer) < 1e-12, qPrintable(QString::number(a)));
    }
    // Shut just before its opening, open just after, shut again at its closing.
    for (const auto &[open, close, exhaust] : {std::tuple{eo, 360 - eo, true}, {to, 360 - to, false}}) {
        auto area = [&, exhaust = exhaust](double a) {
            const EngineGeometry::Ports p = g.portsAt(a, g.travel(a));
            return exhaust ? p.exhaust : p.transfer;
        };
        QCOMPARE(area(open - 0.01), 0.0);
        QVERIFY(area(open + 0.01) > 0);
        QVERIFY(area(close - 0.01) > 0);
        QCOMPARE(area(close + 0.01), 0.0);
    }
}

// A table of the rectangles' own areas every degree opens the ports alike, and says the same
// timing.
void TestEngine::portTableWrapsToItsFirstRow_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("intake"); // mm², by hand from the rows
    // The intake's rows at 30 (0), 100 (0), 180 (0), 260 (50): past 260 its area runs back to
    // the first row's a turn later, at 390 degrees, across top dead centre as a piston port's.
    QTest::newRow("on the last row") << 260.0 << 50.0;
    QTest::newRow("half way back") << 325.0 << 25.0;
    QTest::newRow("past 360") << 5.0 << 50.0 * (1 - 105.0 / 130.0);
    QTest::newRow("a turn later") << 725.0 << 50.0 * (1 - 105.0 / 130.0);
    QTest::newRow("before the first row") << -40.0 << 50.0 * (1 - 60.0 / 130.0);
    QTest::newRow("between rows") << 220.0 << 25.0;
}

// A coarse table that does not start at 0 reads between its last row and its first row a turn
// later as everywhere else: on the straight line between them.
void TestEngine::portTableWrapsToItsFirstRow()
{
    QFETCH(double, angle);
    QFETCH(double, intake);
    const engine::PortAreasRead r =
        engine::readPortAreas("angle_deg,exhaust_mm2,transfer_mm2,intake_mm2\n30,0,0,0\n"
                              "100,0,0,0\n180,420,300,0\n260,0,0,50\n");
    QVERIFY2(r.ok(), qPrintable(r.error));
    QVERIFY2(std::abs(r.table.at(angle).intake - intake) < 1e-9,
             qPrintable(QString::number(r.table.at(angle).intake)));
}

void TestEngine::portTableIsAnEngine_data()
{
    QTest::addColumn<QByteArray>("rows"); // after the header with the intake
    QTest::addColumn<QString>("refusal"); // empty: an engine
    QTest::newRow("loop-scavenged") << QByteArray("0,0,0,80\n90,0,0,0\n180,400,300,0\n270,0,0,40\n")
                                    << QString();
    QTest::newRow("exhaust never closes")
        << QByteArray("0,50,0,80\n90,50,0,0\n180,400,300,0\n270,50,0,40\n")
        << "lo scarico non si chiude mai";
    QTest::newRow("exhaust open across top dead centre")
        << QByteArray("0,100,0,80\n90,0,0,0\n180,0,300,0\n270,0,0,40\n")
        << "lo scarico \u00e8 aperto al punto morto superiore";
    QTest::newRow("transfers twice")
        << QByteArray("0,0,0,80\n60,0,50,0\n90,0,0,0\n180,400,300,0\n270,0,0,40\n")
        << "i travasi si apre 2 volte per giro";
    QTest::newRow("intake never opens")
        << QByteArray("0,0,0,0\n90,0,0,0\n180,400,300,0\n270,0,0,0\n")
        << "l'aspirazione si apre 0 volte per giro";
    QTest::newRow("transfers before the exhaust")
        << QByteArray("0,0,0,80\n90,0,0,0\n120,0,100,0\n180,400,300,0\n240,0,100,0\n"
                      "270,0,0,40\n")
        << "dopo i travasi";
}

// A table is an engine's before it runs: each port opens and closes once a turn, the cylinder's
// ports shut at top dead centre, the exhaust first.
void TestEngine::portTableIsAnEngine()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, refusal);
    const engine::PortAreasRead r =
        engine::readPortAreas("angle_deg,exhaust_mm2,transfer_mm2,intake_mm2\n" + rows);
    if (refusal.isEmpty()) {
        QVERIFY2(r.ok(), qPrintable(r.error));
        return;
    }
    QVERIFY2(r.error.contains(refusal), qPrintable(r.error));
}

void TestEngine::portTableReadsAsTheRectangles()
{
    const EngineGeometry rect = engineGeometry(square100());
    QByteArray csv = "angle_deg,exhaust_mm2,transfer_mm2\n";
    for (int a = 0; a < 360; ++a) {
        const double s = rect.travel(a);
        csv += QByteArray::number(a) + ',' + QByteArray::number(rect.exhaustArea(s) * 1e6, 'g', 17) +
               ',' + QByteArray::number(rect.transferArea(s) * 1e6, 'g', 17) + '\n';
    }
    const PortAreasRead read = readPortAreas(csv);
    QVERIFY2(read.ok(), qPrintable(read.error));
    EngineInputs e = square100();
    e.portAreas = read.table;
    const EngineGeometry table = engineGeometry(e);
    for (int a = 0; a < 360; ++a) {
        const EngineGeometry::Ports p = table.portsAt(a, 0), q = rect.portsAt(a, rect.travel(a));
        QVERIFY(std::abs(p.exhaust - q.exhaust) < 1e-15 && std::abs(p.transfer - q.transfer) < 1e-15);
    }
    // Timing to the degree the table resolves.
    QVERIFY(std::abs(table.timing.eo - 90) <= 1 && std::abs(table.timing.ec - 270) <= 1);
    QVERIFY(std::abs(table.timing.to - 120) <= 1 && std::abs(table.timing.tc - 240) <= 1);
    QVERIFY(!table.pistonIntake());
    // Refused by line: angles that go back.
    const PortAreasRead bad =
        readPortAreas("angle_deg,exhaust_mm2,transfer_mm2\n0,0,0\n10,1,1\n5,1,1\n20,0,0\n");
    QVERIFY2(bad.error.startsWith("riga 4:"), qPrintable(bad.error));
    // A table that closes its turn with the first row again, as tables every degree from 0 to
    // 360 do; one whose last row says otherwise is refused there.
    const QByteArray turn = "angle_deg,exhaust_mm2,transfer_mm2\n0,0,0\n90,0,0\n180,50,30\n"
                            "270,0,0\n";
    const PortAreasRead closed = readPortAreas(turn + "360,0,0\n");
    QVERIFY2(closed.ok(), qPrintable(closed.error));
    QCOMPARE(closed.table.angle.size(), std::size_t(4));
    QCOMPARE(closed.table.at(315).exhaust, 0.0);
    QVERIFY(std::abs(closed.table.at(135).exhaust - 25) < 1e-12);
    const PortAreasRead open = readPortAreas(turn + "360,5,0\n");
    QVERIFY2(open.error.startsWith("riga 6:"), qPrintable(open.error));
    QVERIFY2(!readPortAreas(turn + "360,0,0\n361,0,0\n").ok(), "a row past the turn");
}

void TestEngine::motoringKeepsPVGamma_data()
{
    QTest::addColumn<double>("compression");
    QTest::addColumn<double>("gamma");
    QTest::newRow("12, exhaust gas") << 12.0 << 1.35;
    QTest::newRow("8, air") << 8.0 << 1.4;
}

// Ports shut, no burn, adiabatic walls: compression and expansion keep p V^gamma, and a turn's
// loop does no work.
void TestEngine::motoringKeepsPVGamma()
{
    QFETCH(double, compression);
    QFETCH(double, gamma);
    EngineInputs e = square100();
    e.compressionRatio = compression;
    const EngineGeometry geo = engineGeometry(e);
    const Gas g{gamma, 287};
    Volume gas;
    const double v0 = geo.cylinderVolume(geo.travel(180));
    gas.fill(g, 1e5, 300, v0, 1);
    const double invariant = 1e5 * std::pow(v0, gamma);
    double work = 0, compressionWork = 0;
    for (double a = 180; a < 540; a += 15) {
        const ClosedStep step = advanceClosed(gas, g, geo, Burn{}, Walls{}, 6000, a, a + 15);
        work += step.work;
        if (a < 360)
            compressionWork += step.work;
        const double v = geo.cylinderVolume(geo.travel(a + 15));
        QVERIFY2(std::abs(gas.pressure(g, v) * std::pow(v, gamma) / invariant - 1) < 1e-5,
                 qPrintable(QString::number(a + 15)));
    }
    QVERIFY(std::abs(work) < 1e-6 * std::abs(compressionWork));
}

void TestEngine::ottoLimit_data()
{
    QTest::addColumn<double>("compression");
    QTest::addColumn<double>("gamma");
    QTest::newRow("12, 1.35") << 12.0 << 1.35;
    QTest::newRow("8, 1.4") << 8.0 << 1.4;
    QTest::newRow("16, 1.3") << 16.0 << 1.3;
}

// All the heat at top dead centre in one step, adiabatic walls: from trapping (EC) to the
// exhaust opening the gas does Q (1 - r^(1 - gamma)), r the trapped compression ratio.
void TestEngine::ottoLimit()
{
    QFETCH(double, compression);
    QFETCH(double, gamma);
    EngineInputs e = square100();
    e.compressionRatio = compression;
    const EngineGeometry geo = engineGeometry(e);
    const Gas g{gamma, 287};
    const double ec = 270, eo = 90 + 360;
    const double r = geo.cylinderVolume(geo.travel(ec)) / geo.cylinderVolume(0);
    Volume gas;
    gas.fill(g, 1.2e5, 350, geo.cylinderVolume(geo.travel(ec)), 1);
    Burn burn;
    burn.start = 360 - 1e-4;
    burn.duration = 2e-4;
    burn.a = 50; // everything burnt within the step
    burn.heat = 300;
    double work = 0;
    for (double a = ec; a < eo; a += 10)
        work += advanceClosed(gas, g, geo, burn, Walls{}, 8000, a, std::min(a + 10, eo)).work;
    const double otto = burn.heat * (1 - std::pow(r, 1 - gamma));
    QVERIFY2(std::abs(work / otto - 1) < 1e-4,
             qPrintable(QStringLiteral("%1 J for %2").arg(work).arg(otto)));
}

void TestEngine::wiebe_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("burnt"); // at the end of the duration
    QTest::newRow("a 5") << 5.0 << 0.993;
    QTest::newRow("a 5.25") << 5.25 << 0.995;
}

void TestEngine::wiebe()
{
    QFETCH(double, a);
    QFETCH(double, burnt);
    for (double m : {1.1, 2.0}) {
        QCOMPARE(burntFraction(340, 342, 60, a, m), 0.0);
        QVERIFY(std::abs(burntFraction(402, 342, 60, a, m) - burnt) < 5e-4);
        // Half burnt where (x^(m+1)) a = ln 2.
        const double half = 342 + 60 * std::pow(std::log(2) / a, 1 / (m + 1));
        QVERIFY(std::abs(burntFraction(half, 342, 60, a, m) - 0.5) < 1e-12);
    }
}

void TestEngine::charge_data()
{
    QTest::addColumn<double>("airFuel");
    QTest::addColumn<double>("burnable"); // per kg of charge
    QTest::newRow("rich, 12.5: the air's oxygen") << 12.5 << 12.5 / 13.5 / 14.7;
    QTest::newRow("stoichiometric") << 14.7 << 1 / 15.7;
    QTest::newRow("lean, 16: all the fuel") << 16.0 << 1 / 17.0;
}

void TestEngine::charge()
{
    QFETCH(double, airFuel);
    QFETCH(double, burnable);
    const Charge c = chargeOf(1, airFuel);
    QVERIFY(std::abs(c.fuel + c.air - 1) < 1e-15);
    QVERIFY(std::abs(c.air / c.fuel - airFuel) < 1e-12);
    QVERIFY(std::abs(c.burnable - burnable) < 1e-15);
    QVERIFY(std::abs(chargeHeat(c, 43, 0.9) - burnable * 43e6 * 0.9) < 1e-6);
}

void TestEngine::scavengingInAFixedVolume_data()
{
    // The measured cylinders' scavenging efficiency at SR 0.5, 1, 1.5 and 2 (the published fits,
    // to three figures), and the two limits.
    QTest::addColumn<int>("model");
    QTest::addColumn<QList<double>>("efficiency");
    QTest::newRow("UNIFLOW") << int(Scavenging::Uniflow) << QList<double>{0.494, 0.793, 0.915, 0.965};
    QTest::newRow("SCRE") << int(Scavenging::Scre) << QList<double>{0.476, 0.773, 0.901, 0.957};
    QTest::newRow("YAM1") << int(Scavenging::Yam1) << QList<double>{0.420, 0.752, 0.894, 0.955};
    QTest::newRow("YAM6") << int(Scavenging::Yam6) << QList<double>{0.413, 0.701, 0.848, 0.923};
    QTest::newRow("CD") << int(Scavenging::Cd) << QList<double>{0.463, 0.676, 0.805, 0.882};
    QTest::newRow("QUBCR") << int(Scavenging::Qubcr) << QList<double>{0.492, 0.775, 0.901, 0.956};
    QTest::newRow("perfect mixing")
        << int(Scavenging::Mixing)
        << QList<double>{1 - std::exp(-0.5), 1 - std::exp(-1.0), 1 - std::exp(-1.5), 1 - std::exp(-2.0)};
    QTest::newRow("perfect displacement") << int(Scavenging::Displacement)
                                          << QList<double>{0.5, 1, 1, 1};
}

// A fixed volume of burnt gas fed fresh charge at a steady rate, as much leaving as comes in,
// what leaves of the purity the model gives: the fresh kept follows the cylinder's curve.
// A fixed volume at one temperature, 1 kg of burnt gas, fed fresh charge at a steady rate with
// as much leaving: the charge kept must follow the measured curve, and what leaves must carry
// the curve's slope of burnt gas.
void TestEngine::scavengingInAFixedVolume()
{
    QFETCH(int, model);
    QFETCH(QList<double>, efficiency);
    const Scavenging s = Scavenging(model);
    double fresh = 0, sr = 0, worst = 0;
    const double step = 1e-4;
    QList<double> kept;
    for (int k = 1; k <= 20000; ++k) {
        sr = k * step;
        const double released = freshReleased(s, sr, fresh + step, 1 + step, step);
        QVERIFY(released >= 0 && released <= step);
        // The share of fresh charge leaving is 1 minus the curve's slope (the cylinder's own
        // purity for perfect mixing), but on the step across a kink of the curve.
        const double slope = s == Scavenging::Mixing ? (fresh + step) / (1 + step)
                                                     : outflowPurity(s, sr - step / 2);
        const bool kink = std::abs(outflowPurity(s, sr - step) - outflowPurity(s, sr)) > 0.01;
        if (k > 10 && !kink)
            worst = std::max(worst, std::abs(released / step - slope));
        fresh += step - released;
        if (k % 5000 == 0)
            kept << fresh;
    }
    for (int i = 0; i < 4; ++i)
        QVERIFY2(std::abs(kept[i] / efficiency[i] - 1) < 0.01,
                 qPrintable(QStringLiteral("SR %1: %2 for %3").arg(0.5 * (i + 1)).arg(kept[i]).arg(efficiency[i])));
    QVERIFY2(worst < 0.01, qPrintable(QString::number(worst)));
    // What leaves is a purity, and what is kept is never more than what came in.
    for (double x = 0; x < 3; x += 0.01) {
        QVERIFY(outflowPurity(s, x) >= 0 && outflowPurity(s, x) <= 1);
        QVERIFY(keptCharge(s, x) <= x + 1e-12);
    }
    // Never more fresh charge nor burnt gas out than the cylinder holds.
    QCOMPARE(freshReleased(s, 2, 0.1, 1, 0.5), s == Scavenging::Displacement ? 0.0 : freshReleased(s, 2, 0.1, 1, 0.5));
    QVERIFY(freshReleased(s, 2, 0.1, 1, 0.5) <= 0.1);
    QVERIFY(freshReleased(s, 0, 0.9, 1, 0.5) >= 0.4);
}

// Annand's h grows with the mean piston speed as Re^0.7, and is 0 with a 0 constant.
void TestEngine::annandGrowsAsRe07()
{
    const double h1 = annandCoefficient(0.26, 5, 1500, 10, 0.05);
    const double h2 = annandCoefficient(0.26, 5, 1500, 20, 0.05);
    QVERIFY(h1 > 0);
    QVERIFY(std::abs(h2 / h1 - std::pow(2, 0.7)) < 1e-12);
    QVERIFY(std::abs(annandCoefficient(0.52, 5, 1500, 10, 0.05) / h1 - 2) < 1e-12);
    QCOMPARE(annandCoefficient(0, 5, 1500, 10, 0.05), 0.0);
    // The walls at the gas's temperature take nothing; hotter walls give heat back.
    const EngineGeometry geo = engineGeometry(square100());
    QCOMPARE(wallHeat(0.26, geo, 0.01, 1e-4, 1e5, 500, 1e-4, 820, 500, 10, 1e-4), 0.0);
    QVERIFY(wallHeat(0.26, geo, 0.01, 1e-4, 1e5, 400, 1e-4, 820, 500, 10, 1e-4) < 0);
}

void TestEngine::wallsAreTheGasCan_data()
{
    QTest::addColumn<double>("degrees");
    QTest::newRow("top dead centre") << 0.0;
    QTest::newRow("half way") << 90.0;
    QTest::newRow("bottom dead centre") << 180.0;
}

// The gas gives heat through the whole skin of the can it fills: the head and the crown, a
// bore's disc each, and the liner as tall as the gas (its volume over the bore's area, from the
// clearance and the crank-slider worked out here).
void TestEngine::wallsAreTheGasCan()
{
    QFETCH(double, degrees);
    const EngineInputs e = square100();
    const EngineGeometry geo = engineGeometry(e);
    const double stroke = std::cbrt(4 * 100e-6 / Pi), bore = stroke, disc = Pi / 4 * bore * bore;
    const double volume = 100e-6 / (e.compressionRatio - 1) +
                          disc * pistonDrop(stroke, e.conRodStrokes * stroke, degrees);
    const double skin = 2 * disc + Pi * bore * volume / disc;
    const double mass = 1e5 * volume / (287 * 1500), dt = 1e-7, cm = 2 * stroke * 9000 / 60;
    const double q = wallHeat(0.26, geo, geo.travel(degrees), mass, 1e5, 1500, volume, 718, 473,
                              cm, dt);
    const double h = annandCoefficient(0.26, mass / volume, 1500, cm, bore);
    QVERIFY2(std::abs(q / (h * skin * (1500 - 473) * dt) - 1) < 1e-9,
             qPrintable(QStringLiteral("%1 m² against %2").arg(q / (h * (1500 - 473) * dt)).arg(skin)));
}

// 100 cm³ at 10000 rpm, 10 bar indicated, 0.5 bar pumping, 2 bar friction: 7.5 bar at the
// crankshaft, 12.5 kW (17.0 CV), 11.94 N m; 30 mg of fuel a cycle.
void TestEngine::brakeFiguresWorkedExample()
{
    const double swept = 100e-6;
    const BrakeFigures b = brakeFigures(10e5 * swept, -0.5e5 * swept, 2, swept, 10000, 30e-6);
    QVERIFY(std::abs(b.imep - 10) < 1e-12 && std::abs(b.pmep - 0.5) < 1e-12);
    QVERIFY(std::abs(b.bmep - 7.5) < 1e-12);
    QVERIFY(std::abs(b.powerKw - 12.5) < 1e-9);
    QVERIFY(std::abs(b.powerCv - 12500 / 735.49875) < 1e-9);
    QVERIFY(std::abs(b.torqueNm - 12500 / (2 * Pi * 10000 / 60)) < 1e-9);
    // 30 mg a cycle at 10000 rpm is 18 kg/h: 1440 g/kWh at 12.5 kW.
    QVERIFY(b.bsfc && std::abs(*b.bsfc - 1440) < 1e-9);
    QVERIFY(std::abs(chenFlynn(0.4, 0.005, 0.09, 9e-4, 60, 20) - (0.4 + 0.3 + 1.8 + 0.36)) < 1e-12);
    // No power, no consumption per kilowatt hour.
    QVERIFY(!brakeFigures(0, 0, 2, swept, 10000, 30e-6).bsfc);
}

void TestEngine::benchCurve_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("error");     // the start of the refusal; empty: read
    QTest::addColumn<double>("lastCv");     // of the fastest row
    QTest::newRow("CV") << QByteArray("rpm,cv\n9000,20\n8000,17.5\n10000,21\n") << QString() << 21.0;
    QTest::newRow("kW, an Italian spreadsheet") << QByteArray("RPM;kW\r\n8000;12,5\r\n9000;14,71\r\n")
                                                << QString() << 14.71 * 1000 / 735.49875;
    QTest::newRow("no unit") << QByteArray("rpm,potenza\n8000,12\n9000,13\n") << "riga 1:" << 0.0;
    QTest::newRow("a speed twice") << QByteArray("rpm,cv\n8000,12\n9000,13\n8000,12\n") << "riga 4:" << 0.0;
    QTest::newRow("negative power") << QByteArray("rpm,cv\n8000,12\n9000,-1\n") << "riga 3:" << 0.0;
    QTest::newRow("one row") << QByteArray("rpm,cv\n8000,12\n") << "servono almeno due" << 0.0;
}

// A measured power curve read in CV whatever its unit, by rising speed; refused by line.
void TestEngine::benchCurve()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, error);
    QFETCH(double, lastCv);
    const BenchRead r = readBenchCurve(csv);
    if (!error.isEmpty()) {
        QVERIFY2(r.error.startsWith(error), qPrintable(r.error));
        return;
    }
    QVERIFY2(r.ok(), qPrintable(r.error));
    for (std::size_t k = 1; k < r.curve.points.size(); ++k)
        QVERIFY(r.curve.points[k].first > r.curve.points[k - 1].first);
    QVERIFY(std::abs(r.curve.points.back().second - lastCv) < 1e-12);
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"

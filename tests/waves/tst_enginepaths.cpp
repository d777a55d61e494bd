// The firing engine with a box on its exhaust, a duct to its transfer port and a hot pipe wall,
// as the user sees it: the fuel's energy still accounted for, a narrower tail holding the box
// up and the charge back, a hotter wall moving the power peak up the range.
#include "cycle.h"
#include "firingcases.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace velmorant;
using namespace velmorant::waves;
using namespace velmorant::waves::firing;

namespace {

Pipe tube(double lengthMm, double dMm)
{
    Pipe p;
    p.sections << PipeSection(lengthMm, dMm, dMm);
    return p;
}

// The pipe, then a silencer's box of `litres`, then a tail pipe whose entry passes `cdOut` of
// its area.
GasPath silenced(double litres, double cdOut)
{
    GasPath path;
    path.pipes << PathPipe{defaultPipe(), {}} << PathPipe{tube(250, 22), {}};
    path.volumes << PathVolume{litres, 1, cdOut, 2, {}};
    return path;
}

double meanOf(const std::vector<double> &v)
{
    return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}

} // namespace

class TestEnginePaths : public QObject
{
    Q_OBJECT

private slots:
    void energyCloses_data();
    void energyCloses();
    void narrowerTailHoldsTheBoxUp();
    void hotterWallPeaksHigher();
    void computedWallFindsItsPlace();
    void boxRunSettlesToItsCycle();
    void airboxDrawsBelowTheAir();
};

void TestEnginePaths::energyCloses_data()
{
    QTest::addColumn<bool>("duct");
    QTest::addColumn<bool>("box");
    QTest::newRow("transfer duct") << true << false;
    QTest::newRow("exhaust box") << false << true;
    QTest::newRow("both") << true << true;
}

// Over the last cycle the fuel's energy is the piston's work, the walls' heat and what the gas
// carries out of the cylinder net of what it brings in, whatever lies beyond the ports.
void TestEnginePaths::energyCloses()
{
    QFETCH(bool, duct);
    QFETCH(bool, box);
    WaveOptions o;
    o.maxCycles = 60;
    if (duct)
        o.transferDuct = WaveOptions::TransferDuct{80, 30, 34};
    if (box)
        o.exhaustPath = silenced(3, 1);
    const SpeedResult r = simulateSpeed(defaultPipe(), defaultEngine(), o, 10000);
    QVERIFY(!r.failed);
    QCOMPARE(r.volumes.size(), box ? 1 : 0);
    const EnergyBalance &b = r.energy;
    const double sum = b.work + b.wallHeat + b.exhaust - b.intake;
    qInfo("%d cycles, energy closes to %.2e", r.cycles, sum / b.fuel - 1);
    QVERIFY2(std::abs(sum / b.fuel - 1) < 0.002,
             qPrintable(QStringLiteral("fuel %1 J against %2 (%3 cycles)").arg(b.fuel).arg(sum).arg(r.cycles)));
    QVERIFY(r.deliveryRatio > 0.2 && r.brake.powerKw > 0);
}

// The same flow through a narrower tail: the box's mean pressure rises, and the engine, pushing
// against it, draws less charge.
void TestEnginePaths::narrowerTailHoldsTheBoxUp()
{
    WaveOptions open, narrow;
    open.maxCycles = narrow.maxCycles = 60;
    open.exhaustPath = silenced(3, 1);
    narrow.exhaustPath = silenced(3, 0.25);
    const SpeedResult a = simulateSpeed(defaultPipe(), defaultEngine(), open, 9000);
    const SpeedResult b = simulateSpeed(defaultPipe(), defaultEngine(), narrow, 9000);
    const double pa = defaultEngine().ambientPressure * 1e5;
    const double boxA = meanOf(a.volumes[0].p) - pa, boxB = meanOf(b.volumes[0].p) - pa;
    qInfo("box %.0f Pa over the air, DR %.4f; narrower tail %.0f Pa, DR %.4f", boxA,
          a.deliveryRatio, boxB, b.deliveryRatio);
    QVERIFY2(boxB > 1.5 * boxA && boxA > 0, qPrintable(QStringLiteral("%1 Pa against %2 Pa").arg(boxB).arg(boxA)));
    QVERIFY2(b.deliveryRatio < a.deliveryRatio,
             qPrintable(QStringLiteral("%1 against %2").arg(b.deliveryRatio).arg(a.deliveryRatio)));
}

// The gas in a hotter pipe is hotter, its sound faster: the pipe is tuned to a higher speed.
void TestEnginePaths::hotterWallPeaksHigher()
{
    QList<double> rpms;
    for (double rpm = 7000; rpm <= 13000; rpm += 500)
        rpms << rpm;
    WaveOptions cool, hot;
    cool.exhaustPath = GasPath{{PathPipe{defaultPipe(), {{0.0, 150.0}}}}, {}};
    hot.exhaustPath = GasPath{{PathPipe{defaultPipe(), {{0.0, 750.0}}}}, {}};
    const double low = peakSpeed(simulateSpeeds(defaultPipe(), defaultEngine(), cool, rpms, 2));
    const double high = peakSpeed(simulateSpeeds(defaultPipe(), defaultEngine(), hot, rpms, 2));
    qInfo("power peak %.0f rpm with the wall at 150 C, %.0f rpm at 750 C", low, high);
    QVERIFY2(high > low * 1.03, qPrintable(QStringLiteral("%1 rpm against %2").arg(high).arg(low)));
}

// A wall left to find its own temperature settles between the air and the exhaust's gas, and
// the engine runs on it as on a given wall; given that wall's own profile, it runs the same.
void TestEnginePaths::computedWallFindsItsPlace()
{
    WaveOptions o;
    GasPath path{{PathPipe{defaultPipe(), {}, true}}, {}};
    o.exhaustPath = path;
    const EngineInputs e = defaultEngine();
    const SpeedResult r = simulateSpeed(defaultPipe(), e, o, 10000);
    QVERIFY(!r.failed && r.brake.powerKw > 0);
    QCOMPARE(r.walls.size(), 1);
    const WallProfile &w = r.walls[0];
    QCOMPARE(w.kelvin.size(), w.xMm.size());
    const double air = e.ambientTemperature + 273.15;
    const double hottestGas = *std::max_element(r.traces[0].t.begin(), r.traces[0].t.end());
    for (double k : w.kelvin)
        QVERIFY(k > air && k < hottestGas);
    const std::size_t quarter = w.kelvin.size() / 4;
    const double header = std::accumulate(w.kelvin.begin(), w.kelvin.begin() + quarter, 0.0);
    const double tail = std::accumulate(w.kelvin.end() - quarter, w.kelvin.end(), 0.0);
    qInfo("wall %.0f C at the header, %.0f C at the tail", header / quarter - 273.15,
          tail / quarter - 273.15);
    // The same wall given as a profile: the same engine, to the periodicity's tolerance.
    WaveOptions given;
    PathPipe fixed{defaultPipe(), {}, false};
    for (std::size_t i = 0; i < w.xMm.size(); ++i)
        fixed.wallC.append({w.xMm[i], w.kelvin[i] - 273.15});
    given.exhaustPath = GasPath{{fixed}, {}};
    const SpeedResult same = simulateSpeed(defaultPipe(), e, given, 10000);
    QVERIFY2(std::abs(same.brake.powerKw / r.brake.powerKw - 1) < 0.01,
             qPrintable(QStringLiteral("%1 kW against %2 kW").arg(same.brake.powerKw).arg(r.brake.powerKw)));
}

// A box settles its content more slowly than the engine its cycle: brought to the temperature
// it creeps to, the run settles in a few cycles, to the figures of a run left to get there by
// itself, held on ten times as strictly for three times as many cycles.
void TestEnginePaths::boxRunSettlesToItsCycle()
{
    WaveOptions o;
    o.exhaustPath = silenced(3, 0.8);
    const SpeedResult r = simulateSpeed(defaultPipe(), defaultEngine(), o, 11000);
    QVERIFY2(r.periodic, qPrintable(QStringLiteral("%1 cycles").arg(r.cycles)));
    WaveOptions slow = o;
    slow.hastenVolumes = false;
    slow.maxCycles = 3 * o.maxCycles;
    slow.periodicTolerance = o.periodicTolerance / 10;
    const SpeedResult longer = simulateSpeed(defaultPipe(), defaultEngine(), slow, 11000);
    QVERIFY(longer.cycles > 2 * r.cycles);
    const double box = meanOf(r.volumes[0].t), settled = meanOf(longer.volumes[0].t);
    qInfo("%d cycles: %.4f kW, DR %.4f, box %.1f K; by itself %d cycles: %.4f kW, DR %.4f, box "
          "%.1f K",
          r.cycles, r.brake.powerKw, r.deliveryRatio, box, longer.cycles, longer.brake.powerKw,
          longer.deliveryRatio, settled);
    QVERIFY(std::abs(r.brake.powerKw / longer.brake.powerKw - 1) < 0.005);
    QVERIFY(std::abs(r.deliveryRatio / longer.deliveryRatio - 1) < 0.005);
    QVERIFY(std::abs(box / settled - 1) < 0.01);
}

// An airbox ahead of the intake pipe: the crankcase draws through it, so it stands below the
// air on average, and the narrower its mouth the lower it stands and the less the engine takes.
void TestEnginePaths::airboxDrawsBelowTheAir()
{
    auto intake = [](double cdIn) {
        GasPath path; // from the crankcase out
        path.pipes << PathPipe{tube(150, 30), {}} << PathPipe{tube(100, 30), {}};
        path.volumes << PathVolume{3, cdIn, 1, 2, {}};
        return path;
    };
    const double pa = defaultEngine().ambientPressure * 1e5;
    double previousBox = 0, previousDelivery = 0;
    for (double cd : {1.0, 0.3}) {
        WaveOptions o;
        o.intakePath = intake(cd);
        const SpeedResult r = simulateSpeed(defaultPipe(), defaultEngine(), o, 9000);
        QVERIFY(!r.failed && r.periodic);
        QCOMPARE(r.volumes.size(), 1);
        QVERIFY(!r.volumes[0].exhaust);
        QCOMPARE(r.volumes[0].element, 2);
        const double box = meanOf(r.volumes[0].p) - pa;
        qInfo("airbox mouth cd %.1f: %.0f Pa, DR %.4f", cd, box, r.deliveryRatio);
        QVERIFY(box < 0);
        if (previousDelivery > 0) {
            QVERIFY(box < previousBox);
            QVERIFY(r.deliveryRatio < previousDelivery);
        }
        previousBox = box;
        previousDelivery = r.deliveryRatio;
    }
}

QTEST_GUILESS_MAIN(TestEnginePaths)
#include "tst_enginepaths.moc"

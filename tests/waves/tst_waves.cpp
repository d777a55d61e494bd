// The model on the running engine: a crankcase still emptying its first air is not a settled
// cycle, a cycle repeats, speeds run in parallel give what they give alone, the engine's ranges
// refuse what is out of them, and the default cell is fine enough.
#include "tubecases.h"
#include "cycle.h"

using namespace velmorant;
using namespace velmorant::waves;
using namespace velmorant::waves::tubes;

namespace {

// The engine of the first sizing's default design, and its pipe.
EngineInputs defaultEngine()
{
    return onDesign(EngineInputs(), defaultParameters());
}

Pipe defaultPipe()
{
    return firstSizingPipe(evaluateChamber(defaultParameters()).dimensions);
}

} // namespace

class TestWaves : public QObject
{
    Q_OBJECT

private slots:
    void crankcaseStoreIsNotASettledCycle();
    void engineCycleIsPeriodic();
    void speedsInParallelAreTheSame();
    void engineRangesRefuse();
    void defaultCellIsFineEnough_data();
    void defaultCellIsFineEnough();
};

// A crankcase still giving up the air it started with: a 10 mm stroke at 22625 rpm breathes so
// little that for dozens of cycles the cylinder is fed from that store. Such a run is not
// periodic, and the share of the charge kept stays a share (it read 5.03 when the
// periodicity looked at the pipe alone and the trapped charge was set against the intake).
void TestWaves::crankcaseStoreIsNotASettledCycle()
{
    EngineInputs e = defaultEngine();
    e.cycle = engine::Cycle::Fixed; // the case as it was found
    e.stroke = 10;
    WaveOptions o;
    const SpeedResult r = simulateSpeed(defaultPipe(), e, o, 22625);
    QVERIFY(r.trappingEfficiency > 0 && r.trappingEfficiency <= 1);
    QVERIFY(r.chargingEfficiency <= r.deliveryRatio * 1.01 || !r.periodic);
    QVERIFY2(!r.periodic, qPrintable(QString::number(r.cycles)));
    // Given the cycles, it settles: then the intake feeds what is trapped.
    o.maxCycles = 400;
    const SpeedResult settled = simulateSpeed(defaultPipe(), e, o, 22625);
    QVERIFY2(settled.periodic, qPrintable(QString::number(settled.cycles)));
    QVERIFY(std::abs(settled.chargingEfficiency /
                         (settled.deliveryRatio * settled.trappingEfficiency) -
                     1) < 0.01);
}

void TestWaves::engineCycleIsPeriodic()
{
    const SpeedResult r = simulateSpeed(defaultPipe(), defaultEngine(), WaveOptions(), 10000);
    QVERIFY2(r.periodic && r.cycles <= 40, qPrintable(QString::number(r.cycles)));
    // What the port takes in the end lets out: the pipe neither fills nor empties.
    QVERIFY2(std::abs(r.portMass / r.endMass - 1) < 0.005,
             qPrintable(QStringLiteral("%1 %2").arg(r.portMass).arg(r.endMass)));
    QVERIFY(r.deliveryRatio > 0 && r.trappingEfficiency > 0 && r.trappingEfficiency <= 1);
    // Settled, what the intake delivers is what the cylinder takes: CE = DR TE to the tolerance
    // of the crankcase's balance.
    QVERIFY(std::abs(r.chargingEfficiency / (r.deliveryRatio * r.trappingEfficiency) - 1) < 0.01);
    // The port sees the blowdown above ambient and the suction below it while the transfers
    // are open.
    const auto [lo, hi] = std::minmax_element(r.traces[0].p.begin(), r.traces[0].p.end());
    QVERIFY(*hi > 1.5e5 && *lo > 0);
    QVERIFY(r.suction < 0);
    QCOMPARE(int(r.traces[0].p.size()), SamplesPerCycle);
}

void TestWaves::speedsInParallelAreTheSame()
{
    // Threads share nothing: each speed gives the same numbers alone or beside others.
    WaveOptions o;
    o.cellMm = 20;
    o.probes = {300};
    const QList<double> rpms{8000, 12000};
    const QList<SpeedResult> together = simulateSpeeds(defaultPipe(), defaultEngine(), o, rpms, 2);
    for (int k = 0; k < rpms.size(); ++k) {
        const SpeedResult alone = simulateSpeed(defaultPipe(), defaultEngine(), o, rpms[k]);
        QCOMPARE(together[k].rpm, rpms[k]);
        QVERIFY(together[k].chargingEfficiency == alone.chargingEfficiency);
        QVERIFY(together[k].traces[1].p == alone.traces[1].p);
    }
    // Stopping ends every speed early and says so.
    std::atomic<bool> stop{true};
    for (const SpeedResult &r : simulateSpeeds(defaultPipe(), defaultEngine(), o, rpms, 2, &stop))
        QVERIFY(r.cancelled);
}

void TestWaves::engineRangesRefuse()
{
    EngineInputs e = defaultEngine();
    QVERIFY(!engineProblem(e));
    e.eoPressure = 0.5;
    QVERIFY(engineProblem(e)->contains("--eo-pressure"));
    e = defaultEngine();
    e.bore = std::nan("");
    QVERIFY(engineProblem(e)->contains("--bore"));
    e = defaultEngine();
    e.asp = 200;
    QVERIFY(engineProblem(e));
}

void TestWaves::defaultCellIsFineEnough_data()
{
    QTest::addColumn<bool>("fired");
    QTest::addColumn<double>("rpm");
    QTest::addColumn<double>("bound"); // of the change of charging efficiency
    QTest::newRow("fixed cycle, 10000 rpm") << false << 10000.0 << 0.005;
    QTest::newRow("firing, 8000 rpm") << true << 8000.0 << 0.005;
    QTest::newRow("firing, 10000 rpm") << true << 10000.0 << 0.005;
    QTest::newRow("firing, 12000 rpm") << true << 12000.0 << 0.005;
}

// Halving the default cell moves the default design's charging efficiency by less than the
// bound.
void TestWaves::defaultCellIsFineEnough()
{
    QFETCH(bool, fired);
    QFETCH(double, rpm);
    QFETCH(double, bound);
    EngineInputs e = defaultEngine();
    e.cycle = fired ? engine::Cycle::Fired : engine::Cycle::Fixed;
    WaveOptions half;
    half.cellMm = DefaultCellMm / 2;
    const double coarse = simulateSpeed(defaultPipe(), e, WaveOptions(), rpm).chargingEfficiency;
    const double fine = simulateSpeed(defaultPipe(), e, half, rpm).chargingEfficiency;
    QVERIFY2(std::abs(coarse / fine - 1) < bound,
             qPrintable(QStringLiteral("%1 %2").arg(coarse).arg(fine)));
}

QTEST_GUILESS_MAIN(TestWaves)
#include "tst_waves.moc"

// The firing engine's figures move the way an engine's do, as a tuner knows them: with
// compression, air, ignition and pipe length, with the scavenging model and the intake pipe,
// and a warm start settles to the same cycle sooner.
#include "cycle.h"
#include "firingcases.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::waves;
using namespace velmorant::waves::firing;

class TestFiringDirections : public QObject
{
    Q_OBJECT

private slots:
    void directions_data();
    void directions();
    void longerPipePeaksLower();
    void burntGasTunesLower();
    void scavengingOrder();
    void intakePipeTunesTheDelivery();
    void warmStartSettlesSooner();
};

void TestFiringDirections::directions_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("figure"); // "efficiency" (indicated work over the fuel's
                                         // energy), "power", "consumption" (brake specific)
    QTest::addColumn<int>("sign");       // of the figure's change
    QTest::newRow("compression 8 to 13") << "compression" << "efficiency" << 1;
    QTest::newRow("air 20 to 45 °C") << "hot air" << "power" << -1;
    QTest::newRow("air 1.013 to 0.85 bar") << "thin air" << "power" << -1;
    QTest::newRow("ignition 18 to -10 (after TDC)") << "late ignition" << "power" << -1;
    QTest::newRow("walls adiabatic") << "no wall heat" << "efficiency" << 1;
    QTest::newRow("air-fuel 14.5 to 11") << "rich" << "consumption" << 1;
}

// What a tuner knows: each change moves its figure the known way, at three speeds.
void TestFiringDirections::directions()
{
    QFETCH(QString, change);
    QFETCH(QString, figure);
    QFETCH(int, sign);
    EngineInputs base = defaultEngine(), changed = base;
    if (change == "compression") {
        base.compressionRatio = 8;
        changed.compressionRatio = 13;
    } else if (change == "hot air") {
        changed.ambientTemperature = 45;
    } else if (change == "thin air") {
        changed.ambientPressure = 0.85;
    } else if (change == "late ignition") {
        changed.ignition = -10;
    } else if (change == "no wall heat") {
        changed.heatTransfer = 0;
    } else if (change == "rich") {
        base.airFuel = 14.5;
        changed.airFuel = 11;
    }
    const QList<double> rpms{7000, 10000, 12000};
    const QList<SpeedResult> a = simulateSpeeds(defaultPipe(), base, WaveOptions(), rpms, 2);
    const QList<SpeedResult> b = simulateSpeeds(defaultPipe(), changed, WaveOptions(), rpms, 2);
    for (int k = 0; k < rpms.size(); ++k) {
        auto of = [&](const SpeedResult &r) {
            if (figure == "consumption")
                return r.brake.bsfc.value_or(0);
            return figure == "power" ? r.brake.powerKw : r.energy.work / r.energy.fuel;
        };
        QVERIFY2(sign * (of(b[k]) - of(a[k])) > 0.005 * std::abs(of(a[k])),
                 qPrintable(QStringLiteral("%1 against %2: %3 / %4")
                                .arg(of(b[k]))
                                .arg(of(a[k]))
                                .arg(figures(a[k]), figures(b[k]))));
    }
}

// The same pipe 20 % longer is tuned lower: its power peak comes at a lower speed, by about the
// ratio of the lengths.
void TestFiringDirections::longerPipePeaksLower()
{
    QList<double> rpms;
    for (double rpm = 6000; rpm <= 13000; rpm += 500)
        rpms << rpm;
    WaveOptions o;
    const QList<SpeedResult> base = simulateSpeeds(defaultPipe(), defaultEngine(), o, rpms, 2);
    const QList<SpeedResult> longer =
        simulateSpeeds(scaled(defaultPipe(), 1.2), defaultEngine(), o, rpms, 2);
    const double peak = peakSpeed(base), lower = peakSpeed(longer);
    QVERIFY2(lower < peak * 0.95 && lower > peak / 1.2 * 0.85,
             qPrintable(QStringLiteral("%1 rpm against %2").arg(lower).arg(peak)));
}

// Burnt gas at the pipe's temperatures has a lower gamma than the constant 1.35 (1.30 at 900 K)
// and its cp grows with temperature: sound runs slower, so the same pipe's power peak comes at
// a lower speed with the gas that follows its temperature (9025 to 8943 rpm here), and not by
// more than the sound speed could explain.
void TestFiringDirections::burntGasTunesLower()
{
    QList<double> rpms;
    for (double rpm = 7500; rpm <= 10500; rpm += 250)
        rpms << rpm;
    WaveOptions o;
    const QList<SpeedResult> constant = simulateSpeeds(defaultPipe(), defaultEngine(), o, rpms, 2);
    o.variableGas = true;
    const QList<SpeedResult> variable = simulateSpeeds(defaultPipe(), defaultEngine(), o, rpms, 2);
    const double peak = peakSpeed(constant), lower = peakSpeed(variable);
    QVERIFY2(lower < peak && lower > peak * 0.9,
             qPrintable(QStringLiteral("%1 rpm against %2").arg(lower).arg(peak)));
}

// With the blowdown held fixed and the delivery short of a cylinderful, the scavenging model
// alone decides what stays: perfect displacement keeps every bit of fresh charge, perfect
// mixing the least, the loop-scavenged cylinder lies between, and the gas flows alike. Firing,
// the better scavenged cylinder burns more and gives more power.
void TestFiringDirections::scavengingOrder()
{
    auto run = [](engine::Scavenging s, engine::Cycle c) {
        EngineInputs e = defaultEngine();
        e.scavenging = s;
        e.cycle = c;
        if (c == engine::Cycle::Fixed) {
            e.crankcaseRatio = 1.25;
            e.transferWidth = 0.5;
        }
        return simulateSpeed(defaultPipe(), e, WaveOptions(), 9000);
    };
    using engine::Scavenging;
    const SpeedResult mixing = run(Scavenging::Mixing, engine::Cycle::Fixed);
    const SpeedResult loop = run(Scavenging::Scre, engine::Cycle::Fixed);
    const SpeedResult displacement = run(Scavenging::Displacement, engine::Cycle::Fixed);
    const QString all = figures(mixing) + " / " + figures(loop) + " / " + figures(displacement);
    QVERIFY2(mixing.deliveryRatio < 0.6 && relative(mixing.deliveryRatio, loop.deliveryRatio) < 1e-6 &&
                 relative(mixing.deliveryRatio, displacement.deliveryRatio) < 1e-6,
             qPrintable(all));
    QVERIFY2(mixing.trappingEfficiency < loop.trappingEfficiency - 0.05 &&
                 loop.trappingEfficiency < displacement.trappingEfficiency - 0.05 &&
                 displacement.trappingEfficiency > 0.999,
             qPrintable(all));
    QVERIFY2(mixing.scavengingEfficiency < loop.scavengingEfficiency &&
                 loop.scavengingEfficiency < displacement.scavengingEfficiency,
             qPrintable(all));
    const SpeedResult firedMixing = run(Scavenging::Mixing, engine::Cycle::Fired);
    const SpeedResult firedLoop = run(Scavenging::Scre, engine::Cycle::Fired);
    QVERIFY2(firedLoop.brake.powerKw > firedMixing.brake.powerKw * 1.05,
             qPrintable(figures(firedMixing) + " / " + figures(firedLoop)));
}

// An intake pipe's length moves the delivery ratio as the exhaust's does; its gas is the
// carburetted charge, and the periodic cycle still balances the crankcase.
void TestFiringDirections::intakePipeTunesTheDelivery()
{
    auto run = [](double lengthMm) {
        WaveOptions o;
        if (lengthMm > 0) {
            Pipe intake;
            intake.sections = {PipeSection(lengthMm, 24, 24)};
            o.intakePipe = intake;
        }
        return simulateSpeed(defaultPipe(), defaultEngine(), o, 9000);
    };
    const SpeedResult none = run(0), shortPipe = run(120), longPipe = run(450);
    const QString all = figures(none) + " / " + figures(shortPipe) + " / " + figures(longPipe);
    QVERIFY2(shortPipe.periodic && longPipe.periodic, qPrintable(all));
    QVERIFY2(relative(shortPipe.deliveryRatio, longPipe.deliveryRatio) > 0.05, qPrintable(all));
    for (const SpeedResult &r : {shortPipe, longPipe})
        QVERIFY2(std::abs(r.chargingEfficiency / (r.deliveryRatio * r.trappingEfficiency) - 1) <
                     0.01,
                 qPrintable(figures(r)));
}

// A speed started from where a neighbouring speed (or the same speed on a slightly longer pipe)
// settled needs fewer cycles, and settles to the same cycle as from still gas, to the
// periodicity's tolerance.
void TestFiringDirections::warmStartSettlesSooner()
{
    WaveOptions o;
    o.keepSettled = true;
    o.intakePipe = Pipe();
    o.intakePipe->sections = {PipeSection(150, 26, 26)};
    const SpeedResult first = simulateSpeed(defaultPipe(), defaultEngine(), o, 10000);
    QVERIFY(first.periodic && first.settled);
    QVERIFY(!first.settled->intake.empty());
    struct Case
    {
        Pipe pipe;
        double rpm;
    };
    for (const Case &c : {Case{defaultPipe(), 9500}, Case{scaled(defaultPipe(), 1.03), 10000}}) {
        const SpeedResult cold = simulateSpeed(c.pipe, defaultEngine(), o, c.rpm);
        const SpeedResult warm =
            simulateSpeed(c.pipe, defaultEngine(), o, c.rpm, nullptr, nullptr, first.settled.get());
        QVERIFY2(cold.periodic && warm.periodic && warm.cycles < cold.cycles,
                 qPrintable(figures(cold) + " / " + figures(warm)));
        QVERIFY2(relative(warm.brake.powerKw, cold.brake.powerKw) < 0.01 &&
                     relative(warm.deliveryRatio, cold.deliveryRatio) < 0.01,
                 qPrintable(figures(cold) + " / " + figures(warm)));
    }
}

QTEST_GUILESS_MAIN(TestFiringDirections)
#include "tst_firingdirections.moc"

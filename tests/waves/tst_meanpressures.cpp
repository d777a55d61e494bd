// Where the mean pressure goes, against figures found here: the reference is the fuel of a
// swept volume of ambient charge, the combustion's step is what the trapped fuel could give and
// did not, the exhaust's step is the enthalpy the gas carried out, and the friction is the
// correlation's torque over one turn of the crank.
#include "combustion.h"
#include "cycle.h"
#include "firingcases.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::waves;
using namespace velmorant::waves::firing;

class TestMeanPressures : public QObject
{
    Q_OBJECT

private slots:
    void stepsAgainstTheirOwnFigures_data();
    void stepsAgainstTheirOwnFigures();
    void frictionTakesOneTurn_data();
    void frictionTakesOneTurn();
};

void TestMeanPressures::stepsAgainstTheirOwnFigures_data()
{
    QTest::addColumn<double>("airFuel");
    QTest::addColumn<double>("efficiency");
    QTest::addColumn<double>("ambientC");
    QTest::newRow("rich, 0.9") << 12.5 << 0.9 << 20.0;
    QTest::newRow("lean, complete") << 16.0 << 1.0 << 20.0;
    QTest::newRow("lean, 0.8, hot day") << 16.0 << 0.8 << 40.0;
}

void TestMeanPressures::stepsAgainstTheirOwnFigures()
{
    QFETCH(double, airFuel);
    QFETCH(double, efficiency);
    QFETCH(double, ambientC);
    EngineInputs e = boredEngine();
    e.airFuel = airFuel;
    e.combustionEfficiency = efficiency;
    e.ambientTemperature = ambientC;
    WaveOptions o;
    o.cellMm = 20;
    const SpeedResult r = simulateSpeed(defaultPipe(), e, o, 10000);
    QVERIFY2(r.periodic, qPrintable(figures(r)));
    const MeanPressures &m = r.meanPressures;
    const double swept = Pi / 4 * std::pow(*e.bore / 1000, 2) * *e.stroke / 1000;

    // The fuel in a swept volume of air and fuel at the ambient state, as heat over the volume.
    const double density = e.ambientPressure * 1e5 / (287.0 * (ambientC + 273.15));
    const double reference = density / (1 + airFuel) * e.lhv * 1e6 / 1e5;
    QVERIFY2(relative(m.reference, reference) < 1e-12,
             qPrintable(QStringLiteral("%1 against %2 bar").arg(m.reference).arg(reference)));

    // The trapped fuel burns as far as its air allows, times the combustion efficiency; the
    // burn is over long before the exhaust opens.
    const double burnable = std::min(1.0, airFuel / engine::StoichiometricAirFuel) * efficiency;
    const double trapped = reference * r.chargingEfficiency;
    QVERIFY2(
        std::abs(m.combustion - trapped * (1 - burnable)) < 1e-4 * trapped,
        qPrintable(
            QStringLiteral("%1 against %2 bar").arg(m.combustion).arg(trapped * (1 - burnable))));
    // The delivery's and trapping's steps leave the trapped charge's fuel.
    QVERIFY(std::abs(m.reference - m.delivery - m.trapping - trapped) < 1e-9 * trapped);

    // The exhaust's step is what the gas carried out of the cylinder, net of what came in,
    // measured at the ports over the settled cycle: the cylinder's energy closes.
    const double carried = (r.energy.exhaust - r.energy.intake) / swept / 1e5;
    QVERIFY2(std::abs(m.exhaust - carried) < 0.005 * r.energy.fuel / swept / 1e5,
             qPrintable(QStringLiteral("%1 against %2 bar").arg(m.exhaust).arg(carried)));

    // The steps reach the indicated and brake figures the table shows.
    const double afterLosses =
        m.reference - m.delivery - m.trapping - m.combustion - m.heat - m.exhaust;
    QVERIFY(std::abs(afterLosses - r.brake.imep) < 1e-9 * m.reference);
    QVERIFY(std::abs(m.imep - m.pumping - m.friction - r.brake.bmep) < 1e-12 * m.reference);
}

void TestMeanPressures::frictionTakesOneTurn_data()
{
    QTest::addColumn<double>("rpm");
    QTest::newRow("7000 rpm") << 7000.0;
    QTest::newRow("12000 rpm") << 12000.0;
}

// A four-stroke's constants give the friction of a cycle of two turns; the two-stroke's cycle
// is one turn and takes half of it, but the whole of the peak pressure's term. Friction takes
// nothing from the gas: the indicated figures stay as they are.
void TestMeanPressures::frictionTakesOneTurn()
{
    QFETCH(double, rpm);
    EngineInputs e = boredEngine();
    WaveOptions o;
    o.cellMm = 20;
    e.frictionRevolutions = 1;
    const SpeedResult whole = simulateSpeed(defaultPipe(), e, o, rpm);
    e.frictionRevolutions = 2;
    const SpeedResult half = simulateSpeed(defaultPipe(), e, o, rpm);
    QCOMPARE(whole.brake.imep, half.brake.imep);
    const double pistonSpeed = 2 * *e.stroke / 1000 * rpm / 60;
    const double torqueTerm =
        e.frictionA + e.frictionC * pistonSpeed + e.frictionD * pistonSpeed * pistonSpeed;
    const double peakTerm = e.frictionB * half.peakPressure;
    QVERIFY2(std::abs(whole.brake.fmep - (torqueTerm + peakTerm)) < 1e-12,
             qPrintable(
                 QStringLiteral("%1 against %2").arg(whole.brake.fmep).arg(torqueTerm + peakTerm)));
    QVERIFY2(
        std::abs(half.brake.fmep - (torqueTerm / 2 + peakTerm)) < 1e-12,
        qPrintable(
            QStringLiteral("%1 against %2").arg(half.brake.fmep).arg(torqueTerm / 2 + peakTerm)));
    QVERIFY(std::abs(half.brake.bmep - whole.brake.bmep - torqueTerm / 2) < 1e-12);
}

QTEST_GUILESS_MAIN(TestMeanPressures)
#include "tst_meanpressures.moc"

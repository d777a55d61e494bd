// A mitre joint's loss: its coefficient against the published table, and in the scheme a sink
// of momentum of exactly K rho u|u| A / 2 over a step, with no change of energy; scaled to 0,
// nothing at all.
#include "scheme.h"
#include "mitreloss.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::waves;

class TestMitreLoss : public QObject
{
    Q_OBJECT

private slots:
    void coefficient_data();
    void coefficient();
    void oneStepOfUniformFlow_data();
    void oneStepOfUniformFlow();
};

void TestMitreLoss::coefficient_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("turbulent"); // Re >= 2e5
    QTest::addColumn<double>("at5e4");
    QTest::newRow("10") << 10.0 << 0.0315 << 0.0454;
    QTest::newRow("15") << 15.0 << 0.0534 << 0.0770;
    QTest::newRow("20") << 20.0 << 0.0801 << 0.1154;
    QTest::newRow("25") << 25.0 << 0.1122 << 0.1617;
    QTest::newRow("30") << 30.0 << 0.1505 << 0.2169;
    QTest::newRow("45") << 45.0 << 0.3102 << 0.4470;
    QTest::newRow("90") << 90.0 << 1.3057 << 1.8813;
}

void TestMitreLoss::coefficient()
{
    QFETCH(double, angle);
    QFETCH(double, turbulent);
    QFETCH(double, at5e4);
    QVERIFY(std::abs(mitreLoss(angle, 2e5) - turbulent) < 5e-5);
    QVERIFY(std::abs(mitreLoss(angle, 1e6) - turbulent) < 5e-5);
    QVERIFY2(std::abs(mitreLoss(angle, 5e4) - at5e4) < 5e-5, qPrintable(QString::number(mitreLoss(angle, 5e4))));
    // Between 1e5 and 2e5 the correction runs down without a jump.
    const double low = mitreLoss(angle, 1e5), mid = mitreLoss(angle, 1.5e5);
    QVERIFY(low > mid && mid > turbulent);
    QVERIFY(std::abs(mitreLoss(angle, 1e5 * (1 - 1e-9)) - low) < 1e-9);
}

// Gas moving uniformly through a tube, the end faces passing the same flux: without a joint
// nothing changes; a joint takes K rho u|u| A / 2 dt of momentum from its cell and no energy.
void TestMitreLoss::oneStepOfUniformFlow_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("scale");
    QTest::newRow("30 degrees") << 30.0 << 1.0;
    QTest::newRow("20 degrees, doubled") << 20.0 << 2.0;
    QTest::newRow("none") << 45.0 << 0.0;
}

void TestMitreLoss::oneStepOfUniformFlow()
{
    QFETCH(double, angle);
    QFETCH(double, scale);
    Pipe pipe;
    pipe.sections << PipeSection(1000, 40, 40);
    const Duct duct = ductOf(pipe, 10);
    const Gas gas;
    Scheme scheme(duct, gas, 0);
    scheme.setJoints({{0.5, angle}}, scale);
    DuctState s;
    s.resize(duct.cells());
    // Cold, dense and fast: Re over 4e5, where K has no Reynolds correction.
    const Primitive w{2, 60, 1e5, 0};
    for (int i = 0; i < duct.cells(); ++i)
        s.set(gas, i, w);
    const double area = 3.14159265358979323846 * 0.02 * 0.02;
    const double e = w.p / (gas.gamma - 1) + 0.5 * w.rho * w.u * w.u;
    const Flux through{w.rho * w.u * area, (w.rho * w.u * w.u + w.p) * area,
                       (e + w.p) * w.u * area, 0};
    const double momentum = s.mom[0] * area * duct.length(), energy = s.totalEnergy(duct);
    const double dt = scheme.stableStep(s, 0.9);
    scheme.advance(s, dt, through, through);
    double after = 0;
    for (int i = 0; i < duct.cells(); ++i)
        after += s.mom[i] * duct.volume[i];
    const double viscosity = gasViscosity(w.p / (w.rho * gas.r));
    QVERIFY(w.rho * w.u * 0.04 / viscosity > 2e5);
    const double expected = scale * mitreLoss(angle, 1e6) * w.rho * w.u * w.u * area / 2 * dt;
    QVERIFY2(std::abs((momentum - after) - expected) < 1e-9 * momentum + 1e-15,
             qPrintable(QStringLiteral("%1 against %2").arg(momentum - after).arg(expected)));
    QVERIFY(std::abs(s.totalEnergy(duct) - energy) < 1e-12 * energy);
    // Only the joint's cell slowed.
    const int joint = duct.cellAt(0.5);
    for (int i = 0; i < duct.cells(); ++i) {
        if (i != joint || scale == 0)
            QCOMPARE(s.mom[i], w.rho * w.u);
    }
}

QTEST_GUILESS_MAIN(TestMitreLoss)
#include "tst_mitreloss.moc"

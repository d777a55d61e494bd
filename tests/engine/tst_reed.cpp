// The reed petal against beam theory: its first mode, its static lift under a uniform load, the
// published petals' worked values, and the one-mode tip in time: its step response's period
// and overshoot, the logarithmic decrement of its damping, the stop it never passes and the
// seat it shuts on.
#include "reed.h"

#include <QtTest>

#include <cmath>

using namespace velmorant::engine;

namespace {

constexpr double Pi = 3.14159265358979323846;

ReedBlock petal(double gpa, double density, double thickness)
{
    ReedBlock r;
    r.petals = 1;
    r.lengthMm = 30;
    r.widthMm = 20;
    r.thicknessMm = thickness;
    r.youngsGpa = gpa;
    r.density = density;
    r.stopMm = 100;
    r.portAreaMm2 = 1e6;
    return r;
}

// The tip's lift, every step of `dt`, under `pascal` from rest, for `seconds`.
QList<double> response(const ReedBlock &r, double pascal, double seconds, double dt = 1e-6)
{
    ReedTip tip(r);
    QList<double> lift;
    for (double t = 0; t < seconds; t += dt) {
        tip.step(pascal, dt);
        lift << tip.liftMm();
    }
    return lift;
}

} // namespace

class TestReed : public QObject
{
    Q_OBJECT

private slots:
    void beamTheory_data();
    void beamTheory();
    void curtainArea();
    void stepResponse();
    void dampingDecrement();
    void stopAndSeat();
};

// L 30, b 20, 2 kPa: the beam's 1.8751²/(2 pi) sqrt(E I/(rho b t L^4)) and 1.5 dp L^4/(E t³).
void TestReed::beamTheory_data()
{
    QTest::addColumn<double>("gpa");
    QTest::addColumn<double>("density");
    QTest::addColumn<double>("thickness");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<double>("lift");
    QTest::newRow("steel 0.20") << 200.0 << 7800.0 << 0.20 << 181.8 << 1.519;
    QTest::newRow("carbon 0.40") << 50.0 << 1550.0 << 0.40 << 407.8 << 0.759;
    QTest::newRow("glass 0.50") << 20.0 << 1900.0 << 0.50 << 291.2 << 0.972;
}

void TestReed::beamTheory()
{
    QFETCH(double, gpa);
    QFETCH(double, density);
    QFETCH(double, thickness);
    QFETCH(double, hertz);
    QFETCH(double, lift);
    const ReedBlock r = petal(gpa, density, thickness);
    QVERIFY2(std::abs(r.naturalFrequency() - hertz) < 0.06, qPrintable(QString::number(r.naturalFrequency())));
    const double t = thickness / 1000, l = 0.03;
    const double beam = 1.5 * 2000 * std::pow(l, 4) / (gpa * 1e9 * t * t * t) * 1000;
    QVERIFY(std::abs(beam - lift) < 6e-4);
    // The one-mode petal stands 1.3 % above the beam.
    QVERIFY(std::abs(r.staticLift(2000) / beam - 1.0134) < 1e-3);
}

// The steel petal at 1.519 mm over an 18 mm window: tip 27.34 mm², sides 36.46 mm².
void TestReed::curtainArea()
{
    ReedBlock r = petal(200, 7800, 0.2);
    r.widthMm = 18;
    QVERIFY(std::abs(r.flowArea(1.519) - 63.80) < 0.01);
    r.petals = 4;
    QVERIFY(std::abs(r.flowArea(1.519) - 4 * 63.80) < 0.04);
    r.portAreaMm2 = 200;
    QCOMPARE(r.flowArea(1.519), 200.0);
    QCOMPARE(r.flowArea(0), 0.0);
}

// Undamped, from rest under a steady load: x = d (1 - cos w t), its first crest twice the
// static lift half a period in, at the first mode's frequency.
void TestReed::stepResponse()
{
    ReedBlock r = petal(20, 1900, 0.5);
    r.damping = 0;
    const double period = 1 / r.naturalFrequency(), dt = 1e-6;
    const QList<double> x = response(r, 1000, 1.2 * period, dt);
    int crest = 0;
    for (int k = 1; k < x.size(); ++k)
        if (x[k] > x[crest])
            crest = k;
    QVERIFY2(std::abs((crest + 1) * dt / (period / 2) - 1) < 2e-3,
             qPrintable(QStringLiteral("%1 s against %2").arg((crest + 1) * dt).arg(period / 2)));
    QVERIFY(std::abs(x[crest] / (2 * r.staticLift(1000)) - 1) < 2e-3);
}

// Damped at zeta 0.05, the overshoot over the static lift falls by exp(2 pi zeta / sqrt(1 -
// zeta²)) from one crest to the next.
void TestReed::dampingDecrement()
{
    ReedBlock r = petal(20, 1900, 0.5);
    r.damping = 0.05;
    const double rest = r.staticLift(1000), dt = 1e-6;
    const QList<double> x = response(r, 1000, 3.5 / r.naturalFrequency(), dt);
    QList<double> crests;
    for (int k = 1; k + 1 < x.size(); ++k)
        if (x[k] > x[k - 1] && x[k] >= x[k + 1] && x[k] > rest)
            crests << x[k] - rest;
    QVERIFY(crests.size() >= 3);
    const double expected = 2 * Pi * 0.05 / std::sqrt(1 - 0.05 * 0.05);
    QVERIFY2(std::abs(std::log(crests[0] / crests[1]) / expected - 1) < 0.01,
             qPrintable(QString::number(std::log(crests[0] / crests[1]))));
}

// A load that would bend it past the stop holds it there; pulled back it lies on the seat and
// passes nothing.
void TestReed::stopAndSeat()
{
    ReedBlock r = petal(20, 1900, 0.5);
    r.stopMm = 0.5;
    const QList<double> open = response(r, 5000, 0.02);
    QCOMPARE(*std::max_element(open.begin(), open.end()), 0.5);
    QCOMPARE(open.last(), 0.5);
    const QList<double> shut = response(r, -5000, 0.01);
    QCOMPARE(*std::max_element(shut.begin(), shut.end()), 0.0);
    ReedTip tip(r);
    tip.step(-1e5, 1e-5);
    QCOMPARE(tip.area(), 0.0);
}

QTEST_APPLESS_MAIN(TestReed)
#include "tst_reed.moc"

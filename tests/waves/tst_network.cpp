// Pipes and still volumes in turn, against answers found here: a vessel's choked blowdown
// through a pipe against its closed form, a box and its neck ringing at the frequency of the
// distributed neck, mass and energy of a closed system kept to round-off, a narrower tail
// holding a box up, the walls' heat against the exponential of a steady flow and their own
// temperature against the balance with the air.
#include "chain.h"
#include "gaspath.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::waves;

namespace {

constexpr double Pi = 3.14159265358979323846;

Pipe tube(double lengthMm, double dMm)
{
    Pipe p;
    p.sections << PipeSection(lengthMm, dMm, dMm);
    return p;
}

// A dead end, a box, and a pipe leaving it: `right` says what lies beyond that pipe.
GasPath boxBetween(double deadMm, double litres, double outMm, double d, double cdOut = 1)
{
    GasPath path;
    path.pipes << PathPipe{tube(deadMm, d), {}} << PathPipe{tube(outMm, d), {}};
    path.volumes << PathVolume{litres, 1, cdOut, 2, {}};
    return path;
}

Primitive still(const Gas &g, double p, double t)
{
    return Primitive{p / (g.r * t), 0, p, 0};
}

// Whole gas of every pipe set to `w`.
void fillPipe(PipeRun &pipe, const Gas &g, const Primitive &w)
{
    for (int i = 0; i < pipe.cells(); ++i)
        pipe.state.set(g, i, w);
}

// Feed `c` for `seconds` with `mdot` kg/s of gas from a still reservoir at `tIn` (its
// stagnation enthalpy) through a pipe of area `area`.
void feedSteadily(Chain &c, const Gas &g, double mdot, double tIn, double area, double seconds)
{
    double t = 0;
    while (t < seconds) {
        const double dt = c.stableStep(0.9);
        const Primitive first = c.first(g);
        const Flux in{mdot, mdot * mdot / (first.rho * area) + first.p * area,
                      mdot * g.cp() * tIn, 0};
        c.advance(dt, in, Flux{});
        t += dt;
    }
}

} // namespace

class TestNetwork : public QObject
{
    Q_OBJECT

private slots:
    void chokedBlowdown();
    void helmholtzRing_data();
    void helmholtzRing();
    void closedSystemKeepsMassAndEnergy();
    void tailRestrictionHoldsTheBoxUp();
    void wallSettles_data();
    void wallSettles();
    void computedWallInSteadyFlow();
    void wallTakesTheHeat_data();
    void wallTakesTheHeat();
    void boxWallTakesTheHeat_data();
    void boxWallTakesTheHeat();
};

// 10 litres at 5 bar and 900 K out through a pipe whose entry passes 0.8 of its area: while it
// is choked, sqrt(T/T0) = 1 / (1 + k t), k = (gamma - 1)/2 Gamma psiA sqrt(R T0) / V, and p/p0 =
// (T/T0)^(gamma/(gamma-1)); 5 to 2 bar takes 22.147 ms.
void TestNetwork::chokedBlowdown()
{
    Gas g;
    g.gamma = 1.4; // the worked example's air
    const double d = 38, litres = 10;
    Chain c(boxBetween(20, litres, 200, d, 0.8), g, 5, 0, still(g, 1.01325e5, 300),
            Chain::End::Closed, Chain::End::Open);
    c.setAmbient(1.01325e5, 300, 0);
    const double p0 = 5e5, t0 = 900;
    fillPipe(c.pipe(0), g, still(g, p0, t0));
    // The dead end's gas empties with the box's: it counts in the volume.
    const double dead = c.pipe(0).state.mass(c.pipe(0).duct) / (p0 / (g.r * t0)) * 1000;
    c.volume(0).fill(g, p0, t0, c.volumeM3(0), 0);
    const double gamma = g.gamma;
    const double bigGamma =
        std::sqrt(gamma) * std::pow(2 / (gamma + 1), (gamma + 1) / (2 * (gamma - 1)));
    QVERIFY(std::abs(bigGamma - 0.68473) < 1e-5);
    const double psiA = 0.8 * Pi / 4 * d * d * 1e-6;
    const double k = (gamma - 1) / 2 * bigGamma * psiA * std::sqrt(g.r * t0) /
                     ((litres + dead) / 1000);
    const double ratio = 2.0 / 5.0;
    const double expected = (1 / std::pow(ratio, (gamma - 1) / (2 * gamma)) - 1) / k;
    if (std::abs(dead) < 1e-9)
        QVERIFY(std::abs(expected - 22.147e-3) < 1e-5);
    double t = 0;
    while (c.volume(0).pressure(g, c.volumeM3(0)) > 2e5 && t < 0.1) {
        const double dt = c.stableStep(0.9);
        c.advance(dt, Flux{}, Flux{});
        t += dt;
    }
    qInfo("blowdown %.3f ms, closed form %.3f ms", t * 1e3, expected * 1e3);
    QVERIFY2(std::abs(t - expected) < 0.01 * expected,
             qPrintable(QStringLiteral("%1 ms against %2 ms").arg(t * 1e3).arg(expected * 1e3)));
    // Isentropic in the box: its temperature followed its pressure.
    const double tBox = c.volume(0).temperature(g);
    QVERIFY(std::abs(tBox - t0 * std::pow(ratio, (gamma - 1) / gamma)) < 0.01 * tBox);
}

void TestNetwork::helmholtzRing_data()
{
    QTest::addColumn<double>("kelvin");
    QTest::newRow("300 K") << 300.0;
    QTest::newRow("500 K") << 500.0;
}

// A box with a neck open to the air, 1 % over ambient, rings at k with k L tan(k L) = A L / V
// (the neck's own gas distributed along it; the 1D pipe has no end correction): for the box
// and tail of the QUB400 case 41.45 Hz at 300 K, 53.52 Hz at 500 K.
void TestNetwork::helmholtzRing()
{
    QFETCH(double, kelvin);
    Gas g;
    g.gamma = 1.4;
    const double d = 38, neck = 200, litres = 10, pa = 1.01325e5;
    Chain c(boxBetween(10, litres, neck, d), g, 4, 0, still(g, pa, kelvin), Chain::End::Closed,
            Chain::End::Open);
    c.setAmbient(pa, kelvin, 0);
    c.volume(0).fill(g, pa * 1.01, kelvin * std::pow(1.01, (g.gamma - 1) / g.gamma),
                     c.volumeM3(0), 0);
    const double v = (litres + c.pipe(0).duct.length() * Pi / 4 * d * d * 1e-3) / 1000;
    const double area = Pi / 4 * d * d * 1e-6, l = neck / 1000;
    // Bisection on k L tan(k L) = A L / V below pi / 2.
    double lo = 1e-6, hi = Pi / 2 - 1e-9;
    for (int i = 0; i < 200; ++i) {
        const double x = (lo + hi) / 2;
        (x * std::tan(x) < area * l / v ? lo : hi) = x;
    }
    const double sound = std::sqrt(g.gamma * g.r * kelvin);
    const double expected = sound * lo / l / (2 * Pi);
    if (kelvin == 300)
        QVERIFY(std::abs(expected - 41.45) < 0.1);
    // Upward crossings of ambient over the first few periods.
    QList<double> ups;
    double t = 0, before = c.volume(0).pressure(g, c.volumeM3(0)) - pa;
    while (ups.size() < 5 && t < 0.5) {
        const double dt = c.stableStep(0.9);
        c.advance(dt, Flux{}, Flux{});
        t += dt;
        const double now = c.volume(0).pressure(g, c.volumeM3(0)) - pa;
        if (before < 0 && now >= 0)
            ups << t - dt * now / (now - before);
        before = now;
    }
    QCOMPARE(ups.size(), 5);
    const double measured = 4 / (ups.last() - ups.first());
    qInfo("ring %.3f Hz, distributed neck %.3f Hz", measured, expected);
    QVERIFY2(std::abs(measured - expected) < 0.003 * expected,
             qPrintable(QStringLiteral("%1 Hz against %2 Hz").arg(measured).arg(expected)));
}

// Closed at both ends, no friction: the pipes' and the box's gas keep their mass and energy to
// round-off, however the waves run through the box.
void TestNetwork::closedSystemKeepsMassAndEnergy()
{
    const Gas g;
    GasPath path = boxBetween(300, 2, 400, 40);
    path.pipes[1].pipe.sections.first().dOut = 60; // a cone after the box
    Chain c(path, g, 5, 0, still(g, 1e5, 300), Chain::End::Closed, Chain::End::Closed);
    fillPipe(c.pipe(0), g, still(g, 1.1e5, 400));
    const double mass = c.mass(), energy = c.energy();
    for (int i = 0; i < 10000; ++i)
        c.advance(c.stableStep(0.9), Flux{}, Flux{});
    QVERIFY2(std::abs(c.mass() - mass) < 1e-12 * mass,
             qPrintable(QString::number((c.mass() - mass) / mass)));
    QVERIFY2(std::abs(c.energy() - energy) < 1e-12 * energy,
             qPrintable(QString::number((c.energy() - energy) / energy)));
    // And the gas did move: the box is no longer where it started.
    QVERIFY(std::abs(c.volume(0).pressure(g, c.volumeM3(0)) - 1e5) > 100);
}

// A steady flow through the box out of a tail: the narrower the tail's entry, the higher the
// box stands above the air for the same flow in.
void TestNetwork::tailRestrictionHoldsTheBoxUp()
{
    const Gas g;
    const double pa = 1.01325e5;
    double previous = 0;
    for (double cd : {1.0, 0.6, 0.3}) {
        Chain c(boxBetween(300, 5, 300, 38, cd), g, 10, 0.005, still(g, pa, 500),
                Chain::End::Given, Chain::End::Open);
        c.setAmbient(pa, 300, 0);
        // 20 g/s of gas at 600 K into the first pipe, as a port would give it.
        const double mdot = 0.02, cpT = g.cp() * 600;
        const Flux in{mdot, 0, mdot * cpT, 0};
        double t = 0;
        while (t < 1.5) {
            const double dt = c.stableStep(0.9);
            Flux left = in;
            const Primitive first = c.first(g);
            left.momentum = mdot * mdot / (first.rho * c.startArea()) + first.p * c.startArea();
            c.advance(dt, left, Flux{});
            t += dt;
        }
        const double box = c.volume(0).pressure(g, c.volumeM3(0)) - pa;
        QVERIFY2(box > previous, qPrintable(QStringLiteral("cd %1: %2 Pa").arg(cd).arg(box)));
        previous = box;
    }
}

void TestNetwork::wallSettles_data()
{
    QTest::addColumn<double>("gas");
    QTest::addColumn<double>("hIn");
    QTest::addColumn<double>("hOut");
    QTest::addColumn<double>("wall");
    QTest::newRow("900 K, h 60") << 900.0 << 60.0 << 15.0 << 665.0;
    QTest::newRow("900 K, h 100") << 900.0 << 100.0 << 15.0 << 719.0;
    QTest::newRow("900 K, h 150") << 900.0 << 150.0 << 15.0 << 757.0;
    QTest::newRow("900 K, h 300") << 900.0 << 300.0 << 15.0 << 810.0;
    QTest::newRow("700 K, h 60") << 700.0 << 60.0 << 15.0 << 563.0;
    QTest::newRow("700 K, h 150") << 700.0 << 150.0 << 15.0 << 623.0;
    QTest::newRow("900 K, h 150, windy") << 900.0 << 150.0 << 40.0 << 712.0;
}

// The wall where the gas's heat balances the air's convection and the radiation (emissivity
// 0.8, air at 293 K), against the worked values, and the balance itself to round-off.
void TestNetwork::wallSettles()
{
    QFETCH(double, gas);
    QFETCH(double, hIn);
    QFETCH(double, hOut);
    QFETCH(double, wall);
    OutsideAir air;
    air.kelvin = 293;
    air.convection = hOut;
    air.emissivity = 0.8;
    const double t = settledWall(hIn, gas, air);
    QVERIFY2(std::abs(t - wall) < 1, qPrintable(QStringLiteral("%1 K against %2 K").arg(t).arg(wall)));
    const double radiated = 0.8 * 5.670374419e-8 * (std::pow(t, 4) - std::pow(293.0, 4));
    QVERIFY(std::abs(hIn * (gas - t) - hOut * (t - 293) - radiated) < 1e-6 * hIn * gas);
}

// In a steady flow each cell's computed wall lies where the gas's h = St rho u cp, worked out
// here from the cell's own state, balances the air outside.
void TestNetwork::computedWallInSteadyFlow()
{
    const Gas g;
    const double d = 40, pa = 1.01325e5, tIn = 900, f = 0.005, mdot = 0.03;
    GasPath path;
    path.pipes << PathPipe{tube(1000, d), {}, true};
    Chain c(path, g, 10, f, still(g, pa, tIn), Chain::End::Given, Chain::End::Open);
    c.setAmbient(pa, 293.15, 0);
    const double area = Pi / 4 * d * d * 1e-6;
    double t = 0, cycle = 0;
    while (t < 1.0) {
        const double dt = c.stableStep(0.9);
        const Primitive first = c.first(g);
        c.advance(dt, Flux{mdot, mdot * mdot / (first.rho * area) + first.p * area,
                           mdot * g.cp() * tIn, 0},
                  Flux{});
        t += dt;
        cycle += dt;
        if (cycle > 0.02) {
            c.settleWalls();
            cycle = 0;
        }
    }
    const PipeRun &p = c.pipe(0);
    const double st = f / 2 * std::pow(0.71, -2.0 / 3.0);
    OutsideAir air;
    air.kelvin = 293.15;
    for (int i : {5, 50, 95}) {
        const Primitive w = p.state.primitive(g, i);
        const double h = st * w.rho * std::abs(w.u) * g.cp();
        const double expected = settledWall(h, w.p / (g.r * w.rho), air);
        const double wall = p.scheme->wallKelvin()[std::size_t(i)];
        QVERIFY2(std::abs(wall - expected) < 1,
                 qPrintable(QStringLiteral("cell %1: %2 K against %3 K").arg(i).arg(wall).arg(expected)));
    }
}

void TestNetwork::wallTakesTheHeat_data()
{
    QTest::addColumn<double>("wallC");
    QTest::newRow("a cooler wall") << 127.0;
    QTest::newRow("a hotter wall") << 1027.0;
}

// A steady flow through a pipe whose wall holds one temperature: m cp dT/dx = h P (Tw - T) with
// h = St rho u cp, St = (f/2) Pr^(-2/3), so T - Tw falls as exp(-4 St x / D) along it.
void TestNetwork::wallTakesTheHeat()
{
    QFETCH(double, wallC);
    const Gas g;
    const double d = 40, length = 1500, pa = 1.01325e5, tIn = 800, f = 0.005;
    GasPath path;
    path.pipes << PathPipe{tube(length, d), {{0.0, wallC}}};
    Chain c(path, g, 10, f, still(g, pa, tIn), Chain::End::Given, Chain::End::Open);
    c.setAmbient(pa, 300, 0);
    const double area = Pi / 4 * d * d * 1e-6;
    feedSteadily(c, g, 0.02, tIn, area, 0.5);
    const double tw = wallC + 273.15;
    const double st = f / 2 * std::pow(0.71, -2.0 / 3.0);
    const PipeRun &p = c.pipe(0);
    for (double x : {0.5, 1.0, 1.45}) {
        const Primitive w = p.state.primitive(g, p.duct.cellAt(x));
        const double stagnation = w.p / (g.r * w.rho) + w.u * w.u / (2 * g.cp());
        const double expected = tw + (tIn - tw) * std::exp(-4 * st * x / (d / 1000));
        QVERIFY2(std::abs(stagnation - expected) < 0.01 * std::abs(tIn - tw),
                 qPrintable(QStringLiteral("%1 m: %2 K against %3 K").arg(x).arg(stagnation).arg(expected)));
    }
}

void TestNetwork::boxWallTakesTheHeat_data()
{
    QTest::addColumn<double>("wallC");
    QTest::newRow("a cooler wall") << 127.0;
    QTest::newRow("a hotter wall") << 827.0;
}

// A steady flow through a 2 litre box whose wall holds one temperature: the box is well mixed,
// so m cp (Tin - T) + h A (Tw - T) = 0 with h = (f/2) (m / a) cp Pr^(-2/3) from the jet coming
// in through the pipe's area a, and A the inside of a cylinder as long as it is wide:
// T = (Tin + k Tw) / (1 + k), k = (f/2) Pr^(-2/3) A / a, whatever the flow.
void TestNetwork::boxWallTakesTheHeat()
{
    QFETCH(double, wallC);
    const Gas g;
    const double d = 40, pa = 1.01325e5, tIn = 600, f = 0.005, litres = 2;
    GasPath path = boxBetween(200, litres, 200, d);
    path.volumes[0].wallC = wallC;
    Chain c(path, g, 10, f, still(g, pa, tIn), Chain::End::Given, Chain::End::Open);
    c.setAmbient(pa, 300, 0);
    const double area = Pi / 4 * d * d * 1e-6;
    feedSteadily(c, g, 0.02, tIn, area, 0.5);
    const double r = std::cbrt(litres / 1000 / (2 * Pi));
    const double k = f / 2 * std::pow(0.71, -2.0 / 3.0) * 6 * Pi * r * r / area;
    const double tw = wallC + 273.15, expected = (tIn + k * tw) / (1 + k);
    const double box = c.volume(0).temperature(g);
    QVERIFY2(std::abs(box - expected) < 0.01 * std::abs(tIn - tw),
             qPrintable(QStringLiteral("%1 K against %2 K").arg(box).arg(expected)));
}

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"

// The pipe's ends against acoustic and steady-flow theory: the atmosphere drawn in at an open
// end, fresh charge carried with the gas, travel times, reflections at a step and an open end,
// and a tank's choked orifice by its closed form.
#include "tubecases.h"

using namespace velmorant;
using namespace velmorant::waves;
using namespace velmorant::waves::tubes;

class TestBoundaries : public QObject
{
    Q_OBJECT

private slots:
    void inflowIsTheAtmosphere_data();
    void inflowIsTheAtmosphere();
    void freshChargeTravelsWithTheGas();
    void travelTimes_data();
    void travelTimes();
    void reflections_data();
    void reflections();
    void chokedOrificeFromATank();
};

void TestBoundaries::inflowIsTheAtmosphere_data()
{
    QTest::addColumn<bool>("mouthOnTheLeft"); // an intake's mouth; else an exhaust's end
    QTest::newRow("exhaust's end") << false;
    QTest::newRow("intake's mouth") << true;
}

// Hot thin gas at rest in a pipe whose end opens to cold air at 1 bar: the air rushes in and a
// shock runs into the pipe. Solved here: the air comes in isentropically from the atmosphere at
// rest (its stagnation state), and meets the shocked pipe gas at one pressure and velocity.
// Between the contact and the end the pipe must hold that air, with the atmosphere's entropy.
void TestBoundaries::inflowIsTheAtmosphere()
{
    QFETCH(bool, mouthOnTheLeft);
    const double g = Air.gamma, cp = g * 287 / (g - 1);
    const double p1 = 0.6e5, t1 = 900, rho1 = p1 / (287 * t1), pa = 1e5, ta = 300;
    const double rhoa = pa / (287 * ta);
    auto air = [&](double p, double &rho, double &speed) {
        rho = rhoa * std::pow(p / pa, 1 / g);
        speed = std::sqrt(2 * cp * ta * (1 - std::pow(p / pa, (g - 1) / g)));
    };
    // The shock's velocity jump into gas at rest (Toro's f_K for p above p1).
    auto shockJump = [&](double p) {
        const double a = 2 / ((g + 1) * rho1), b = (g - 1) / (g + 1) * p1;
        return (p - p1) * std::sqrt(a / (p + b));
    };
    double lo = p1, hi = pa;
    for (int k = 0; k < 200; ++k) {
        const double mid = 0.5 * (lo + hi);
        double rho, speed;
        air(mid, rho, speed);
        (shockJump(mid) < speed ? lo : hi) = mid;
    }
    const double pStar = 0.5 * (lo + hi);
    double rhoStar, uStar;
    air(pStar, rhoStar, uStar);

    const double length = 1.0, time = 0.8e-3;
    Tube t(straight(1000 * length, 40), 2);
    for (int i = 0; i < t.duct.cells(); ++i)
        t.state.set(Air, i, Primitive{rho1, 0, p1, 0});
    Tube::End end = [&](const Primitive &w, double a) {
        return mouthOnTheLeft ? openStartFace(Air, pa, ta, w, a, 1)
                              : openEndFace(Air, pa, ta, w, a, 0);
    };
    if (mouthOnTheLeft)
        t.run(time, end, {});
    else
        t.run(time, {}, end);
    // The inner half of the air's reach, away from the contact and the end's first cells.
    const double reach = uStar * time;
    int checked = 0;
    for (int i = 0; i < t.duct.cells(); ++i) {
        const double fromEnd = mouthOnTheLeft ? t.x(i) : length - t.x(i);
        if (fromEnd < 0.25 * reach || fromEnd > 0.75 * reach)
            continue;
        const Primitive w = t.state.primitive(Air, i);
        const double inward = mouthOnTheLeft ? w.u : -w.u;
        QVERIFY2(std::abs(w.rho / rhoStar - 1) < 0.02 && std::abs(w.p / pStar - 1) < 0.01 &&
                     std::abs(inward / uStar - 1) < 0.02,
                 qPrintable(QStringLiteral("%1 m from the end: %2 kg/m³ %3 Pa %4 m/s against "
                                           "%5 %6 %7")
                                .arg(fromEnd)
                                .arg(w.rho)
                                .arg(w.p)
                                .arg(inward)
                                .arg(rhoStar)
                                .arg(pStar)
                                .arg(uStar)));
        QVERIFY(std::abs(w.y - (mouthOnTheLeft ? 1.0 : 0.0)) < 1e-9);
        ++checked;
    }
    QVERIFY(checked >= 10);
}

// A slug of fresh charge in gas flowing at 60 m/s, thinner than air: it is carried with the
// gas, its centre moving u t and its mass kept.
void TestBoundaries::freshChargeTravelsWithTheGas()
{
    const double rho = 0.45, u = 60, p = 1e5;
    Tube t(straight(1000, 40), 2);
    auto fresh = [&]() {
        double mass = 0, moment = 0;
        for (int i = 0; i < t.duct.cells(); ++i) {
            mass += t.state.fresh[i] * t.duct.volume[i];
            moment += t.state.fresh[i] * t.duct.volume[i] * t.x(i);
        }
        return std::make_pair(mass, moment / mass);
    };
    for (int i = 0; i < t.duct.cells(); ++i)
        t.state.set(Air, i, Primitive{rho, u, p, t.x(i) > 0.2 && t.x(i) < 0.35 ? 1.0 : 0.0});
    const auto [mass0, centre0] = fresh();
    const Tube::End through = [](const Primitive &w, double area) {
        const Flux f = hllc(Air, w, w);
        return Flux{f.mass * area, f.momentum * area, f.energy * area, f.fresh * area};
    };
    const double time = 0.4 / u;
    t.run(time, through, through);
    const auto [mass, centre] = fresh();
    QVERIFY2(std::abs(mass / mass0 - 1) < 1e-9, qPrintable(QString::number(mass / mass0 - 1)));
    QVERIFY2(std::abs(centre - centre0 - u * time) < 0.002,
             qPrintable(QStringLiteral("%1 m against %2").arg(centre - centre0).arg(u * time)));
}

void TestBoundaries::travelTimes_data()
{
    QTest::addColumn<double>("probe");    // m
    QTest::addColumn<double>("distance"); // the pulse's path to the probe, m
    // From the centre at 0.3 m to the closed end at 1.5 m: arrival at 1.2 m after 0.9 m,
    // return to 0.3 m after twice 1.2 m.
    QTest::newRow("arrival after L/a") << 1.2 << 0.9;
    QTest::newRow("return after 2L/a") << 0.3 << 2.4;
}

void TestBoundaries::travelTimes()
{
    QFETCH(double, probe);
    QFETCH(double, distance);
    Tube t(straight(1500, 40), 2);
    setPulse(t, 0.3, 0.03, 1e-5);
    const int cell = t.duct.cellAt(probe);
    PeakWatch watch;
    const double a = soundSpeed0();
    t.run(distance / a * 1.2, {}, {},
          [&](double time) { watch.add(time, t.state.primitive(Air, cell).p); });
    const double arrival = watch.peak(distance / a * 0.5, 1).first;
    const double expected = (distance + (t.x(cell) - probe)) / a;
    QVERIFY2(std::abs(arrival / expected - 1) < 0.005,
             qPrintable(QStringLiteral("%1 against %2").arg(arrival).arg(expected)));
}

void TestBoundaries::reflections_data()
{
    QTest::addColumn<double>("areaRatio"); // after the step over before; 0: an open end
    QTest::addColumn<double>("expected");  // reflected over incident pressure
    QTest::newRow("area 4") << 4.0 << (1 - 4.0) / (1 + 4.0);
    QTest::newRow("area 6.25") << 6.25 << (1 - 6.25) / (1 + 6.25);
    QTest::newRow("area a quarter") << 0.25 << (1 - 0.25) / (1 + 0.25);
    QTest::newRow("open end") << 0.0 << -1.0;
}

void TestBoundaries::reflections()
{
    QFETCH(double, areaRatio);
    QFETCH(double, expected);
    // A pulse in the narrow part meets the step (or the open end) at 1 m; the probe at 0.6 m
    // sees it pass, then its reflection; the far end is too far to answer in time.
    Pipe pipe = straight(1000, 40);
    if (areaRatio > 0)
        pipe.sections << PipeSection(1500, 40 * std::sqrt(areaRatio), 40 * std::sqrt(areaRatio));
    Tube t(pipe, 2);
    setPulse(t, 0.4, 0.03, 1e-4);
    const int cell = t.duct.cellAt(0.6);
    PeakWatch watch;
    const double a = soundSpeed0();
    Tube::End open;
    if (areaRatio == 0)
        open = [&](const Primitive &w, double area) {
            return openEndFace(Air, P0, P0 / (Rho0 * Air.r), w, area);
        };
    t.run(1.3 / a, {}, open,
          [&](double time) { watch.add(time, t.state.primitive(Air, cell).p - P0); });
    const double incident = watch.peak(0, 1).second;
    const double reflected = watch.peak(0.7 / a, expected > 0 ? 1 : -1).second;
    QVERIFY2(std::abs(reflected / incident / expected - 1) < 0.03,
             qPrintable(QStringLiteral("%1 against %2").arg(reflected / incident).arg(expected)));
}

void TestBoundaries::chokedOrificeFromATank()
{
    // A large tank at 5 bar blows through an orifice into a pipe open to 1 bar: the flow
    // settles at the choked orifice's closed form.
    const Gas exhaust{1.35, 287};
    const double p0 = 5e5, t0 = 600, area = 1e-4, cd = 0.8;
    Tube t(straight(1000, 40), 10, exhaust);
    for (int i = 0; i < t.duct.cells(); ++i)
        t.state.set(exhaust, i, Primitive{1e5 / (287 * 300), 0, 1e5, 0});
    // After the start, the pipe's gain plus what leaves its end is what the face lets in.
    Flux in, out;
    double massAt = 0, passedIn = 0, passedOut = 0, last = 0;
    const double settle = 0.02;
    t.run(
        0.04,
        [&](const Primitive &w, double a) {
            return in = portFace(exhaust, Reservoir{p0, t0, 1}, cd * area, w, a);
        },
        [&](const Primitive &w, double a) { return out = openEndFace(exhaust, 1e5, 300, w, a); },
        [&](double time) {
            if (time > settle) {
                passedIn += in.mass * (time - last);
                passedOut += out.mass * (time - last);
            } else {
                massAt = t.state.mass(t.duct);
            }
            last = time;
        });
    QVERIFY(std::abs((t.state.mass(t.duct) - massAt + passedOut) / passedIn - 1) < 1e-9);
    const double g = exhaust.gamma;
    const double formula =
        cd * area * p0 * std::sqrt(g / (287 * t0)) * std::pow(2 / (g + 1), (g + 1) / (2 * (g - 1)));
    QVERIFY2(std::abs(in.mass / formula - 1) < 0.005,
             qPrintable(QStringLiteral("%1 against %2").arg(in.mass).arg(formula)));
}

QTEST_GUILESS_MAIN(TestBoundaries)
#include "tst_boundaries.moc"

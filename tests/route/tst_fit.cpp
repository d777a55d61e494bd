// The fit: a pipe that cannot reach its target straight is bent to reach it clear of the bike,
// the result checked again from its route alone; a pipe already in place is left straight; a
// bike it cannot fit says so and gives the route that misses least.
#include "fit.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::route;

namespace {

// 600 mm of 40 mm tube down -z from the origin.
Pipe tube()
{
    Pipe p;
    p.sections << PipeSection(600, 40, 40);
    return p;
}

Obstacle box(const QString &name, const Vec3 &min, const Vec3 &max)
{
    Obstacle o;
    o.name = name;
    o.min = min;
    o.max = max;
    return o;
}

// Checked from the route alone: laid again on the outer surface, clear by the clearance and
// ending in the target, every joint within the limit, no segment shorter than the limit.
void checkFits(const FitResult &f, const Surroundings &s, double sheet, const FitLimits &limits)
{
    const RouteLayout l = outerLayout(tube(), f.route, sheet);
    QVERIFY(l.ok());
    const Clearance c = clearanceOf(l, s);
    for (const ObstacleDistance &d : c.distances)
        QVERIFY2(d.distanceMm >= s.clearanceMm - 1e-6,
                 qPrintable(QStringLiteral("%1: %2").arg(d.name).arg(d.distanceMm)));
    QVERIFY(c.tailInTarget);
    double angle = 0;
    for (const Bend &b : f.route.bends) {
        QVERIFY(b.angleDeg / b.joints <= limits.jointDeg + 1e-9);
        angle += b.angleDeg;
    }
    for (int k = 1; k < l.joints.size(); ++k) {
        if (l.joints[k].bend == l.joints[k - 1].bend)
            QVERIFY(l.joints[k].atMm - l.joints[k - 1].atMm >= limits.segmentMm - 1e-9);
    }
    QVERIFY(std::abs(angle - f.totalAngleDeg) < 1e-9);
}

} // namespace

class TestFit : public QObject
{
    Q_OBJECT

private slots:
    void reachesTheTargetClear_data();
    void reachesTheTargetClear();
    void straightWhenItFits();
    void noFitSaysSo();
};

// The target 250 mm aside at the tail's depth, a box beside the port and one across the short
// way there: the pipe must turn out and keep off both, within the builder's limits.
void TestFit::reachesTheTargetClear_data()
{
    QTest::addColumn<double>("jointDeg");
    QTest::addColumn<double>("segmentMm");
    QTest::newRow("the stinger's rule") << 15.0 << 0.0;
    QTest::newRow("12 degree joints, 30 mm segments") << 12.0 << 30.0;
}

void TestFit::reachesTheTargetClear()
{
    QFETCH(double, jointDeg);
    QFETCH(double, segmentMm);
    FitLimits limits;
    limits.jointDeg = jointDeg;
    limits.segmentMm = segmentMm;
    Surroundings s;
    s.clearanceMm = 10;
    s.target = TargetBox{{180, -80, -560}, {320, 80, -380}};
    s.obstacles << box(QStringLiteral("carter"), {-150, -100, -700}, {-40, 100, -100})
                << box(QStringLiteral("telaio"), {60, -100, -400}, {160, 100, -250});
    QVERIFY(!clearanceOf(outerLayout(tube(), Route(), 1.0), s).tailInTarget);
    const FitResult f = fitRoute(tube(), Route(), s, 1.0, limits);
    QVERIFY2(f.fits, qPrintable(QStringLiteral("clash %1, outside %2").arg(f.clashMm).arg(f.tailOutsideMm)));
    QVERIFY(!f.route.bends.isEmpty());
    checkFits(f, s, 1.0, limits);
    QVERIFY(f.evaluations <= FitLimits().evaluations + FitLimits().bends + 1);
}

void TestFit::straightWhenItFits()
{
    Surroundings s;
    s.target = TargetBox{{-50, -50, -650}, {50, 50, -550}};
    s.obstacles << box(QStringLiteral("ruota"), {200, -50, -600}, {300, 50, -300});
    const FitResult f = fitRoute(tube(), Route(), s, 1.0);
    QVERIFY(f.fits);
    QVERIFY(f.route.bends.isEmpty());
    QCOMPARE(f.evaluations, 1);
}

// A target inside a box the pipe must keep clear of: no route can; the best misses.
void TestFit::noFitSaysSo()
{
    Surroundings s;
    s.target = TargetBox{{-50, -50, -650}, {50, 50, -550}};
    s.obstacles << box(QStringLiteral("muro"), {-200, -200, -700}, {200, 200, -500});
    FitLimits few;
    few.evaluations = 200;
    const FitResult f = fitRoute(tube(), Route(), s, 1.0, few);
    QVERIFY(!f.fits);
    QVERIFY(f.clashMm > 0 || f.tailOutsideMm > 0);
    QVERIFY(f.evaluations <= 201);
}

QTEST_GUILESS_MAIN(TestFit)
#include "tst_fit.moc"

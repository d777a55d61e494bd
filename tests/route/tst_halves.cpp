// A bend made as two pressed or hydroformed halves: the flat's worked values, its seams as long
// as the bent pipe's own seams measured on the mitred centreline in space, its width, the
// square cuts where the arc meets the straight pipe, and the bends the layout refuses.
#include "cut.h"
#include "halves.h"
#include "layout.h"
#include "route.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::route;

namespace {

constexpr double Pi = 3.14159265358979323846;

double lengthOf(const QList<QPointF> &line)
{
    double l = 0;
    for (int i = 1; i < line.size(); ++i)
        l += QLineF(line[i - 1], line[i]).length();
    return l;
}

Pipe pipeOf(const QList<PipeSection> &sections)
{
    Pipe p;
    p.sections = sections;
    return p;
}

Route halvesRoute(double at, double angle, int joints, double radius)
{
    Route r;
    Bend b;
    b.atMm = at;
    b.angleDeg = angle;
    b.joints = joints;
    b.radiusMm = radius;
    b.halves = true;
    r.bends << b;
    return r;
}

// The seam of the pieces from `from` to `to` along the centreline, at the bend's inside (or
// outside) azimuth, measured in space between each piece's two cuts.
double seamInSpace(const RouteLayout &l, double from, double to, bool inside)
{
    double sum = 0;
    for (const Piece &p : l.pieces) {
        if (p.startMm < from - 1e-6 || p.startMm + p.length > to + 1e-6)
            continue;
        double phi = 0;
        for (const Tick &t : p.mitredUp ? p.ticksUp : p.ticksDown) {
            if (t.inside)
                phi = t.phi;
        }
        if (!inside)
            phi += Pi;
        sum += norm(surfacePoint(p, phi, cutZ(p, p.downstream, phi)) -
                    surfacePoint(p, phi, cutZ(p, p.upstream, phi)));
    }
    return sum;
}

} // namespace

class TestHalves : public QObject
{
    Q_OBJECT

private slots:
    void workedValues_data();
    void workedValues();
    void seamsKeepTheirLength_data();
    void seamsKeepTheirLength();
    void straightConeSeam();
    void widthAndMargin();
    void squareCutsAndOnePart();
    void refused_data();
    void refused();
};

void TestHalves::workedValues_data()
{
    QTest::addColumn<double>("joint");
    QTest::addColumn<double>("flat");
    QTest::newRow("10") << 10.0 << 6.376;
    QTest::newRow("15") << 15.0 << 9.582;
    QTest::newRow("20") << 20.0 << 12.810;
    QTest::newRow("30") << 30.0 << 19.361;
}

void TestHalves::workedValues()
{
    QFETCH(double, joint);
    QFETCH(double, flat);
    QVERIFY(std::abs(flatTurnDeg(joint) - flat) < 5e-4);
    QVERIFY(std::abs(flatConeLength(200, 60) - 196.671) < 5e-4);
    // So steep that no flat keeps the seams' length.
    QVERIFY(std::isnan(flatConeLength(10, 60)));
}

void TestHalves::seamsKeepTheirLength_data()
{
    QTest::addColumn<int>("joints");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("radius");
    QTest::newRow("one joint") << 1 << 30.0 << 80.0;
    QTest::newRow("four of 15") << 4 << 60.0 << 90.0;
    QTest::newRow("six, tight") << 6 << 90.0 << 60.0;
    QTest::newRow("two, wide") << 2 << 40.0 << 200.0;
}

// On a tube the first-order flat keeps both seams exactly as long as the bent pipe's, which
// the layout's joint planes give in space, and its middle as long as the centreline.
void TestHalves::seamsKeepTheirLength()
{
    QFETCH(int, joints);
    QFETCH(double, angle);
    QFETCH(double, radius);
    const Pipe pipe = pipeOf({PipeSection(700, 50, 50)});
    const RouteLayout l = layRoute(pipe, halvesRoute(200, angle, joints, radius), {1.2});
    QVERIFY2(l.ok(), qPrintable(l.problem));
    QCOMPARE(l.halves.size(), 1);
    const HalvesSpan span = l.halves.first();
    const HalvesBend bend = halvesBend(pipe, l, span, 1.2);
    QCOMPARE(bend.jointsMm.size(), joints);
    const HalfFlat f = developHalves(bend, {0, 0});
    QVERIFY(std::abs(lengthOf(f.crown) - (span.toMm - span.fromMm)) < 1e-9);
    QVERIFY(std::abs(lengthOf(f.seamIn) - seamInSpace(l, span.fromMm, span.toMm, true)) < 1e-6);
    QVERIFY(std::abs(lengthOf(f.seamOut) - seamInSpace(l, span.fromMm, span.toMm, false)) < 1e-6);
    QVERIFY(lengthOf(f.seamIn) < lengthOf(f.seamOut));
    // The flat turns towards its inside seam, by the sum of its joints' flat turns.
    const QPointF a = f.crown[1] - f.crown[0], b = f.crown.last() - f.crown[f.crown.size() - 2];
    const double turned = std::atan2(a.x() * b.y() - a.y() * b.x(), a.x() * b.x() + a.y() * b.y());
    QVERIFY(std::abs(turned * 180 / Pi - joints * flatTurnDeg(angle / joints)) < 1e-9);
}

// A cone's seam is a generator, sqrt(L^2 + (dD/2)^2); the flat gives it that length.
void TestHalves::straightConeSeam()
{
    const Pipe pipe = pipeOf({PipeSection(400, 40, 100)});
    const RouteLayout l = layRoute(pipe, halvesRoute(150, 1e-6, 1, 1e5), {0});
    QVERIFY2(l.ok(), qPrintable(l.problem));
    const HalvesSpan span = l.halves.first();
    const HalvesBend bend = halvesBend(pipe, l, span, 0);
    const double L = span.toMm - span.fromMm, dD = bend.d2 - bend.d1;
    QVERIFY(std::abs(dD - 60 * L / 400) < 1e-9);
    const HalfFlat f = developHalves(bend, {0, 0});
    QVERIFY(std::abs(lengthOf(f.seamIn) - std::hypot(L, dD / 2)) < 1e-6);
    QVERIFY(std::abs(lengthOf(f.crown) - flatConeLength(L, dD)) < 1e-6);
}

void TestHalves::widthAndMargin()
{
    HalvesBend bend;
    bend.fromMm = 0;
    bend.toMm = 100;
    bend.d1 = 40;
    bend.d2 = 60;
    bend.jointsMm << 50;
    bend.turnsDeg << 20;
    const HalfFlat f = developHalves(bend, {6, 2});
    // Across the flat at its ends: half the circumference less the stretch, and two margins.
    QVERIFY(std::abs(QLineF(f.edgeIn.first(), f.edgeOut.first()).length() -
                     (Pi * 40 / 2 / 1.02 + 12)) < 1e-9);
    QVERIFY(std::abs(QLineF(f.edgeIn.last(), f.edgeOut.last()).length() -
                     (Pi * 60 / 2 / 1.02 + 12)) < 1e-9);
    // At the joint both sides stay as far from the middle line as the ends make them.
    const QPointF d = f.crown[2] - f.crown[1];
    const QPointF n(-d.y(), d.x());
    const double fromMiddle =
        QPointF::dotProduct(f.seamIn[1] - f.crown[1], n / std::hypot(n.x(), n.y()));
    QVERIFY(std::abs(fromMiddle - Pi * 50 / 4 / 1.02) < 1e-9);
}

// The arc meets the straight pipe half a spacing before its first joint and after its last,
// where the layout cuts square; its pieces share one number, and the lengths stay.
void TestHalves::squareCutsAndOnePart()
{
    const Pipe pipe = pipeOf({PipeSection(700, 50, 50), PipeSection(300, 50, 120)});
    Route r = halvesRoute(200, 60, 3, 100);
    Bend mitred;
    mitred.atMm = 800;
    mitred.angleDeg = 30;
    mitred.joints = 2;
    mitred.spacingMm = 40;
    r.bends << mitred;
    const RouteLayout l = layRoute(pipe, r, {1});
    QVERIFY2(l.ok(), qPrintable(l.problem));
    const double s = 2 * 100 * std::tan(10 * Pi / 180);
    QVERIFY(std::abs(l.halves.first().fromMm - (200 - s / 2)) < 1e-9);
    QVERIFY(std::abs(l.halves.first().toMm - (200 + 2 * s + s / 2)) < 1e-9);
    QStringList names;
    for (const Piece &p : l.pieces) {
        if (p.halves >= 0)
            QVERIFY(p.startMm >= l.halves.first().fromMm - 1e-9);
        names << p.name;
    }
    QCOMPARE(names, (QStringList{"1-1", "1-2", "1-2", "1-2", "1-2", "1-3", "2-1", "2-2", "2-3"}));
    QVERIFY(std::abs(l.sectionCentreline[0] - 700) < 1e-6);
    // The pieces either side of the arc are cut square where it begins and ends.
    QVERIFY(!l.pieces[0].mitredDown && !l.pieces[5].mitredUp);
}

void TestHalves::refused_data()
{
    QTest::addColumn<double>("at");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QString>("says");
    QTest::newRow("runs into the cone") << 660.0 << 60.0 << "fuori dalla sezione 1";
    QTest::newRow("starts before the port") << 5.0 << 60.0 << "fuori dalla sezione 1";
    QTest::newRow("over the mitred bend's start") << 470.0 << 40.0 << "sovrappongono";
}

void TestHalves::refused()
{
    QFETCH(double, at);
    QFETCH(double, angle);
    QFETCH(QString, says);
    const Pipe pipe = pipeOf({PipeSection(700, 50, 50), PipeSection(300, 50, 120)});
    Route r;
    Bend first;
    first.atMm = 450;
    first.angleDeg = 20;
    first.joints = 1;
    first.spacingMm = 30;
    if (at == 470)
        r.bends << first;
    Route halves = halvesRoute(at, angle, 2, 200);
    r.bends << halves.bends;
    const RouteLayout l = layRoute(pipe, r, {1});
    QVERIFY(!l.ok());
    QVERIFY2(l.problem.contains(says), qPrintable(l.problem));
    QVERIFY(l.problem.startsWith(at == 470 ? "curva 2" : "curva 1"));
    QVERIFY(l.pieces.isEmpty());
}

QTEST_GUILESS_MAIN(TestHalves)
#include "tst_halves.moc"

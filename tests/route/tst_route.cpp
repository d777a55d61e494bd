// The pipe in space: a route's joints and end against rotation matrices, the joint planes
// against their closed form, the cut edges of neighbouring pieces meeting point for point,
// the worked examples of a mitred tube and a mitred cone, the seam's side.
#include "cut.h"
#include "layout.h"
#include "route.h"

#include <QtTest>

#include <array>
#include <cmath>

using namespace velmorant;
using namespace velmorant::route;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Deg = Pi / 180;

// A 3x3 rotation matrix, kept apart from the code under test: rows of the matrix turning by
// `angle` about the unit axis k.
using Matrix = std::array<std::array<double, 3>, 3>;

Matrix rotation(const Vec3 &k, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    return {{{t * k.x * k.x + c, t * k.x * k.y - s * k.z, t * k.x * k.z + s * k.y},
             {t * k.x * k.y + s * k.z, t * k.y * k.y + c, t * k.y * k.z - s * k.x},
             {t * k.x * k.z - s * k.y, t * k.y * k.z + s * k.x, t * k.z * k.z + c}}};
}

Vec3 turn(const Matrix &m, const Vec3 &v)
{
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

double distance(const Vec3 &a, const Vec3 &b)
{
    return norm(a - b);
}

Pipe tube(double length, double d)
{
    Pipe p;
    p.sections << PipeSection(length, d, d);
    return p;
}

// A diffuser of slope 0.1 whose radius is 30 mm at 60 mm from its start (the note's example B).
Pipe exampleCone()
{
    Pipe p;
    p.sections << PipeSection(200, 2 * (30 - 6), 2 * (30 + 14));
    return p;
}

Route planar(double at, double angle, int joints, double spacing, double plane = 0)
{
    Route r;
    Bend b;
    b.atMm = at;
    b.angleDeg = angle;
    b.joints = joints;
    b.spacingMm = spacing;
    b.planeDeg = plane;
    r.bends << b;
    return r;
}

double polygonArea(const QList<QPointF> &up, const QList<QPointF> &down)
{
    QList<QPointF> ring = up;
    for (int i = int(down.size()) - 1; i >= 0; --i)
        ring << down[i];
    double a = 0;
    for (int i = 0; i < ring.size(); ++i) {
        const QPointF &p = ring[i], &q = ring[(i + 1) % ring.size()];
        a += p.x() * q.y() - q.x() * p.y();
    }
    return std::abs(a) / 2;
}

} // namespace

class TestRoute : public QObject
{
    Q_OBJECT

private slots:
    void endFollowsRotations_data();
    void endFollowsRotations();
    void jointPlanesAndMatchingEdges_data();
    void jointPlanesAndMatchingEdges();
    void mitredTube();
    void mitredCone_data();
    void mitredCone();
    void seamSides();
};

// The end of a route of two bends against the same turns composed as matrices, and the
// centreline's length through the joints equal to the pipe's whatever the angles.
void TestRoute::endFollowsRotations_data()
{
    QTest::addColumn<double>("angle1");
    QTest::addColumn<double>("angle2");
    QTest::addColumn<double>("plane2");
    QTest::newRow("one plane") << 60.0 << 35.0 << 0.0;
    QTest::newRow("quarter turn between") << 60.0 << 35.0 << 90.0;
    QTest::newRow("back the other way") << 40.0 << 40.0 << 180.0;
    QTest::newRow("skew") << 27.0 << 53.0 << -131.0;
}

void TestRoute::endFollowsRotations()
{
    QFETCH(double, angle1);
    QFETCH(double, angle2);
    QFETCH(double, plane2);
    Route r;
    r.point = {10, -20, 5};
    r.direction = unit({0, 0.3, -1});
    r.up = unit(cross(r.direction, {1, 0, 0}));
    Bend a;
    a.atMm = 120;
    a.angleDeg = angle1;
    a.joints = 4;
    a.radiusMm = 90;
    Bend b;
    b.atMm = 600;
    b.angleDeg = angle2;
    b.planeDeg = plane2;
    b.joints = 3;
    b.spacingMm = 40;
    r.bends << a << b;
    const Pipe pipe = tube(900, 40);
    LayoutRules rules;
    rules.maxJointDeg = 30;
    const RouteLayout l = layRoute(pipe, r, rules);
    QVERIFY2(l.ok(), qPrintable(l.problem));
    QCOMPARE(l.joints.size(), 7);

    // By matrices: each joint turns the axis about axis x turn-direction; the second bend's
    // direction is the first's carried through it and turned by plane2 about the axis.
    Vec3 e = r.direction, w = r.up, p = r.point;
    double at = 0;
    const QList<std::pair<const Bend *, double>> bends{{&a, 0.0}, {&b, plane2}};
    double walked = 0;
    Vec3 last = r.point;
    for (const auto &[bend, plane] : bends) {
        w = turn(rotation(e, plane * Deg), w);
        const double delta = bend->angleDeg / bend->joints * Deg;
        const double spacing =
            bend->spacingMm ? *bend->spacingMm : 2 * *bend->radiusMm * std::tan(delta / 2);
        for (int k = 0; k < bend->joints; ++k) {
            const double s = bend->atMm + k * spacing;
            p = p + e * (s - at);
            at = s;
            walked += distance(p, last);
            last = p;
            const Matrix m = rotation(unit(cross(e, w)), delta);
            e = turn(m, e);
            w = turn(m, w);
        }
    }
    const Vec3 end = p + e * (900 - at);
    walked += distance(end, last);
    QVERIFY2(distance(l.endPoint, end) < 1e-9, qPrintable(QString::number(distance(l.endPoint, end))));
    QVERIFY(distance(l.endDirection, e) < 1e-12);
    QVERIFY(std::abs(walked - 900) < 1e-6);
    double centreline = 0;
    for (double s : l.sectionCentreline)
        centreline += s;
    QVERIFY(std::abs(centreline - 900) < 1e-6);
    for (const Joint &j : l.joints)
        QVERIFY(std::abs(std::acos(std::clamp(dot(j.in, j.out), -1.0, 1.0)) / Deg - j.angleDeg) <
                1e-9);
}

// Each joint's plane: normal bisecting the turn, moved from the joint towards the cones'
// apices by r sin(a) cos(a) / cos(delta / 2); the edges of the pieces either side of it are one
// curve, each point of one lying on the other's surface.
void TestRoute::jointPlanesAndMatchingEdges_data()
{
    QTest::addColumn<double>("dIn");
    QTest::addColumn<double>("dOut");
    QTest::addColumn<double>("plane");
    QTest::newRow("tube") << 60.0 << 60.0 << 0.0;
    QTest::newRow("diffuser") << 48.0 << 88.0 << 30.0;
    QTest::newRow("baffle") << 110.0 << 40.0 << -75.0;
}

void TestRoute::jointPlanesAndMatchingEdges()
{
    QFETCH(double, dIn);
    QFETCH(double, dOut);
    QFETCH(double, plane);
    Pipe pipe;
    pipe.sections << PipeSection(300, dIn, dOut);
    LayoutRules rules;
    rules.sheetMm = 1.5;
    const RouteLayout l = layRoute(pipe, planar(80, 45, 3, 60, plane), rules);
    QVERIFY2(l.ok(), qPrintable(l.problem));
    QCOMPARE(l.pieces.size(), 4);
    const double t = (dOut - dIn) / 2 / 300, alpha = std::atan(t);
    for (int k = 0; k < 3; ++k) {
        const Piece &a = l.pieces[k], &b = l.pieces[k + 1];
        const Joint &j = l.joints[k];
        const Vec3 n = unit(j.in + j.out);
        const double r = dIn / 2 + t * j.atMm + rules.sheetMm / 2;
        const double offset = r * std::sin(alpha) * std::cos(alpha) / std::cos(7.5 * Deg);
        double worst = 0, seamGap = 0;
        for (int i = 0; i < 360; ++i) {
            const double phi = 2 * Pi * i / 360;
            const Vec3 x = surfacePoint(a, phi, cutZ(a, a.downstream, phi));
            worst = std::max(worst, std::abs(dot(n, x - j.point) + offset));
            // On b's surface and on b's upstream edge.
            const double z = dot(x - b.origin, b.axis);
            const double radial = norm(x - b.origin - b.axis * z);
            const double fb = azimuthOf(b, x);
            seamGap = std::max({seamGap, std::abs(radial - radiusAt(b, z)),
                                std::abs(z - cutZ(b, b.upstream, fb))});
        }
        QVERIFY2(worst < 1e-9, qPrintable(QString::number(worst)));
        QVERIFY2(seamGap < 1e-9, qPrintable(QString::number(seamGap)));
        // The next piece's quarter marks sit on the same points in space.
        for (int q = 0; q < 4; ++q) {
            const Tick &ta = a.ticksDown[q], &tb = b.ticksUp[q];
            QCOMPARE(ta.inside, tb.inside);
            const Vec3 xa = surfacePoint(a, ta.phi, cutZ(a, a.downstream, ta.phi));
            const Vec3 xb = surfacePoint(b, tb.phi, cutZ(b, b.upstream, tb.phi));
            QVERIFY(distance(xa, xb) < 1e-9);
        }
        // The inside tick is where the bend turns to: the shortest wall's side.
        const Tick &inside = a.ticksDown[0];
        const Vec3 xi = surfacePoint(a, inside.phi, cutZ(a, a.downstream, inside.phi));
        QVERIFY(dot(xi - j.point, j.out - j.in) > 0);
    }
}

// A tube of 60 mm (mid-surface) in 30 degree joints on a radius of 120: the note's example.
void TestRoute::mitredTube()
{
    LayoutRules rules;
    rules.sheetMm = 0;
    const double l = 2 * 120 * std::tan(15 * Deg);
    const RouteLayout r = layRoute(tube(400, 60), planar(100, 60, 2, l), rules);
    QVERIFY2(r.ok(), qPrintable(r.problem));
    const Piece &p = r.pieces[1];
    QVERIFY(std::abs(p.length - 64.3078) < 1e-4);
    // h(phi) = r tan(15) cos(phi) from the inside of the bend, at both cuts.
    for (double deg : {0.0, 30.0, 60.0, 90.0, 120.0, 200.0}) {
        const double phi = p.ticksUp[0].phi + deg * Deg;
        QVERIFY(std::abs(cutZ(p, p.upstream, phi) - 30 * std::tan(15 * Deg) * std::cos(deg * Deg)) < 1e-9);
        QVERIFY(std::abs(cutZ(p, p.downstream, phi) - (l - 30 * std::tan(15 * Deg) * std::cos(deg * Deg))) < 1e-9);
    }
    QVERIFY(std::abs(cutZ(p, p.upstream, p.ticksUp[0].phi) - 8.0385) < 1e-4);
    double phi = 0;
    QVERIFY(std::abs(shortestWall(p, &phi) - 48.2309) < 1e-4);
    const Flat f = develop(p, p.seam, p.seam + 2 * Pi);
    QVERIFY(!f.cone);
    QVERIFY(std::abs(f.up.last().x() - 188.4956) < 1e-4);
    QVERIFY(std::abs(polygonArea(f.up, f.down) - 12121.736) < 0.05);
}

// The note's example B: a diffuser piece of slope 0.1 between joints of 20 degrees, 80 mm apart,
// the radius 30 and 38 mm at them; the inside of both turns at azimuth 0, the seam there.
void TestRoute::mitredCone_data()
{
    QTest::addColumn<bool>("downstream");
    QTest::addColumn<double>("deg");
    QTest::addColumn<double>("z");
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("theta");
    QTest::newRow("upstream 0") << false << 0.0 << 2.2671 << 30.2267 << 303.7747 << 0.0;
    QTest::newRow("upstream 90") << false << 90.0 << -3.0626 << 29.6937 << 298.4183 << 8.9553;
    QTest::newRow("upstream 180") << false << 180.0 << -8.2077 << 29.1792 << 293.2476 << 17.9107;
    QTest::newRow("downstream 0") << true << 0.0 << 69.6035 << 36.9604 << 371.4470 << 0.0;
    QTest::newRow("downstream 90") << true << 90.0 << 76.1206 << 37.6121 << 377.9966 << 8.9553;
    QTest::newRow("downstream 180") << true << 180.0 << 82.8717 << 38.2872 << 384.7813 << 17.9107;
}

void TestRoute::mitredCone()
{
    QFETCH(bool, downstream);
    QFETCH(double, deg);
    QFETCH(double, z);
    QFETCH(double, r);
    QFETCH(double, s);
    QFETCH(double, theta);
    LayoutRules rules;
    rules.sheetMm = 0;
    rules.seam = SeamSide::Inside;
    const RouteLayout l = layRoute(exampleCone(), planar(60, 40, 2, 80), rules);
    QVERIFY2(l.ok(), qPrintable(l.problem));
    const Piece &p = l.pieces[1];
    QCOMPARE(p.name, QStringLiteral("1-2"));
    const double phi = p.seam + deg * Deg;
    const double zz = cutZ(p, downstream ? p.downstream : p.upstream, phi);
    QVERIFY2(std::abs(zz - z) < 1e-4, qPrintable(QString::number(zz, 'f', 6)));
    QVERIFY(std::abs(radiusAt(p, zz) - r) < 1e-4);
    // Flat: distance from the apex, and the angle from the seam's generator.
    const QPointF at = flatPoint(p, p.seam, p.seam + 2 * Pi, phi, zz);
    const QPointF seam = flatPoint(p, p.seam, p.seam + 2 * Pi, p.seam, zz);
    QVERIFY(std::abs(std::hypot(at.x(), at.y()) - s) < 1e-4);
    const double turned = std::abs(std::atan2(seam.x() * at.y() - seam.y() * at.x(),
                                              seam.x() * at.x() + seam.y() * at.y()));
    QVERIFY2(std::abs(turned / Deg - theta) < 1e-4, qPrintable(QString::number(turned / Deg)));
    if (deg == 0 && !downstream) {
        const Flat f = develop(p, p.seam, p.seam + 2 * Pi);
        QVERIFY(f.cone);
        QVERIFY(std::abs(f.sweep / Deg - 35.8213) < 1e-4);
        QVERIFY2(std::abs(polygonArea(f.up, f.down) - 16834.460) < 0.5,
                 qPrintable(QString::number(polygonArea(f.up, f.down), 'f', 3)));
    }
}

// The seam on the bend's inside is on each mitred piece's shortest wall, outside on its longest;
// alternating, it changes side from one piece to the next.
void TestRoute::seamSides()
{
    for (SeamSide side : {SeamSide::Inside, SeamSide::Outside, SeamSide::Alternating}) {
        LayoutRules rules;
        rules.seam = side;
        const RouteLayout l = layRoute(exampleCone(), planar(40, 60, 3, 50, 45), rules);
        QVERIFY2(l.ok(), qPrintable(l.problem));
        QCOMPARE(l.pieces.size(), 4);
        for (int i = 0; i < l.pieces.size(); ++i) {
            const Piece &p = l.pieces[i];
            const double wall = (cutZ(p, p.downstream, p.seam) - cutZ(p, p.upstream, p.seam)) *
                                std::sqrt(1 + p.taper * p.taper);
            double least = 1e9, most = 0;
            for (int k = 0; k < 720; ++k) {
                const double phi = 2 * Pi * k / 720;
                const double w = (cutZ(p, p.downstream, phi) - cutZ(p, p.upstream, phi)) *
                                 std::sqrt(1 + p.taper * p.taper);
                least = std::min(least, w);
                most = std::max(most, w);
            }
            const bool inside = side == SeamSide::Inside ||
                                (side == SeamSide::Alternating && i % 2 == 0);
            QVERIFY2(std::abs(wall - (inside ? least : most)) < 1e-3,
                     qPrintable(QStringLiteral("%1: %2 in %3..%4").arg(p.name).arg(wall).arg(least).arg(most)));
        }
    }
}

QTEST_GUILESS_MAIN(TestRoute)
#include "tst_route.moc"

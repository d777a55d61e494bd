// The pipe's body as a closed surface: every edge shared by two facets in opposite senses,
// facing outwards, every vertex on its piece's outer surface, its volume the straight pipe's
// and its area the sum of the developed pieces.
#include "cut.h"
#include "mesh.h"

#include <QtTest>

#include <cmath>
#include <map>
#include <tuple>

using namespace velmorant;
using namespace velmorant::route;

namespace {

constexpr double Pi = 3.14159265358979323846;

Route twoBends(double plane)
{
    Route r;
    r.point = {5, 10, -3};
    r.direction = unit({1, 1, 0});
    r.up = {0, 0, 1};
    Bend a;
    a.atMm = 60;
    a.angleDeg = 50;
    a.joints = 2;
    a.spacingMm = 50;
    Bend b;
    b.atMm = 420;
    b.angleDeg = 40;
    b.joints = 2;
    b.radiusMm = 150;
    b.planeDeg = plane;
    r.bends << a << b;
    return r;
}

Route oneJoint()
{
    Route r;
    Bend b;
    b.atMm = 60;
    b.angleDeg = 20;
    b.spacingMm = 10;
    r.bends << b;
    return r;
}

// Header, diffuser, belly, baffle, and a step down into the stinger.
Pipe chamber()
{
    Pipe p;
    p.sections << PipeSection(150, 40, 40) << PipeSection(200, 40, 90)
               << PipeSection(200, 90, 90) << PipeSection(150, 90, 30) << PipeSection(120, 24, 24);
    return p;
}

// A regular polygon of n sides inscribed in a circle of radius r, as the mesh facets it.
double facetedCircle(double r, int n)
{
    return n / 2.0 * r * r * std::sin(2 * Pi / n);
}

// The area of a piece's surface between its cuts from a fine mesh of space triangles.
double meshArea(const Piece &p, int around = 720, int along = 200)
{
    double a = 0;
    for (int i = 0; i < around; ++i) {
        const double f0 = 2 * Pi * i / around, f1 = 2 * Pi * (i + 1) / around;
        auto at = [&](double phi, int j) {
            const double za = cutZ(p, p.upstream, phi), zb = cutZ(p, p.downstream, phi);
            return surfacePoint(p, phi, za + (zb - za) * j / along);
        };
        for (int j = 0; j < along; ++j) {
            const Vec3 a0 = at(f0, j), a1 = at(f1, j), b0 = at(f0, j + 1), b1 = at(f1, j + 1);
            a += norm(cross(a1 - a0, b0 - a0)) / 2 + norm(cross(a1 - b1, b0 - b1)) / 2;
        }
    }
    return a;
}

double flatArea(const Flat &f)
{
    QList<QPointF> ring = f.up;
    for (int i = int(f.down.size()) - 1; i >= 0; --i)
        ring << f.down[i];
    double a = 0;
    for (int i = 0; i < ring.size(); ++i)
        a += ring[i].x() * ring[(i + 1) % ring.size()].y() - ring[(i + 1) % ring.size()].x() * ring[i].y();
    return std::abs(a) / 2;
}

using Key = std::tuple<double, double, double>;
Key key(const Vec3 &v)
{
    return {v.x, v.y, v.z};
}

} // namespace

class TestBody : public QObject
{
    Q_OBJECT

private slots:
    void closedAndOutward_data();
    void closedAndOutward();
    void verticesOnTheSurface();
    void volumeOfATubeBentIsTheStraightOnes();
    void areaIsTheDevelopments();
    void stlBytes();
    void developedAreaIsTheSurfaces_data();
    void developedAreaIsTheSurfaces();
};

void TestBody::closedAndOutward_data()
{
    QTest::addColumn<bool>("straight");
    QTest::addColumn<double>("plane");
    QTest::newRow("straight") << true << 0.0;
    QTest::newRow("one plane") << false << 0.0;
    QTest::newRow("skew") << false << 70.0;
}

void TestBody::closedAndOutward()
{
    QFETCH(bool, straight);
    QFETCH(double, plane);
    const BodyMesh m = pipeBody(chamber(), straight ? Route() : twoBends(plane), 1.0, 90);
    QVERIFY2(m.problem.isEmpty(), qPrintable(m.problem));
    std::map<std::pair<Key, Key>, int> edges;
    for (const Triangle &t : m.triangles) {
        QVERIFY(norm(cross(t.b - t.a, t.c - t.a)) > 0);
        ++edges[{key(t.a), key(t.b)}];
        ++edges[{key(t.b), key(t.c)}];
        ++edges[{key(t.c), key(t.a)}];
    }
    for (const auto &[e, count] : edges) {
        QCOMPARE(count, 1);
        const auto reverse = edges.find({e.second, e.first});
        QVERIFY(reverse != edges.end() && reverse->second == 1);
    }
    QVERIFY(volumeOf(m) > 0); // facets turned outwards enclose a positive volume
}

void TestBody::verticesOnTheSurface()
{
    const double sheet = 1.5;
    const BodyMesh m = pipeBody(chamber(), twoBends(35), sheet, 60);
    LayoutRules rules;
    rules.sheetMm = 2 * sheet;
    rules.minWallMm = 0;
    rules.maxJointDeg = 180;
    const RouteLayout l = layRoute(chamber(), twoBends(35), rules);
    QVERIFY(l.ok());
    const Vec3 port = l.pieces.first().origin, tail = l.endPoint;
    for (const Triangle &t : m.triangles) {
        for (const Vec3 &v : {t.a, t.b, t.c}) {
            if (norm(v - port) < 1e-12 || norm(v - tail) < 1e-12)
                continue;
            // On the outer surface of some piece: the inside radius plus the sheet.
            bool on = false;
            for (const Piece &p : l.pieces) {
                const double z = dot(v - p.origin, p.axis);
                const double phi = azimuthOf(p, v);
                const double radial = norm(v - p.origin - p.axis * z);
                if (z >= cutZ(p, p.upstream, phi) - 1e-9 && z <= cutZ(p, p.downstream, phi) + 1e-9 &&
                    std::abs(radial - radiusAt(p, z)) < 1e-9)
                    on = true;
            }
            QVERIFY2(on, qPrintable(QStringLiteral("%1 %2 %3").arg(v.x).arg(v.y).arg(v.z)));
        }
    }
    // The outer radius is the inside one plus the sheet: 20 + 1.5 at the port.
    QVERIFY(std::abs(l.pieces.first().r0 - 21.5) < 1e-12);
}

// Cut at mitres through the axis, a faceted tube keeps its volume: each prism's volume is its
// section times its length along the axis.
void TestBody::volumeOfATubeBentIsTheStraightOnes()
{
    Pipe tube;
    tube.sections << PipeSection(300, 50, 50) << PipeSection(400, 70, 70);
    const int n = 72;
    const double expected = facetedCircle(26, n) * 300 + facetedCircle(36, n) * 400;
    for (double plane : {0.0, 120.0}) {
        Route r = twoBends(plane);
        r.bends[1].atMm = 450;
        const BodyMesh bent = pipeBody(tube, r, 1.0, n);
        QVERIFY2(bent.problem.isEmpty(), qPrintable(bent.problem));
        QVERIFY2(std::abs(volumeOf(bent) - expected) < 1e-9 * expected,
                 qPrintable(QStringLiteral("%1 against %2").arg(volumeOf(bent)).arg(expected)));
    }
    // A chamber's cones: close to the frusta's volume (the facets cut a little off).
    double frusta = 0;
    for (const PipeSection &s : chamber().sections) {
        const double a = s.dIn / 2 + 1, b = s.dOut / 2 + 1;
        frusta += Pi / 3 * s.length * (a * a + a * b + b * b);
    }
    const double v = volumeOf(pipeBody(chamber(), twoBends(20), 1.0, 180));
    QVERIFY2(std::abs(v - frusta) < 1e-3 * frusta, qPrintable(QStringLiteral("%1 against %2").arg(v).arg(frusta)));
}

// With no sheet, the body's sides are the developed pieces rolled up: their area, plus the port's
// and the tail's discs and the step's annulus.
void TestBody::areaIsTheDevelopments()
{
    const int n = 360;
    const BodyMesh m = pipeBody(chamber(), twoBends(45), 0, n);
    LayoutRules rules;
    rules.sheetMm = 0;
    const RouteLayout l = layRoute(chamber(), twoBends(45), rules);
    QVERIFY(l.ok());
    double developed = 0;
    for (const Piece &p : l.pieces) {
        const Flat f = develop(p, 0, 2 * Pi);
        QList<QPointF> ring = f.up;
        for (int i = int(f.down.size()) - 1; i >= 0; --i)
            ring << f.down[i];
        double a = 0;
        for (int i = 0; i < ring.size(); ++i)
            a += ring[i].x() * ring[(i + 1) % ring.size()].y() - ring[(i + 1) % ring.size()].x() * ring[i].y();
        developed += std::abs(a) / 2;
    }
    const double ends = facetedCircle(20, n) + facetedCircle(12, n) +
                        (facetedCircle(15, n) - facetedCircle(12, n)); // the step 30 -> 24
    const double expected = developed + ends;
    QVERIFY2(std::abs(areaOf(m) - expected) < 2e-4 * expected,
             qPrintable(QStringLiteral("%1 against %2").arg(areaOf(m)).arg(expected)));
}

void TestBody::stlBytes()
{
    const BodyMesh m = pipeBody(chamber(), twoBends(0), 1.0, 48);
    const QByteArray stl = route::stlBytes(m);
    QCOMPARE(stl.size(), qsizetype(84 + 50 * m.triangles.size()));
    quint32 count = 0;
    std::memcpy(&count, stl.constData() + 80, 4);
    QCOMPARE(qFromLittleEndian(count), quint32(m.triangles.size()));
    QVERIFY(!stl.startsWith("solid")); // a binary file no reader takes for text
    // The first facet's corners, as floats.
    float corner[3];
    std::memcpy(corner, stl.constData() + 84 + 12, 12);
    QCOMPARE(corner[0], float(m.triangles[0].a.x));
    QCOMPARE(corner[2], float(m.triangles[0].a.z));
}

// Any piece's pattern has its surface's area: the flat outline (a point a degree) against a
// fine mesh of the surface in space.
void TestBody::developedAreaIsTheSurfaces_data()
{
    QTest::addColumn<double>("dIn");
    QTest::addColumn<double>("dOut");
    QTest::addColumn<double>("plane");
    QTest::newRow("tube, skew") << 50.0 << 50.0 << 70.0;
    QTest::newRow("diffuser") << 40.0 << 120.0 << 0.0;
    QTest::newRow("baffle, skew") << 120.0 << 30.0 << -140.0;
}

void TestBody::developedAreaIsTheSurfaces()
{
    QFETCH(double, dIn);
    QFETCH(double, dOut);
    QFETCH(double, plane);
    Pipe pipe;
    pipe.sections << PipeSection(150, dIn, dIn) << PipeSection(400, dIn, dOut);
    Route r = oneJoint();
    Bend b;
    b.atMm = 250;
    b.angleDeg = 36;
    b.joints = 2;
    b.spacingMm = 90;
    b.planeDeg = plane;
    r.bends << b;
    const RouteLayout l = layRoute(pipe, r);
    QVERIFY2(l.ok(), qPrintable(l.problem));
    QCOMPARE(l.pieces.size(), 5);
    for (const Piece &p : l.pieces) {
        const Flat f = develop(p, p.seam, p.seam + 2 * Pi);
        const double flat = flatArea(f), space = meshArea(p);
        QVERIFY2(std::abs(flat - space) < 2e-4 * space,
                 qPrintable(QStringLiteral("%1: %2 against %3").arg(p.name).arg(flat).arg(space)));
    }
}

QTEST_GUILESS_MAIN(TestBody)
#include "tst_body.moc"

// Least distances between the pipe and the bike's parts against their closed forms, the tail's
// target, and the obstacles' file.
#include "clearance.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::route;

namespace {

// A tube 40 mm inside, 1 mm sheet: 21 mm to its outer surface, down -z from the origin.
Pipe tube()
{
    Pipe p;
    p.sections << PipeSection(600, 40, 40);
    return p;
}

Obstacle box(const Vec3 &min, const Vec3 &max)
{
    Obstacle o;
    o.name = QStringLiteral("scatola");
    o.min = min;
    o.max = max;
    return o;
}

Obstacle cylinder(const Vec3 &a, const Vec3 &b, double r)
{
    Obstacle o;
    o.name = QStringLiteral("ruota");
    o.kind = Obstacle::Kind::Cylinder;
    o.a = a;
    o.b = b;
    o.radius = r;
    return o;
}

} // namespace

class TestClearance : public QObject
{
    Q_OBJECT

private slots:
    void closedForms_data();
    void closedForms();
    void bentPipeNearestPiece();
    void target();
    void file_data();
    void file();
};

void TestClearance::closedForms_data()
{
    QTest::addColumn<Obstacle>("obstacle");
    QTest::addColumn<double>("distance");
    QTest::newRow("box beside") << box({50, -50, -300}, {100, 50, -100}) << 29.0;
    QTest::newRow("box below the tail") << box({-50, -50, -800}, {50, 50, -650}) << 50.0;
    QTest::newRow("box across a corner") << box({40, 30, -300}, {90, 80, -200})
                                         << std::hypot(40.0, 30.0) - 21;
    QTest::newRow("cylinder alongside") << cylinder({100, 0, -100}, {100, 0, -500}, 30) << 49.0;
    QTest::newRow("cylinder across") << cylinder({80, -100, -300}, {80, 100, -300}, 10) << 49.0;
    QTest::newRow("box into the pipe") << box({15, -50, -300}, {100, 50, -100}) << -6.0;
}

void TestClearance::closedForms()
{
    QFETCH(Obstacle, obstacle);
    QFETCH(double, distance);
    Surroundings s;
    s.obstacles << obstacle;
    const Clearance c = clearanceOf(outerLayout(tube(), Route(), 1.0), s);
    QCOMPARE(c.distances.size(), 1);
    QVERIFY2(std::abs(c.distances[0].distanceMm - distance) < 0.05,
             qPrintable(QString::number(c.distances[0].distanceMm, 'f', 4)));
    QCOMPARE(c.distances[0].name, obstacle.name);
}

// Bent a quarter turn towards +x, the pipe's tail runs along +x at z = -(200 + 50) about: the
// nearest piece to a box beyond the tail is the last one.
void TestClearance::bentPipeNearestPiece()
{
    Route r;
    Bend b;
    b.atMm = 200;
    b.angleDeg = 90;
    b.joints = 4;
    b.spacingMm = 30;
    r.bends << b;
    const RouteLayout l = outerLayout(tube(), r, 1.0);
    QVERIFY(l.ok());
    Surroundings s;
    // A wall beyond the tail's end, across the direction it ends in.
    const Vec3 end = l.endPoint;
    QVERIFY(std::abs(l.endDirection.x - 1) < 1e-12);
    s.obstacles << box({end.x + 10, -200, -2000}, {end.x + 100, 200, 2000});
    const Clearance c = clearanceOf(l, s);
    QVERIFY2(std::abs(c.distances[0].distanceMm - 10) < 0.05,
             qPrintable(QString::number(c.distances[0].distanceMm, 'f', 4)));
    QCOMPARE(c.distances[0].piece, l.pieces.last().name);
}

void TestClearance::target()
{
    const RouteLayout l = outerLayout(tube(), Route(), 1.0);
    Surroundings s;
    s.target = TargetBox{{-10, -10, -610}, {10, 10, -590}};
    QVERIFY(clearanceOf(l, s).tailInTarget);
    s.target = TargetBox{{3, 4, -700}, {10, 10, -650}};
    const Clearance c = clearanceOf(l, s);
    QVERIFY(!c.tailInTarget);
    QVERIFY(std::abs(c.tailOutsideMm - std::sqrt(9.0 + 16 + 2500)) < 1e-9);
}

void TestClearance::file_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("says"); // empty: read
    QTest::newRow("whole") << QByteArray(R"({"version": 1, "clearance_mm": 20, "obstacles": [
        {"name": "motore", "box": {"min": [0, 0, 0], "max": [1, 2, 3]}},
        {"name": "ruota", "cylinder": {"a": [0, 0, 0], "b": [0, 50, 0], "radius": 300}}],
        "target": {"min": [0, 0, 0], "max": [10, 10, 10]}})") << QString();
    QTest::newRow("unknown key") << QByteArray(R"({"version": 1, "ostacoli": []})") << "ostacoli";
    QTest::newRow("version") << QByteArray(R"({"version": 3})") << "versione";
    QTest::newRow("flat box") << QByteArray(R"({"version": 1, "obstacles": [{"name": "telaio", "box": {"min": [0, 0, 0], "max": [1, 0, 3]}}]})") << "telaio";
    QTest::newRow("both shapes") << QByteArray(R"({"version": 1, "obstacles": [{"name": "x", "box": {"min": [0, 0, 0], "max": [1, 1, 1]}, "cylinder": {}}]})") << "uno solo";
    QTest::newRow("no radius") << QByteArray(R"({"version": 1, "obstacles": [{"name": "ruota", "cylinder": {"a": [0, 0, 0], "b": [0, 1, 0], "radius": 0}}]})") << "raggio";
    QTest::newRow("same name") << QByteArray(R"({"version": 1, "obstacles": [{"name": "a", "box": {"min": [0, 0, 0], "max": [1, 1, 1]}}, {"name": "a", "box": {"min": [0, 0, 0], "max": [1, 1, 1]}}]})") << "due ostacoli";
    QTest::newRow("no name") << QByteArray(R"({"version": 1, "obstacles": [{"box": {"min": [0, 0, 0], "max": [1, 1, 1]}}]})") << "nome";
    QTest::newRow("negative clearance") << QByteArray(R"({"version": 1, "clearance_mm": -1})") << "clearance_mm";
}

void TestClearance::file()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, says);
    const SurroundingsRead r = readSurroundings(json);
    if (says.isEmpty()) {
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.surroundings.obstacles.size(), 2);
        QCOMPARE(r.surroundings.clearanceMm, 20.0);
        const SurroundingsRead again = readSurroundings(surroundingsJson(r.surroundings));
        QVERIFY(again.ok());
        QCOMPARE(surroundingsJson(again.surroundings), surroundingsJson(r.surroundings));
        return;
    }
    QVERIFY(!r.ok());
    QVERIFY2(r.error.contains(says), qPrintable(r.error));
    QVERIFY(r.surroundings.obstacles.isEmpty());
}

QTEST_GUILESS_MAIN(TestClearance)
#include "tst_clearance.moc"

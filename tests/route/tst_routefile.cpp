// What a route may be: a radius turned into the spacing that keeps the polyline tangent to its
// circle, the bends a pipe refuses (each naming its bend), the file's faults, and a file that
// reads back as it was written.
#include "layout.h"
#include "route.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::route;

namespace {

constexpr double Deg = 3.14159265358979323846 / 180;

Route planar(double at, double angle, int joints, double spacing)
{
    Route r;
    Bend b;
    b.atMm = at;
    b.angleDeg = angle;
    b.joints = joints;
    b.spacingMm = spacing;
    r.bends << b;
    return r;
}

} // namespace

class TestRouteFile : public QObject
{
    Q_OBJECT

private slots:
    void radiusGivesTangentSpacing();
    void refusedRoutes_data();
    void refusedRoutes();
    void refusedFiles_data();
    void refusedFiles();
    void fileReadsBack();
};

void TestRouteFile::radiusGivesTangentSpacing()
{
    for (double angle : {10.0, 45.0, 90.0}) {
        Bend b;
        b.angleDeg = angle;
        b.joints = 3;
        b.radiusMm = 150;
        const double half = angle / 3 / 2 * Deg;
        QVERIFY(std::abs(b.spacing() / (2 * std::tan(half)) - 150) < 1e-9);
    }
}

// What a route may not be, each refused naming its bend.
void TestRouteFile::refusedRoutes_data()
{
    QTest::addColumn<double>("at");
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("joints");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<QString>("says");
    QTest::newRow("beyond the end") << 500.0 << 40.0 << 4 << 30.0 << "fuori dal tubo";
    QTest::newRow("at the port") << 0.0 << 20.0 << 1 << 10.0 << "fuori dal tubo";
    QTest::newRow("overlaps the next") << 400.0 << 40.0 << 4 << 40.0 << "sovrappongono";
    QTest::newRow("at a change of taper") << 150.0 << 20.0 << 1 << 10.0 << "conicit";
    QTest::newRow("turns too far") << 50.0 << 70.0 << 2 << 60.0 << "oltre i 30";
    QTest::newRow("cuts cross") << 50.0 << 60.0 << 3 << 10.0 << "saldatura";
}

void TestRouteFile::refusedRoutes()
{
    QFETCH(double, at);
    QFETCH(double, angle);
    QFETCH(int, joints);
    QFETCH(double, spacing);
    QFETCH(QString, says);
    Pipe pipe;
    pipe.sections << PipeSection(150, 40, 40) << PipeSection(380, 40, 110);
    Route r = planar(at, angle, joints, spacing);
    Bend next;
    next.atMm = 500;
    next.angleDeg = 10;
    next.spacingMm = 10;
    r.bends << next;
    const RouteLayout l = layRoute(pipe, r);
    QVERIFY(!l.ok());
    QVERIFY2(l.problem.contains(says), qPrintable(l.problem));
    QVERIFY(l.problem.contains(QStringLiteral("curva 1")));
    QVERIFY(l.pieces.isEmpty());
}

void TestRouteFile::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("says");
    const QByteArray start = R"("start": {"point": [0, 0, 0], "direction": [0, 0, -1], "up": [1, 0, 0]})";
    auto route = [&](const QByteArray &bend) {
        return "{\"version\": 1, " + start + ", \"bends\": [" + bend + "]}";
    };
    QTest::newRow("not json") << QByteArray("{\"version\": 1,") << "JSON";
    QTest::newRow("NaN") << route(R"({"at_mm": NaN, "angle_deg": 10, "joints": 1, "spacing_mm": 5})") << "JSON";
    QTest::newRow("version") << QByteArray("{\"version\": 2, " + start + "}") << "versione";
    QTest::newRow("unknown key") << route(R"({"at_mm": 10, "angle_deg": 10, "joints": 1, "spacing_mm": 5, "raggio": 3})") << "raggio";
    QTest::newRow("both radius and spacing") << route(R"({"at_mm": 10, "angle_deg": 10, "joints": 1, "spacing_mm": 5, "radius_mm": 5})") << "uno solo";
    QTest::newRow("neither") << route(R"({"at_mm": 10, "angle_deg": 10, "joints": 1})") << "uno solo";
    QTest::newRow("joints not whole") << route(R"({"at_mm": 10, "angle_deg": 10, "joints": 1.5, "spacing_mm": 5})") << "intero";
    QTest::newRow("angle a string") << route(R"({"at_mm": 10, "angle_deg": "10", "joints": 1, "spacing_mm": 5})") << "angle_deg";
    QTest::newRow("halves not true or false") << route(R"({"at_mm": 10, "angle_deg": 10, "joints": 1, "spacing_mm": 5, "halves": 1})") << "true o false";
    QTest::newRow("huge") << route(R"({"at_mm": 1e300, "angle_deg": 10, "joints": 1, "spacing_mm": 5})") << "at_mm";
    QTest::newRow("zero direction") << QByteArray(R"({"version": 1, "start": {"point": [0, 0, 0], "direction": [0, 0, 0], "up": [1, 0, 0]}})") << "zero";
    QTest::newRow("up along direction") << QByteArray(R"({"version": 1, "start": {"point": [0, 0, 0], "direction": [0, 0, -2], "up": [0, 0, 5]}})") << "parallelo";
    QTest::newRow("two numbers for a point") << QByteArray(R"({"version": 1, "start": {"point": [0, 0], "direction": [0, 0, -1], "up": [1, 0, 0]}})") << "terna";
}

void TestRouteFile::refusedFiles()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, says);
    const RouteRead r = readRoute(json);
    QVERIFY(!r.error.isEmpty());
    QVERIFY2(r.error.contains(says), qPrintable(r.error));
    QVERIFY(r.route.bends.isEmpty());
}

void TestRouteFile::fileReadsBack()
{
    const QByteArray json = R"({"version": 1,
     "start": {"point": [0, 0, 0], "direction": [0, 0, -1], "up": [1, 0, 0.5]},
     "bends": [{"at_mm": 120, "angle_deg": 60, "plane_deg": 0, "joints": 4, "radius_mm": 90,
                "halves": true},
               {"at_mm": 600, "angle_deg": 35, "plane_deg": 90, "joints": 3, "spacing_mm": 40}]})";
    const RouteRead first = readRoute(json);
    QVERIFY2(first.error.isEmpty(), qPrintable(first.error));
    QCOMPARE(first.route.bends.size(), 2);
    QVERIFY(norm(first.route.up - Vec3{1, 0, 0}) < 1e-12); // taken across the direction
    const RouteRead again = readRoute(routeJson(first.route));
    QVERIFY2(again.error.isEmpty(), qPrintable(again.error));
    QCOMPARE(routeJson(again.route), routeJson(first.route));
    QCOMPARE(*again.route.bends[0].radiusMm, 90.0);
    QCOMPARE(*again.route.bends[1].spacingMm, 40.0);
    QCOMPARE(again.route.bends[1].planeDeg, 90.0);
    QVERIFY(again.route.bends[0].halves && !again.route.bends[1].halves);
}

QTEST_GUILESS_MAIN(TestRouteFile)
#include "tst_routefile.moc"

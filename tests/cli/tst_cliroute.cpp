// The bent pipe on the command line: --route's parts and JSON, a route file without bends
// changing nothing, and every faulty route refused naming the bend, nothing written.
#include "clirun.h"
#include "testfiles.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>

using namespace velmorant;
using test::readAll;
using test::Run;
using test::runCli;

namespace {

// The default design's header is 164 mm long at 23 mm, its diffuser 220 mm to 46 mm.
const QByteArray Start =
    R"("start": {"point": [0, 0, 0], "direction": [0, 0, -1], "up": [1, 0, 0]})";

QByteArray routeWith(const QByteArray &bends)
{
    return "{\"version\": 1, " + Start + ", \"bends\": [" + bends + "]}";
}

QString written(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestCliRoute : public QObject
{
    Q_OBJECT

private slots:
    void bentPipeParts();
    void noBendsChangesNothing();
    void faultyRoutesWriteNothing_data();
    void faultyRoutesWriteNothing();
    void bodyAsStl();
    void clashesAreWarnings();
    void wavesFollowTheBends();
    void fitWritesARouteThatFits();
};

void TestCliRoute::bentPipeParts()
{
    QTemporaryDir dir;
    const QString route = written(dir, QStringLiteral("percorso.json"),
                                  routeWith(R"({"at_mm": 40, "angle_deg": 60, "joints": 3, "radius_mm": 60},
        {"at_mm": 450, "angle_deg": 35, "plane_deg": 90, "joints": 3, "spacing_mm": 40})"));
    const Run r = runCli({"--json", "--route", route, "--seam-side", "interno", "--cut-list",
                          dir.filePath(QStringLiteral("taglio.csv"))});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject w = QJsonDocument::fromJson(r.out).object()["workshop"].toObject();
    const QJsonObject routeJson = w["route"].toObject();
    const QJsonArray joints = routeJson["joints"].toArray();
    QCOMPARE(joints.size(), 6);
    QCOMPARE(joints[0].toObject()["at_mm"].toDouble(), 40.0);
    QCOMPARE(joints[0].toObject()["angle_deg"].toDouble(), 20.0);
    // The first joint lies 40 mm down the port's axis.
    const QJsonArray p0 = joints[0].toObject()["point"].toArray();
    QVERIFY(std::abs(p0[2].toDouble() + 40) < 1e-9 && std::abs(p0[0].toDouble()) < 1e-9);
    // Each section keeps its length along the centreline: together the pipe's.
    double centreline = 0;
    for (const QJsonValue &s : routeJson["sections"].toArray())
        centreline += s.toObject()["centreline_mm"].toDouble();
    const double total = QJsonDocument::fromJson(r.out).object()["results"].toObject()["LTOT"].toDouble();
    QVERIFY(std::abs(centreline - total) < 1e-6);
    const QJsonArray box = routeJson["bounding_box"].toObject()["min"].toArray();
    QCOMPARE(box.size(), 3);
    QStringList mitred;
    for (const QJsonValue &v : w["parts"].toArray()) {
        if (v.toObject()["kind"].toString() == QLatin1String("mitred"))
            mitred << v.toObject()["name"].toString();
    }
    QCOMPARE(mitred, QStringList({"1-1", "1-2", "1-3", "1-4", "3-1", "3-2", "3-3", "3-4"}));
    QVERIFY(QString::fromUtf8(readAll(dir.filePath(QStringLiteral("taglio.csv")))).contains(
        QStringLiteral("\"3-4\"")));
}

void TestCliRoute::noBendsChangesNothing()
{
    QTemporaryDir dir;
    const QString route = written(dir, QStringLiteral("diritto.json"), routeWith(""));
    const Run plain = runCli({"--json", "--cil", "250"});
    const Run routed = runCli({"--json", "--cil", "250", "--route", route});
    QCOMPARE(routed.exitCode, 0);
    QCOMPARE(routed.out, plain.out);
}

void TestCliRoute::faultyRoutesWriteNothing_data()
{
    QTest::addColumn<QByteArray>("route");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("says");
    QTest::newRow("beyond the end")
        << routeWith(R"({"at_mm": 1000, "angle_deg": 40, "joints": 4, "spacing_mm": 30})")
        << QStringList() << "curva 1, giunzione 2";
    QTest::newRow("on the header's end")
        << routeWith(R"({"at_mm": 164.0627166665236, "angle_deg": 20, "joints": 1, "spacing_mm": 5})")
        << QStringList() << "conicit";
    QTest::newRow("over the limit asked")
        << routeWith(R"({"at_mm": 40, "angle_deg": 40, "joints": 2, "spacing_mm": 40})")
        << QStringList{"--max-joint-deg", "15"} << "oltre i 15";
    QTest::newRow("overlapping")
        << routeWith(R"({"at_mm": 40, "angle_deg": 40, "joints": 2, "spacing_mm": 40},
                        {"at_mm": 60, "angle_deg": 10, "joints": 1, "spacing_mm": 5})")
        << QStringList() << "curva 2";
    QTest::newRow("unknown key") << QByteArray(R"({"version": 1, "strat": {}})") << QStringList()
                                 << "strat";
    QTest::newRow("not a file") << QByteArray() << QStringList() << "Impossibile leggere";
}

void TestCliRoute::faultyRoutesWriteNothing()
{
    QFETCH(QByteArray, route);
    QFETCH(QStringList, extra);
    QFETCH(QString, says);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("cartella"));
    if (route.isEmpty())
        QDir(dir.path()).mkdir(QStringLiteral("cartella"));
    else
        path = written(dir, QStringLiteral("percorso.json"), route);
    const QString patterns = dir.filePath(QStringLiteral("sagome.dxf"));
    const Run r = runCli(QStringList{"--route", path, "--patterns", patterns} + extra);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("--route")) && r.err.contains(says), qPrintable(r.err));
    QVERIFY(!QFile::exists(patterns));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), route.isEmpty() ? 0 : 1);
}

// The body as STL: bent or straight, a whole binary file; a failed write and a clash with
// another output each exit 1.
void TestCliRoute::bodyAsStl()
{
    QTemporaryDir dir;
    const QString route = written(dir, QStringLiteral("percorso.json"),
                                  routeWith(R"({"at_mm": 40, "angle_deg": 60, "joints": 3, "radius_mm": 60})"));
    const QString stl = dir.filePath(QStringLiteral("corpo.stl"));
    for (const QStringList &extra : {QStringList(), QStringList{"--route", route}}) {
        const Run r = runCli(QStringList{"--stl", stl, "--sheet", "1.5"} + extra);
        QCOMPARE(r.exitCode, 0);
        const QByteArray bytes = readAll(stl);
        QVERIFY(bytes.size() > 84);
        quint32 count = 0;
        std::memcpy(&count, bytes.constData() + 80, 4);
        QCOMPARE(qsizetype(84 + 50 * qFromLittleEndian(count)), bytes.size());
    }
    const Run full = runCli({"--stl", "/dev/full"});
    QCOMPARE(full.exitCode, 1);
    QVERIFY2(full.err.contains(QStringLiteral("--stl")) || full.err.contains(QStringLiteral("/dev/full")),
             qPrintable(full.err));
    const Run clash = runCli({"--stl", stl, "--cut-list", stl});
    QCOMPARE(clash.exitCode, 1);
    const Run alone = runCli({"--route", route});
    QCOMPARE(alone.exitCode, 1);
    QVERIFY2(alone.err.contains(QStringLiteral("--stl")), qPrintable(alone.err));
}

// A part of the bike nearer than the clearance is a warning naming it, the piece and the
// depth, on stderr and in the JSON, and the run still succeeds; the distances are the pipe's.
void TestCliRoute::clashesAreWarnings()
{
    QTemporaryDir dir;
    // The port leaves down -z at the origin, 23 mm inside, 1 mm sheet: 12.5 mm to the outside.
    const QString obstacles = written(dir, QStringLiteral("moto.json"), R"({"version": 1,
        "clearance_mm": 15, "obstacles": [
        {"name": "carter", "box": {"min": [-200, -100, -150], "max": [-20, 100, 50]}},
        {"name": "telaio", "box": {"min": [40, -100, -150], "max": [200, 100, 50]}}],
        "target": {"min": [-10, -10, -1100], "max": [10, 10, -900]}})");
    const Run r = runCli({"--json", "--obstacles", obstacles});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject route = QJsonDocument::fromJson(r.out).object()["workshop"].toObject()["route"].toObject();
    const QJsonArray distances = route["clearance"].toArray();
    QCOMPARE(distances.size(), 2);
    QVERIFY(std::abs(distances[0].toObject()["distance_mm"].toDouble() - 7.5) < 0.05);
    QVERIFY(std::abs(distances[1].toObject()["distance_mm"].toDouble() - 27.5) < 0.05);
    QCOMPARE(distances[0].toObject()["piece"].toString(), QStringLiteral("1"));
    QVERIFY(route["target"].toObject()["inside"].toBool());
    QVERIFY2(r.err.contains(QStringLiteral("ROUTE_CLEARANCE")) && r.err.contains(QStringLiteral("\"carter\"")) &&
                 r.err.contains(QStringLiteral("pezzo 1")) && !r.err.contains(QStringLiteral("telaio")),
             qPrintable(r.err));
    const QString faulty = written(dir, QStringLiteral("rotto.json"), R"({"version": 1, "obstacles": [{"name": "x"}]})");
    const Run bad = runCli({"--json", "--obstacles", faulty});
    QCOMPARE(bad.exitCode, 1);
    QVERIFY2(bad.err.contains(QStringLiteral("--obstacles")), qPrintable(bad.err));
}

// The wave model on the bent pipe: the joints' losses scaled to 0 give the straight pipe's
// figures exactly; with them the pipe delivers less at the design speed.
void TestCliRoute::wavesFollowTheBends()
{
    QTemporaryDir dir;
    const QString route = written(dir, QStringLiteral("percorso.json"),
                                  routeWith(R"({"at_mm": 40, "angle_deg": 60, "joints": 3, "radius_mm": 60})"));
    const QStringList waves{"--json", "--waves", "--rpm-range", "9000:9000:1", "--cell", "10"};
    const Run straight = runCli(waves);
    const Run none = runCli(waves + QStringList{"--route", route, "--bend-losses", "0"});
    const Run bent = runCli(waves + QStringList{"--route", route});
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(bent.exitCode, 0);
    auto speed = [](const Run &r) {
        return QJsonDocument::fromJson(r.out).object()["waves"].toObject()["speeds"].toArray()[0].toObject();
    };
    QCOMPARE(speed(none), speed(straight));
    QVERIFY(speed(bent)["delivery_ratio"].toDouble() < speed(straight)["delivery_ratio"].toDouble());
    const Run refused = runCli(waves + QStringList{"--bend-losses", "1"});
    QCOMPARE(refused.exitCode, 1);
}

// --fit finds the bends, says so, and --write-route writes them; read back with --route they
// give the same parts, clear of the bike and ending in the target.
void TestCliRoute::fitWritesARouteThatFits()
{
    QTemporaryDir dir;
    const QString bike = written(dir, QStringLiteral("moto.json"), R"({"version": 1,
        "clearance_mm": 15, "obstacles": [
        {"name": "motore", "box": {"min": [-250, -120, -300], "max": [-30, 120, 80]}}],
        "target": {"min": [250, -150, -900], "max": [450, 150, -700]}})");
    const QString found = dir.filePath(QStringLiteral("trovato.json"));
    const Run fit = runCli({"--json", "--obstacles", bike, "--fit", "--fit-bends", "3",
                            "--write-route", found});
    QCOMPARE(fit.exitCode, 0);
    QVERIFY2(fit.err.contains(QStringLiteral("Percorso trovato")), qPrintable(fit.err));
    const Run again = runCli({"--json", "--obstacles", bike, "--route", found});
    QCOMPARE(again.exitCode, 0);
    const QJsonObject route = QJsonDocument::fromJson(again.out).object()["workshop"].toObject()["route"].toObject();
    QVERIFY(route["target"].toObject()["inside"].toBool());
    QVERIFY(route["clearance"].toArray()[0].toObject()["distance_mm"].toDouble() >= 15);
    QVERIFY(!again.err.contains(QStringLiteral("ROUTE_")));
    QCOMPARE(runCli({"--fit", "--json"}).exitCode, 1); // no bike to fit
}

QTEST_GUILESS_MAIN(TestCliRoute)
#include "tst_cliroute.moc"

// The ports typed by their geometry on the command line: the same engine from --ports and from
// the area table it wrote gives the same figures, the time-areas are in the JSON, and every
// faulty request is refused naming what is wrong, nothing written.
#include "clirun.h"
#include "testfiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmorant;
using test::readAll;
using test::Run;
using test::runCli;

namespace {

const QByteArray Ports = R"({"version": 1,
  "exhaust": {"opens_deg": 94, "width_mm": 38, "top_radius_mm": 5, "bottom_radius_mm": 3,
              "aux": [{"opens_deg": 96, "width_mm": 12, "top_radius_mm": 3, "count": 2}]},
  "transfers": [{"name": "A", "opens_deg": 117, "width_mm": 18, "top_radius_mm": 2, "count": 2,
                 "angle_deg": 15},
                {"name": "B", "opens_deg": 118, "width_mm": 15, "top_radius_mm": 2, "count": 2}],
  "intake": {"piston": {"opens_deg": 75, "width_mm": 40, "radius_mm": 4}}})";

// A 125 of 54 x 54.5 at one speed.
QStringList engine()
{
    return {"--cil", "124.82", "--bore", "54", "--stroke", "54.5", "--waves", "--json",
            "--rpm-range", "11000:11000:1"};
}

} // namespace

class TestCliPorts : public QObject
{
    Q_OBJECT

private slots:
    void routesMeet();
    void reedInTheJson();
    void reedStopsTheBackflow();
    void refused_data();
    void refused();
};

void TestCliPorts::routesMeet()
{
    QTemporaryDir dir;
    const QString ports = dir.filePath("luci.json"), table = dir.filePath("aree.csv");
    QVERIFY(test::writeBytes(ports, Ports));
    const Run typed = runCli(engine() + QStringList{"--ports", ports, "--port-areas-out", table});
    QVERIFY2(typed.exitCode == 0, qPrintable(typed.err));
    // The ports gave the design its durations, and said so: the table's run takes them.
    QVERIFY2(typed.err.contains(QRegularExpression("scarico 172[.,]00\u00b0, travasi 126[.,]00\u00b0")),
             qPrintable(typed.err));
    const Run read =
        runCli(engine() + QStringList{"--port-areas", table, "--sc", "172", "--asp", "126"});
    QVERIFY2(read.exitCode == 0, qPrintable(read.err));
    const QJsonObject a = QJsonDocument::fromJson(typed.out).object();
    const QJsonObject b = QJsonDocument::fromJson(read.out).object();
    // Every figure the same; the opening the table knows only to its rows (94.1 here), the
    // geometry exactly.
    QJsonObject typedSpeed = a["waves"]["speeds"][0].toObject();
    QJsonObject readSpeed = b["waves"]["speeds"][0].toObject();
    QVERIFY(!typedSpeed.isEmpty());
    QCOMPARE(typedSpeed.take("exhaust_opens_deg").toDouble(), 94.0);
    QVERIFY(typedSpeed.take("sta").isObject());
    QVERIFY(std::abs(readSpeed.take("exhaust_opens_deg").toDouble() - 94) < 1);
    QCOMPARE(typedSpeed, readSpeed);
    QVERIFY(!b.contains("ports"));
    // The time-areas at the design speed: blowdown a small part of the exhaust's, each group's
    // value its angle-area over 6 N and the swept volume.
    const QJsonObject sta = a["ports"]["sta"].toObject();
    for (const char *group : {"exhaust", "blowdown", "transfer", "intake"}) {
        const QJsonObject g = sta[group].toObject();
        const double expected = g["angle_area_deg_mm2"].toDouble() /
                                (6 * a["ports"]["rpm"].toDouble()) /
                                a["ports"]["swept_cm3"].toDouble();
        QVERIFY2(g["value"].toDouble() > 0 &&
                     std::abs(g["value"].toDouble() / expected - 1) < 1e-12,
                 group);
    }
    QVERIFY(sta["blowdown"]["value"].toDouble() < 0.1 * sta["exhaust"]["value"].toDouble());
    // Each speed's own, the same angle-areas over its speed: at 11,000 rpm the design's
    // (10,000 rpm) times 10/11.
    const QJsonObject speed = a["waves"]["speeds"][0]["sta"].toObject();
    QVERIFY(std::abs(speed["exhaust"].toDouble() / sta["exhaust"]["value"].toDouble() -
                     10000.0 / 11000.0) < 1e-12);
    QCOMPARE(a["ports"]["exhaust_opens_deg"].toDouble(), 94.0);
}

// A reed block of four carbon petals, 30 x 20 x 0.4 mm: its first mode from beam theory,
// 1.8751²/(2 pi) (t/L²) sqrt(E/(12 rho)), and the tip's lift at 1 kPa, the one-mode petal's,
// within 1.5 % of the beam's 1.5 dp L^4/(E t³).
void TestCliPorts::reedInTheJson()
{
    QTemporaryDir dir;
    const QString ports = dir.filePath("lamelle.json");
    QByteArray file = Ports;
    file.replace(R"({"piston": {"opens_deg": 75, "width_mm": 40, "radius_mm": 4}})",
                 R"({"reed": {"petals": 4, "length_mm": 30, "width_mm": 20, "thickness_mm": 0.4,
                    "youngs_gpa": 50, "density_kg_m3": 1550, "damping": 0.05, "stop_mm": 8,
                    "port_area_mm2": 900, "angle_deg": 30}})");
    QVERIFY(file.contains("reed"));
    QVERIFY(test::writeBytes(ports, file));
    const Run r = runCli(engine() + QStringList{"--ports", ports});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QJsonObject reed = QJsonDocument::fromJson(r.out)["ports"]["reed"].toObject();
    const double l = 0.03, t = 0.4e-3, e = 50e9, rho = 1550;
    const double hertz = 1.8751 * 1.8751 / (2 * 3.14159265358979) * t / (l * l) * std::sqrt(e / (12 * rho));
    QVERIFY(std::abs(reed["natural_frequency_hz"].toDouble() / hertz - 1) < 1e-4);
    const double beam = 1.5 * 1000 * std::pow(l, 4) / (e * t * t * t) * 1000;
    QVERIFY(std::abs(reed["tip_lift_mm_at_1kpa"].toDouble() / beam - 1) < 0.015);
    QVERIFY(!QJsonDocument::fromJson(r.out)["ports"]["sta"].toObject().contains("intake"));
}

// The race 125 of the cases on its pipe, its reed block against a piston port: the reed shuts
// as the crankcase's pressure rises over the intake's, so nothing goes back out and more is
// delivered; the piston port lets the rising piston push charge back out, the more so the
// slower the engine turns and the longer it takes to close.
void TestCliPorts::reedStopsTheBackflow()
{
    QTemporaryDir dir;
    const QString race = QStringLiteral(VELMORANT_CASES "/race125/");
    QByteArray file = test::readAll(race + "ports.json");
    const int intake = int(file.indexOf("\"intake\""));
    QVERIFY(intake > 0 && file.indexOf("\"reed\"") > intake);
    const QString piston = dir.filePath("pistone.json");
    QVERIFY(test::writeBytes(
        piston, file.left(intake) +
                    R"("intake": {"piston": {"opens_deg": 75, "width_mm": 40, "radius_mm": 4}}})"));
    QList<QJsonArray> speeds;
    for (const QString &ports : {race + "ports.json", piston}) {
        const Run r = runCli({"--json", "--waves", "--cil", "124.82", "--rpm", "11500", "--bore",
                              "54", "--stroke", "54.5", "--con-rod", "2.0183", "--compression",
                              "12", "--crankcase-ratio", "1.35", "--ports", ports, "--pipe",
                              race + "pipe.csv", "--rpm-range", "8000:12000:4000", "--cell", "20"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        speeds << QJsonDocument::fromJson(r.out)["waves"]["speeds"].toArray();
        QCOMPARE(speeds.last().size(), 2);
    }
    for (int k = 0; k < 2; ++k) {
        const QJsonObject reed = speeds[0][k].toObject(), port = speeds[1][k].toObject();
        QCOMPARE(reed["intake_backflow_ratio"].toDouble(), 0.0);
        QVERIFY2(port["intake_backflow_ratio"].toDouble() > 0.02,
                 qPrintable(QString::number(port["intake_backflow_ratio"].toDouble())));
        QVERIFY(reed["delivery_ratio"].toDouble() > port["delivery_ratio"].toDouble() + 0.05);
    }
    QVERIFY(speeds[1][0].toObject()["intake_backflow_ratio"].toDouble() >
            2 * speeds[1][1].toObject()["intake_backflow_ratio"].toDouble());
}

void TestCliPorts::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("says");
    QTest::newRow("two ways to give the ports") << Ports << QStringList{"--port-areas", "x.csv"}
                                                << 1 << "uno solo";
    QTest::newRow("a radius too large")
        << QByteArray(Ports).replace("\"top_radius_mm\": 5", "\"top_radius_mm\": 25")
        << QStringList() << 1 << "scarico";
    QTest::newRow("wider than the bore")
        << QByteArray(Ports).replace("\"width_mm\": 38", "\"width_mm\": 58") << QStringList()
        << 3 << "alesaggio";
    QTest::newRow("the table written over the ports") << Ports
                                                      << QStringList{"--port-areas-out", "@"}
                                                      << 1 << "--port-areas-out";
}

void TestCliPorts::refused()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, extra);
    QFETCH(int, exit);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString ports = dir.filePath("luci.json"), curves = dir.filePath("curve.csv");
    QVERIFY(test::writeBytes(ports, file));
    extra.replaceInStrings(QStringLiteral("@"), ports);
    const Run r = runCli(engine() + QStringList{"--ports", ports, "--curves", curves} + extra);
    QCOMPARE(r.exitCode, exit);
    QVERIFY2(r.err.contains(says), qPrintable(r.err));
    QVERIFY(!QFile::exists(curves));
    QCOMPARE(readAll(ports), file);
    // Without --ports the table has nothing to write.
    const Run alone = runCli({"--waves", "--port-areas-out", dir.filePath("aree.csv")});
    QCOMPARE(alone.exitCode, 1);
    QVERIFY(alone.err.contains("--ports"));
}

QTEST_GUILESS_MAIN(TestCliPorts)
#include "tst_cliports.moc"

// The engine's gas paths on the command line: the QUB400 case run as its network from the
// project's own files, each volume's pressure in the traces and the JSON, and every faulty
// system refused naming the element, nothing written.
#include "chamber.h"
#include "clirun.h"
#include "portstudy.h"
#include "project.h"
#include "testfiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmorant;
using test::readAll;
using test::Run;
using test::runCli;
using test::runJson;

namespace {

const QString Case = QStringLiteral(VELMORANT_CASES "/qub400/");

QStringList qub400()
{
    return {"--waves", "--json", "--cil", "397.22", "--bore", "85", "--stroke", "70",
            "--con-rod", "1.7857", "--compression", "10.15", "--crankcase-ratio", "1.45",
            "--port-areas", Case + "ports.csv", "--wiebe-a", "5.25", "--wiebe-m", "1.1",
            "--burn-duration", "60", "--ignition", "9", "--air-fuel", "16.5",
            "--heat-transfer", "0.343", "--wall-temperature", "200", "--ambient-pressure",
            "1.0133", "--ambient-temperature", "25", "--scavenging", "uniflow",
            "--rpm-range", "3000:3000:1", "--intake-system", Case + "intake.json",
            "--transfer-duct", "90:35.0428:40.716"};
}

} // namespace

class TestCliSystems : public QObject
{
    Q_OBJECT

private slots:
    void qub400AsItsNetwork();
    void projectPathsReachTheRun();
    void faultySystemsWriteNothing_data();
    void faultySystemsWriteNothing();
};

// The box holds the exhaust a little above the air and passes on what the port gives it; the
// traces carry its pressure and temperature under its place in the file.
void TestCliSystems::qub400AsItsNetwork()
{
    QTemporaryDir dir;
    const QString traces = dir.filePath("tracce.csv");
    const Run r = runCli(qub400() + QStringList{"--exhaust-system", Case + "exhaust.json",
                                                "--traces", traces});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QJsonObject speed =
        QJsonDocument::fromJson(r.out)["waves"]["speeds"].toArray()[0].toObject();
    const QJsonArray volumes = speed["volumes"].toArray();
    QCOMPARE(volumes.size(), 1);
    const QJsonObject box = volumes[0].toObject();
    QCOMPARE(box["element"].toInt(), 2);
    QCOMPARE(box["system"].toString(), QStringLiteral("scarico"));
    const double ambient = 1.0133;
    QVERIFY(box["p_mean_bar"].toDouble() > ambient && box["p_mean_bar"].toDouble() < ambient + 0.2);
    QVERIFY(box["p_min_bar"].toDouble() < box["p_max_bar"].toDouble());
    QVERIFY(speed["power_kw"].toDouble() > 3 && speed["power_kw"].toDouble() < 15);
    QVERIFY(speed["delivery_ratio"].toDouble() > 0.5 && speed["delivery_ratio"].toDouble() < 1.2);
    const QByteArray csv = readAll(traces);
    QVERIFY(csv.startsWith("rpm,angle_deg,station_mm,p_bar,t_c,u_m_s,p_cyl_bar,scarico_2_p_bar,"
                           "scarico_2_t_c\n"));
    QCOMPARE(csv.count('\n'), 1 + 720);
}

// A project of the workshop window runs on the command line as it runs in the window: its
// exhaust system (its pipe standing for the system's first), its transfer duct, its gas and its
// ports by geometry; an option given goes over the project's.
void TestCliSystems::projectPathsReachTheRun()
{
    QTemporaryDir tmp;
    const QLocale c = QLocale::c();
    Project p = newProject(WorkshopOptions(), c);
    p.workshop.parameters[0] = QStringLiteral("125");
    const waves::GasPathRead box = waves::readGasPath(R"({"version": 1, "elements": [
        {"pipe": [[0, 30], [100, 30]], "wall_c": 300},
        {"volume_l": 2, "wall_c": null, "cd_in": 1, "cd_out": 1},
        {"pipe": [[0, 25], [150, 25]], "wall_c": null}]})",
                                                     {});
    QVERIFY2(box.ok(), qPrintable(box.error));
    p.waves.paths.exhaust = waves::PathFile{QStringLiteral("silenziatore.json"), box.path};
    p.waves.paths.transferDuct = waves::WaveOptions::TransferDuct{80, 30, 34};
    p.waves.paths.variableGas = false;
    const waves::PortGeometryRead ports = waves::readPortGeometry(
        test::readAll(QStringLiteral(VELMORANT_CASES "/race125/ports.json")));
    QVERIFY2(ports.ok(), qPrintable(ports.error));
    p.waves.paths.ports = waves::PortsFile{QStringLiteral("luci.json"), ports.ports};
    p.engine.bore = 54;
    p.engine.stroke = 54.5;
    const QString path = tmp.filePath("officina.vlo");
    QVERIFY(test::writeBytes(path, projectJson(p, c)));
    const QStringList run{path, "--waves", "--rpm-range", "11000:11000:1", "--cell", "20"};
    const QJsonObject j = runJson(run);
    const QJsonObject speed = j["waves"]["speeds"].toArray()[0].toObject();

    // The window's run: the project's pipe, its paths in the options, the ports put on.
    DesignParameters d = defaultParameters();
    d[Field::Cil] = 125;
    waves::EngineInputs e = waves::onDesign(p.engine, d);
    waves::WaveOptions o;
    o.cellMm = 20;
    o.exhaustPath = box.path;
    o.transferDuct = p.waves.paths.transferDuct;
    o.variableGas = false;
    QVERIFY(!waves::putPorts(ports.ports, QStringLiteral("luci.json"), e, o, d[Field::Rpm]));
    const waves::SpeedResult alone =
        waves::simulateSpeed(firstSizingPipe(evaluateChamber(d).dimensions), e, o, 11000);
    QCOMPARE(speed["charging_efficiency"].toDouble(), alone.chargingEfficiency);
    QCOMPARE(speed["volumes"].toArray().size(), 1);
    QCOMPARE(j["ports"]["file"].toString(), QStringLiteral("luci.json"));
    // The design keeps its own durations, as the window's does.
    QCOMPARE(j["parameters"]["SC"].toDouble(), d[Field::Sc]);

    // The gas asked for goes over the project's.
    const QJsonObject variable = runJson(run + QStringList{"--gas", "variabile"});
    o.variableGas = true;
    const waves::SpeedResult hot =
        waves::simulateSpeed(firstSizingPipe(evaluateChamber(d).dimensions), e, o, 11000);
    QCOMPARE(variable["waves"]["speeds"].toArray()[0].toObject()["charging_efficiency"].toDouble(),
             hot.chargingEfficiency);
}

void TestCliSystems::faultySystemsWriteNothing_data()
{
    QTest::addColumn<QByteArray>("system");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("says");
    const QByteArray pipe = R"({"pipe": [[0, 38], [200, 38]]})";
    auto system = [](const QByteArray &elements) {
        return R"({"version": 1, "elements": [)" + elements + "]}";
    };
    QTest::newRow("a volume of nothing")
        << system(pipe + R"(, {"volume_l": 0}, )" + pipe) << QStringList() << "elemento 2";
    QTest::newRow("ends in a volume")
        << system(pipe + R"(, {"volume_l": 2})") << QStringList() << "aperto";
    QTest::newRow("a pipe file that is not there")
        << system(R"({"pipe": "manca.csv"})") << QStringList() << "manca.csv";
    QTest::newRow("too hot") << system(R"({"pipe": [[0, 38], [200, 38]], "wall_c": 1500})")
                             << QStringList() << "1200";
    QTest::newRow("two intakes") << system(pipe)
                                 << QStringList{"--intake-pipe", Case + "exhaust-as-tube.csv",
                                                "--intake-system", Case + "intake.json"}
                                 << "uno solo";
    QTest::newRow("a duct of no length") << system(pipe)
                                         << QStringList{"--transfer-duct", "0:30:30"}
                                         << "--transfer-duct";
    QTest::newRow("a gas it does not know") << system(pipe) << QStringList{"--gas", "ideale"}
                                            << "--gas";
}

void TestCliSystems::faultySystemsWriteNothing()
{
    QFETCH(QByteArray, system);
    QFETCH(QStringList, extra);
    QFETCH(QString, says);
    QTemporaryDir dir;
    const QString file = dir.filePath("sistema.json");
    QVERIFY(test::writeBytes(file, system));
    const QString curves = dir.filePath("curve.csv");
    QStringList args = qub400();
    args.removeAll(QStringLiteral("--intake-system"));
    args.removeAll(Case + "intake.json");
    const Run r = runCli(args + QStringList{"--exhaust-system", file, "--curves", curves} + extra);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(says), qPrintable(r.err));
    QVERIFY(!QFile::exists(curves));
    // Without the waves the systems are asked of nothing.
    const Run alone = runCli({"--exhaust-system", file});
    QCOMPARE(alone.exitCode, 1);
}

QTEST_GUILESS_MAIN(TestCliSystems)
#include "tst_clisystems.moc"

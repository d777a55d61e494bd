// Drives the built velmorant-cli for the pipe on the running engine: the band, the waves in its
// JSON and traces against the model's own run, a project as the starting point, the search.
#include "chamber.h"
#include "cycle.h"
#include "pipechoice.h"
#include "pipecsv.h"
#include "pipesearch.h"
#include "project.h"
#include "clirun.h"
#include "designfile.h"
#include "exact.h"
#include "failingdisk.h"
#include "sketch/sketch.h"
#include "testfiles.h"
#include "validation.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <unistd.h>

using namespace velmorant;
using test::readAll;

using test::Run;
using test::runCli;
using test::runJson;

class TestCliWaves : public QObject
{
    Q_OBJECT

private slots:
    void bandAndPipe_data();
    void bandAndPipe();
    void wavesInJsonAndTraces();
    void projectAsStartingPoint();
    void optimizeFindsAndWritesThePipe();
};

void TestCliWaves::bandAndPipe_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<double>("rpm");
    QTest::addColumn<double>("width");
    QTest::newRow("defaults") << QStringList{"--band"} << 10000.0 << 10.0;
    QTest::newRow("15 degrees at 8000")
        << QStringList{"--band", "15", "--rpm", "8000"} << 8000.0 << 15.0;
    QTest::newRow("three stages, same waves")
        << QStringList{"--band", "--stages", "3", "--horn", "1.5"} << 10000.0 << 10.0;
}

void TestCliWaves::bandAndPipe()
{
    QFETCH(QStringList, args);
    QFETCH(double, rpm);
    QFETCH(double, width);
    const QJsonObject j = runJson(args);
    // The band's closed form, from the port timing: N (1 +- 2w / (SC + ASP)).
    const double sc = j["parameters"]["SC"].toDouble(), asp = j["parameters"]["ASP"].toDouble();
    const QJsonObject band = j["band"].toObject();
    QVERIFY(std::abs(band["tuned_rpm"].toDouble() - rpm) < 1e-6);
    QVERIFY(std::abs(band["low_rpm"].toDouble() - rpm * (1 - 2 * width / (sc + asp))) < 1e-6);
    QVERIFY(std::abs(band["high_rpm"].toDouble() - rpm * (1 + 2 * width / (sc + asp))) < 1e-6);
    QCOMPARE(band["width_deg"].toDouble(), width);
    // The pipe: sections that meet, as long as the sizing's five segments.
    const QJsonArray sections = j["pipe"]["sections"].toArray();
    double length = 0, d = sections[0]["d_in"].toDouble();
    for (const QJsonValue &s : sections) {
        QVERIFY(std::abs(s["d_in"].toDouble() - d) < 1e-9);
        d = s["d_out"].toDouble();
        length += s["length"].toDouble();
    }
    const QJsonObject r = j["results"].toObject();
    QVERIFY(std::abs(length - (r["L1"].toDouble() + r["L2"].toDouble() + r["L3"].toDouble() +
                               r["L4"].toDouble() + r["L5"].toDouble())) < 1e-9);

    // The same pipe measured: its stations as CSV give the same band back (the reverse
    // question), and the table says it.
    QTemporaryDir dir;
    QByteArray csv = "x_mm,d_mm\n";
    double x = 0;
    csv += "0," + QByteArray::number(sections[0]["d_in"].toDouble(), 'g', 17) + "\n";
    for (const QJsonValue &s : sections) {
        x += s["length"].toDouble();
        csv += QByteArray::number(x, 'g', 17) + "," +
               QByteArray::number(s["d_out"].toDouble(), 'g', 17) + "\n";
    }
    QVERIFY(test::writeBytes(dir.filePath("banco.csv"), csv));
    // (Its stages are in the file: the measured pipe is not cut again.)
    const QStringList measured{"--band", QString::number(width),   "--rpm", QString::number(rpm),
                               "--pipe", dir.filePath("banco.csv")};
    const QJsonObject m = runJson(measured);
    QVERIFY(std::abs(m["band"]["tuned_rpm"].toDouble() - rpm) < 1e-6);
    QCOMPARE(m["pipe"]["method"].toString(), "misurato");
    // The parts are the measured pipe's: a development per section, as long as the section.
    const QJsonArray patterns = m["patterns"].toArray();
    QCOMPARE(patterns.size(), sections.size());
    for (int i = 0; i < sections.size(); ++i)
        QVERIFY(std::abs(patterns[i]["length"].toDouble() - sections[i]["length"].toDouble()) <
                1e-6);
    const Run table = runCli(measured.mid(0, measured.size()));
    QVERIFY2(table.out.contains("Regime accordato " + QByteArray::number(qRound64(rpm))),
             table.out.constData());
}

void TestCliWaves::wavesInJsonAndTraces()
{
    QTemporaryDir tmp;
    const QString traces = tmp.filePath("tracce.csv");
    const Run r = runCli({"--json", "--waves", "--rpm-range", "9000:11000:1000", "--probe", "300",
                          "--cell", "10", "--traces", traces, "--method", "blair2"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err)); // no progress on a pipe
    const QJsonObject root = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(root["pipe"].toObject()["method"].toString(), "blair2");
    const QJsonArray speeds = root["waves"].toObject()["speeds"].toArray();
    QCOMPARE(speeds.size(), 3);
    for (int k = 0; k < speeds.size(); ++k) {
        const QJsonObject s = speeds[k].toObject();
        QCOMPARE(s["rpm"].toDouble(), 9000.0 + 1000 * k);
        QVERIFY(s["periodic"].toBool() && s["cycles"].toInt() <= 40);
        QVERIFY(std::abs(s["port_mass_kg"].toDouble() / s["end_mass_kg"].toDouble() - 1) < 0.005);
        QVERIFY(std::abs(s["charging_efficiency"].toDouble() /
                             (s["delivery_ratio"].toDouble() * s["trapping_efficiency"].toDouble()) -
                         1) < 0.01);
    }
    // Every speed, every half degree, at the port and the probe.
    const QList<QByteArray> lines = readAll(traces).trimmed().split('\n');
    QCOMPARE(lines.size(), 1 + 3 * 720 * 2);
    QCOMPARE(lines[0], QByteArray("rpm,angle_deg,station_mm,p_bar,t_c,u_m_s,p_cyl_bar"));
    QVERIFY(lines[2].startsWith("9000,0.0,300,"));

    // Each figure under its own name: the model run here on the same pipe and engine gives the
    // same numbers (a field written under another's name would not match).
    PipeChoice blair;
    blair.method = QStringLiteral("blair2");
    const DesignParameters p = defaultParameters();
    const Pipe pipe = buildPipe(blair, p, computeChamber(p)).pipe;
    waves::WaveOptions o;
    o.probes = {300};
    o.variableGas = true; // the command line's default
    for (int k = 0; k < speeds.size(); ++k) {
        const waves::SpeedResult mine =
            waves::simulateSpeed(pipe, waves::onDesign(waves::EngineInputs(), p), o, 9000 + 1000 * k);
        const QJsonObject s = speeds[k].toObject();
        const std::pair<const char *, double> fields[] = {
            {"delivery_ratio", mine.deliveryRatio},
            {"trapping_efficiency", mine.trappingEfficiency},
            {"charging_efficiency", mine.chargingEfficiency},
            {"port_mass_kg", mine.portMass},
            {"end_mass_kg", mine.endMass},
            {"suction_bar", mine.suction},
            {"plug_bar", mine.plug}};
        for (const auto &[name, value] : fields)
            QVERIFY2(s[QLatin1String(name)].toDouble() == value,
                     qPrintable(QStringLiteral("%1: %2 for %3").arg(name).arg(s[QLatin1String(name)].toDouble()).arg(value)));
        QCOMPARE(s["cycles"].toInt(), mine.cycles);
    }
}

// A project of the workshop window is the command line's starting point: its design, sheet,
// pipe (the measured one from its own stations), engine, speeds and probe; options go over it.
void TestCliWaves::projectAsStartingPoint()
{
    QTemporaryDir tmp;
    const QLocale it(QStringLiteral("it_IT"));
    Project p = newProject(WorkshopOptions(), it);
    p.workshop.parameters[0] = QStringLiteral("125");
    p.workshop.numbers[0] = QStringLiteral("1,5"); // sheet
    p.workshop.numbers[1] = QStringLiteral("8");   // seam
    p.workshop.pipe.method = QStringLiteral("blair2");
    p.engine.compressionRatio = 13;
    p.waves.from = QStringLiteral("9.000");
    p.waves.to = QStringLiteral("11.000");
    p.waves.step = QStringLiteral("1.000");
    p.waves.probe = QStringLiteral("300");
    const QString path = tmp.filePath("officina.vlo");
    QVERIFY(test::writeBytes(path, projectJson(p, it)));
    const QJsonObject j = runJson({path, "--waves", "--cell", "20"});
    QCOMPARE(j["parameters"]["CIL"].toDouble(), 125.0);
    QCOMPARE(j["workshop"]["sheetThickness"].toDouble(), 1.5);
    QCOMPARE(j["workshop"]["seamAllowance"].toDouble(), 8.0);
    QCOMPARE(j["pipe"]["method"].toString(), "blair2");
    const QJsonArray speeds = j["waves"]["speeds"].toArray();
    QCOMPARE(speeds.size(), 3);
    QCOMPARE(speeds[0]["rpm"].toDouble(), 9000.0);
    // The project's engine reached the model: the same figures as the model's own run.
    PipeChoice blair;
    blair.method = QStringLiteral("blair2");
    DesignParameters d = defaultParameters();
    d[Field::Cil] = 125;
    waves::EngineInputs e = waves::onDesign(waves::EngineInputs(), d);
    e.compressionRatio = 13;
    waves::WaveOptions o;
    o.cellMm = 20;
    o.probes = {300};
    o.variableGas = true; // the command line's default
    const waves::SpeedResult mine =
        waves::simulateSpeed(buildPipe(blair, d, computeChamber(d)).pipe, e, o, 9000);
    QCOMPARE(speeds[0]["delivery_ratio"].toDouble(), mine.deliveryRatio);
    // Its port-area table and intake pipe too, their files long gone.
    engine::PortAreasRead ports = engine::readPortAreas(
        "angle_deg,exhaust_mm2,transfer_mm2\n0,0,0\n90,0,0\n180,400,300\n270,0,0\n");
    ports.table.source = tmp.filePath("luci-sparite.csv");
    p.engine.portAreas = ports.table;
    p.waves.intakePipe = MeasuredPipe{tmp.filePath("aspirazione-sparita.csv"),
                                      readPipeCsv("x_mm,d_mm\n0,28\n250,28\n").pipe};
    QVERIFY(test::writeBytes(path, projectJson(p, it)));
    const QJsonObject breathing = runJson({path, "--waves", "--cell", "20", "--rpm-range",
                                           "9000:9000:1"});
    e.portAreas = ports.table;
    o.intakePipe = p.waves.intakePipe->pipe;
    const waves::SpeedResult both =
        waves::simulateSpeed(buildPipe(blair, d, computeChamber(d)).pipe, e, o, 9000);
    QCOMPARE(breathing["waves"]["speeds"][0]["delivery_ratio"].toDouble(), both.deliveryRatio);
    QVERIFY(both.deliveryRatio != mine.deliveryRatio);
    p.engine.portAreas.reset();
    p.waves.intakePipe.reset();
    // Options given go over the project's.
    const QJsonObject over = runJson({path, "--cil", "150", "--sheet", "2", "--method", "own"});
    QCOMPARE(over["parameters"]["CIL"].toDouble(), 150.0);
    QCOMPARE(over["workshop"]["sheetThickness"].toDouble(), 2.0);
    QCOMPARE(over["workshop"]["seamAllowance"].toDouble(), 8.0);
    // A measured pipe from the project's own stations, its file long gone.
    p.workshop.pipe.method = QLatin1String(MeasuredMethod);
    p.workshop.pipe.pipeFile = tmp.filePath("sparito.csv");
    p.workshop.pipe.measured = MeasuredPipe{p.workshop.pipe.pipeFile,
                                            readPipeCsv("x_mm,d_mm\n0,38\n300,38\n600,90\n"
                                                        "900,90\n1000,30\n1200,30\n")
                                                .pipe};
    QVERIFY(test::writeBytes(path, projectJson(p, it)));
    const QJsonObject measured = runJson({path, "--band"});
    QCOMPARE(measured["pipe"]["method"].toString(), "misurato");
    QCOMPARE(measured["pipe"]["length"].toDouble(), 1200.0);
    // A project of a newer format: refused, saying so.
    QByteArray newer = projectJson(p, it);
    newer.replace(QByteArray("\"version\": ") + QByteArray::number(ProjectFormat), "\"version\": 7");
    QVERIFY(test::writeBytes(path, newer));
    const Run r = runCli({path});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("nel formato 7, pi\u00f9 recente"), qPrintable(r.err));
}

// The search from the command line: both pipes and their power over the band in the JSON, the
// best no worse than the start and the pipe the rest of the run uses; its CSV read back by
// --pipe gives the figures reported.
void TestCliWaves::optimizeFindsAndWritesThePipe()
{
    QTemporaryDir tmp;
    const QString best = tmp.filePath("migliore.csv");
    const QJsonObject j = runJson({"--optimize", "9500:10500", "--evaluations", "12",
                                   "--write-pipe", best, "--objective", "media"});
    const QJsonObject opt = j["optimize"].toObject();
    QCOMPARE(opt["objective"].toString(), "media");
    QCOMPARE(opt["evaluations"].toInt(), 12);
    QCOMPARE(opt["band"].toArray(), (QJsonArray{9500, 10500}));
    const QJsonObject start = opt["start"].toObject(), found = opt["best"].toObject();
    QVERIFY(found["mean_power_kw"].toDouble() >= start["mean_power_kw"].toDouble());
    QCOMPARE(found["speeds"].toArray().size(), tuning::BandSpeeds);
    QCOMPARE(start["pipe"]["method"].toString(), "own");
    QCOMPARE(found["pipe"]["method"].toString(), "ottimizzato");
    QVERIFY(found["pipe"]["length"].toDouble() <= 1.25 * start["pipe"]["length"].toDouble());
    // The rest of the run cuts the best pipe.
    QCOMPARE(j["pipe"]["length"].toDouble(), found["pipe"]["length"].toDouble());
    // Read back, run again over the band: the same power.
    const QJsonObject again =
        runJson({"--pipe", best, "--waves", "--rpm-range", "9500:10500:125"});
    const QJsonArray speeds = again["waves"]["speeds"].toArray();
    QCOMPARE(speeds.size(), tuning::BandSpeeds);
    for (int k = 0; k < speeds.size(); ++k) {
        const double reported = found["speeds"][k]["power_kw"].toDouble();
        QVERIFY2(std::abs(speeds[k]["power_kw"].toDouble() / reported - 1) < 1e-9,
                 qPrintable(QStringLiteral("%1: %2 against %3")
                                .arg(k)
                                .arg(speeds[k]["power_kw"].toDouble())
                                .arg(reported)));
    }
}

QTEST_GUILESS_MAIN(TestCliWaves)
#include "tst_cliwaves.moc"

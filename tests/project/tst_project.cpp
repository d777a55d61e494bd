// The workshop window's project file: every input back as it went in, whatever the locale it
// is opened under; newer formats refused, older ones read; bad files refused by what is wrong.
#include "failingdisk.h"
#include "number.h"
#include "cycle.h"
#include "pipecsv.h"
#include "project.h"
#include "testfiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace velmorant;

namespace {

// A project with every kind of input: numbers, a text that is not one, a measured pipe kept in
// the file, a pipe to compare, an engine of its own and a trace.
Project sample(const QLocale &locale)
{
    Project p = newProject(WorkshopOptions(), locale);
    p.workshop.parameters[1] = formatBoxNumber(9500.5, locale);
    p.workshop.parameters[5] = QStringLiteral("tre gradi"); // kept as typed
    p.workshop.numbers[0] = formatBoxNumber(1.5, locale);
    p.workshop.sheetWidth = QStringLiteral("1250");
    p.workshop.name = QStringLiteral("Scarico \u00e8 125");
    p.workshop.pipe.method = QLatin1String(MeasuredMethod);
    p.workshop.pipe.stages = QStringLiteral("99");
    p.workshop.pipe.pipeFile = QStringLiteral("/banco/misura.csv");
    p.workshop.pipe.measured =
        MeasuredPipe{QStringLiteral("/banco/misura.csv"),
                     readPipeCsv("x_mm,d_mm\n0,38.25\n300,38.25\n600,90\n1000,30\n").pipe};
    p.paper = QStringLiteral("A3");
    p.engine.compressionRatio = 13.5;
    p.engine.bore = 54;
    p.waves.from = QStringLiteral("7000");
    p.waves.to = QStringLiteral("13000");
    p.waves.step = QStringLiteral("250");
    p.waves.probe = formatBoxNumber(300.5, locale);
    p.waves.compare = QLatin1String(MeasuredMethod);
    p.waves.comparePipe = MeasuredPipe{QStringLiteral("altro.csv"),
                                       readPipeCsv("x_mm,d_mm\n0,40\n500,40\n").pipe};
    p.trace = TraceOverlay{QStringLiteral("traccia.csv"), {{90, 1.1}, {180, 0.8}}, 9500};
    p.engine.cycle = engine::Cycle::Fixed;
    p.engine.scavenging = engine::Scavenging::Yam6;
    engine::PortAreasRead ports = engine::readPortAreas(
        "angle_deg,exhaust_mm2,transfer_mm2,intake_mm2\n0,0,0,80.5\n90,0,0,0\n180,300,210,0\n"
        "270,0,0,40\n");
    ports.table.source = QStringLiteral("luci.csv");
    p.engine.portAreas = ports.table;
    p.waves.intakePipe = MeasuredPipe{QStringLiteral("aspirazione.csv"),
                                      readPipeCsv("x_mm,d_mm\n0,30\n180,34\n").pipe};
    p.bench = engine::readBenchCurve("rpm,cv\n8000,18.5\n9000,21.25\n").curve;
    p.bench->source = QStringLiteral("banco.csv");
    const waves::GasPathRead silencer = waves::readGasPath(
        R"({"version": 1, "elements": [{"pipe": [[0, 38], [100, 38]], "wall_c": "calcolata"},
            {"volume_l": 2.5, "cd_out": 0.8}, {"pipe": [[0, 30], [150, 30]], "wall_c": 250}]})",
        {});
    p.waves.paths.exhaust = waves::PathFile{QStringLiteral("silenziatore.json"), silencer.path};
    p.waves.paths.transferDuct = waves::WaveOptions::TransferDuct{85, 33.5, 40};
    const waves::PortGeometryRead typed = waves::readPortGeometry(R"({"version": 1,
        "exhaust": {"opens_deg": 94, "width_mm": 34, "height_mm": 22,
                    "aux": [{"opens_deg": 96, "width_mm": 10, "count": 2}],
                    "power_valve": [[7000, 100], [9000, 94]]},
        "transfers": [{"name": "A", "opens_deg": 117, "width_mm": 16, "angle_deg": 12}],
        "intake": {"reed": {"petals": 4, "length_mm": 30, "width_mm": 20, "thickness_mm": 0.4,
                   "youngs_gpa": 50, "density_kg_m3": 1550, "damping": 0.05, "stop_mm": 8,
                   "port_area_mm2": 900, "angle_deg": 30}}, "pin_offset_mm": 0.5})");
    p.waves.paths.ports = waves::PortsFile{QStringLiteral("luci.json"), typed.ports};
    return p;
}

} // namespace

class TestProject : public QObject
{
    Q_OBJECT

private slots:
    void roundTripAcrossLocales_data();
    void roundTripAcrossLocales();
    void newerFormatRefusedOlderRead();
    void badProjectsRefused_data();
    void badProjectsRefused();
    void fileReading();
    void everyFieldOffItsDefault();
};

void TestProject::roundTripAcrossLocales_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::newRow("it_IT to en_US") << "it_IT" << "en_US";
    QTest::newRow("en_US to it_IT") << "en_US" << "it_IT";
    QTest::newRow("C to C") << "C" << "C";
}

// Saved under one locale and opened under another, the boxes hold the same numbers in the
// second's notation, a text that was not a number as it was typed, and the pipes and trace
// as they were.
void TestProject::roundTripAcrossLocales()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    const QLocale from(written), to(read);
    const Project p = sample(from);
    const ProjectRead r = readProject(projectJson(p, from), to);
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.format, ProjectFormat);
    const Project &q = r.project;
    QCOMPARE(q.workshop.parameters[1], formatBoxNumber(9500.5, to));
    QCOMPARE(q.workshop.parameters[5], QStringLiteral("tre gradi"));
    QCOMPARE(q.workshop.numbers[0], formatBoxNumber(1.5, to));
    QCOMPARE(q.workshop.sheetWidth, QStringLiteral("1250"));
    QCOMPARE(q.workshop.name, p.workshop.name);
    QCOMPARE(q.workshop.pipe.stages, QStringLiteral("99"));
    QCOMPARE(q.workshop.pipe.pipeFile, p.workshop.pipe.pipeFile);
    QVERIFY(q.workshop.pipe.measured);
    QCOMPARE(pipeCsv(q.workshop.pipe.measured->pipe), pipeCsv(p.workshop.pipe.measured->pipe));
    QCOMPARE(q.paper, QStringLiteral("A3"));
    QCOMPARE(q.engine.compressionRatio, 13.5);
    QCOMPARE(q.engine.bore, std::optional<double>(54));
    QVERIFY(!q.engine.stroke);
    QCOMPARE(q.waves.probe, formatBoxNumber(300.5, to));
    QCOMPARE(q.waves.compare, QLatin1String(MeasuredMethod));
    QCOMPARE(pipeCsv(q.waves.comparePipe->pipe), pipeCsv(p.waves.comparePipe->pipe));
    QCOMPARE(q.trace->points, p.trace->points);
    QCOMPARE(q.trace->rpm, 9500.0);
    QCOMPARE(q.engine.cycle, engine::Cycle::Fixed);
    QCOMPARE(q.engine.scavenging, std::optional(engine::Scavenging::Yam6));
    QVERIFY(q.engine.portAreas && q.engine.portAreas->hasIntake());
    QCOMPARE(engine::portAreasCsv(*q.engine.portAreas), engine::portAreasCsv(*p.engine.portAreas));
    QCOMPARE(q.engine.portAreas->source, QStringLiteral("luci.csv"));
    QCOMPARE(pipeCsv(q.waves.intakePipe->pipe), pipeCsv(p.waves.intakePipe->pipe));
    QCOMPARE(q.bench->points, p.bench->points);
    QCOMPARE(q.bench->source, QStringLiteral("banco.csv"));
    QCOMPARE(q.waves.paths.exhaust->source, QStringLiteral("silenziatore.json"));
    QCOMPARE(waves::gasPathJson(q.waves.paths.exhaust->path),
             waves::gasPathJson(p.waves.paths.exhaust->path));
    QVERIFY(q.waves.paths.exhaust->path.pipes[0].computedWall);
    QCOMPARE(q.waves.paths.transferDuct->d1Mm, 33.5);
    QCOMPARE(q.waves.paths.variableGas, p.waves.paths.variableGas);
    QVERIFY(!q.waves.paths.intake);
    QCOMPARE(q.waves.paths.ports->source, QStringLiteral("luci.json"));
    QCOMPARE(waves::portGeometryJson(q.waves.paths.ports->ports),
             waves::portGeometryJson(p.waves.paths.ports->ports));
    QCOMPARE(q.waves.paths.ports->ports.powerValve.size(), 2);
    QCOMPARE(q.waves.paths.ports->ports.transfers[0].name, QStringLiteral("travaso A"));
    QCOMPARE(q.waves.paths.ports->ports.reed->stopMm, 8.0);
    // Written again, the same file.
    QCOMPARE(projectJson(q, to), projectJson(p, from));
}

void TestProject::newerFormatRefusedOlderRead()
{
    QJsonObject root = QJsonDocument::fromJson(projectJson(sample(QLocale::c()), QLocale::c())).object();
    root.insert(QStringLiteral("version"), ProjectFormat + 1);
    const ProjectRead newer = readProject(QJsonDocument(root).toJson(), QLocale::c());
    QVERIFY(!newer.ok());
    QVERIFY2(newer.error.contains(QStringLiteral("nel formato %1, pi\u00f9 recente").arg(ProjectFormat + 1)),
             qPrintable(newer.error));
    // The oldest form: the design alone. What it lacks takes its default.
    const ProjectRead old = readProject(
        R"({"format": "velmorant-officina", "version": 1, "design": {"CIL": 125}})", QLocale::c());
    QVERIFY2(old.ok(), qPrintable(old.error));
    QCOMPARE(old.project.workshop.parameters[0], QStringLiteral("125"));
    QCOMPARE(old.project.workshop.parameters[1], QStringLiteral("10000"));
    QCOMPARE(old.project.engine.compressionRatio, waves::EngineInputs().compressionRatio);
    QVERIFY(!old.project.trace);
    // A project of the first format knew only the fixed cylinder, and keeps it; a new one fires.
    QCOMPARE(old.project.engine.cycle, engine::Cycle::Fixed);
    QVERIFY(!old.project.engine.portAreas && !old.project.waves.intakePipe && !old.project.bench);
    const ProjectRead current = readProject(
        R"({"format": "velmorant-officina", "version": 2, "design": {"CIL": 125}})", QLocale::c());
    QCOMPARE(current.project.engine.cycle, engine::Cycle::Fired);
    // A project saved before the gas could vary ran the constant one, and keeps it; a new
    // project takes the gas that follows its temperature.
    QVERIFY(!old.project.waves.paths.variableGas && !current.project.waves.paths.variableGas);
    QVERIFY(newProject(WorkshopOptions(), QLocale::c()).waves.paths.variableGas);
}

void TestProject::badProjectsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not JSON") << QByteArray("{ non json") << "non \u00e8 un progetto";
    QTest::newRow("another program's JSON") << QByteArray(R"({"format": "altro", "version": 1})")
                                            << "non \u00e8 un progetto";
    QTest::newRow("no version") << QByteArray(R"({"format": "velmorant-officina"})")
                                << "in che formato";
    QTest::newRow("engine out of range")
        << QByteArray(R"({"format": "velmorant-officina", "version": 1, "engine": {"compression": 50}})")
        << "motore, compression: serve un numero tra 5 e 20";
    QTest::newRow("measured stations going back")
        << QByteArray(R"({"format": "velmorant-officina", "version": 1,
                         "pipe": {"file": "m.csv", "stations": [[0, 40], [100, 40], [50, 40]]}})")
        << "tubo misurato: riga 4";
    QTest::newRow("a station that is not a pair")
        << QByteArray(R"({"format": "velmorant-officina", "version": 1,
                         "waves": {"compare-file": "m.csv", "compare-stations": [[0, 40, 1]]}})")
        << "tubo da confrontare: ogni stazione";
    QTest::newRow("trace pressure below zero")
        << QByteArray(R"({"format": "velmorant-officina", "version": 1,
                         "trace": {"rpm": 9000, "points": [[0, 1], [10, -1]]}})")
        << "traccia misurata";
    QTest::newRow("unknown scavenging")
        << QByteArray(R"({"format": "velmorant-officina", "version": 2,
                         "engine": {"scavenging": "ottimo"}})")
        << "motore, scavenging: miscelazione";
    QTest::newRow("port areas going back")
        << QByteArray(R"({"format": "velmorant-officina", "version": 2, "engine": {"port-areas":
                         {"rows": [[0, 0, 0], [90, 1, 1], [80, 0, 0], [270, 0, 0]]}}})")
        << "motore, aree delle luci: riga 4";
    QTest::newRow("route with an unknown key")
        << QByteArray(R"({"format": "velmorant-officina", "version": 3, "space": {"route":
                         {"version": 1, "start": {"point": [0, 0, 0], "direction": [0, 0, -1],
                          "up": [1, 0, 0]}, "bends": [{"at_mm": 10, "angle_deg": 5,
                          "joints": 1, "spacing_mm": 5, "piega": 1}]}}})")
        << "percorso del tubo: curva 1: chiave sconosciuta";
    QTest::newRow("obstacle without a name")
        << QByteArray(R"({"format": "velmorant-officina", "version": 3, "space": {"obstacles":
                         {"version": 1, "obstacles": [{"box": {"min": [0, 0, 0], "max": [1, 1, 1]}}]}}})")
        << "nome";
    QTest::newRow("a system ending in a box")
        << QByteArray(R"({"format": "velmorant-officina", "version": 3, "waves": {"exhaust-system":
                         {"file": "s.json", "system": {"version": 1, "elements": [
                          {"pipe": [[0, 38], [100, 38]]}, {"volume_l": 2}]}}}})")
        << "impianto di scarico: sistema: l'ultimo elemento";
    QTest::newRow("a duct of two numbers")
        << QByteArray(R"({"format": "velmorant-officina", "version": 3, "waves": {"transfer-duct": [90, 35]}})")
        << "condotto di travaso";
    QTest::newRow("bench point not a pair")
        << QByteArray(R"({"format": "velmorant-officina", "version": 2,
                         "bench": {"points": [[8000, 12], [9000]]}})")
        << "curva al banco: ogni punto";
}

void TestProject::badProjectsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const ProjectRead r = readProject(bytes, QLocale::c());
    QVERIFY(!r.ok());
    QVERIFY2(r.error.contains(reason), qPrintable(r.error));
}

void TestProject::fileReading()
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath("p.vlo");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
    QElapsedTimer clock;
    clock.start();
    const ProjectRead r = readProjectFile(fifo, QLocale::c());
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY2(r.error.contains("non \u00e8 un file normale") && r.error.contains("p.vlo"),
             qPrintable(r.error));
    // Over its bound: refused whole, not read in part.
    const QString big = tmp.filePath("grande.vlo");
    QFile f(big);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(MaxProjectBytes + 1));
    f.close();
    QVERIFY(readProjectFile(big, QLocale::c()).error.contains("supera il limite di 32 MiB"));
    QVERIFY(looksLikeProject("\xEF\xBB\xBF  {\"format\""));
    QVERIFY(!looksLikeProject("100\r\n10000\r\n"));
}

// Every field away from its default, written and read back: each comes back as it went (angles
// brought into a turn), and the engine read back runs to the same figures. A measured pipe
// whose stations came from another file than the one now named is not taken for it.
void TestProject::everyFieldOffItsDefault()
{
    const QLocale it(QStringLiteral("it_IT"));
    const Project defaults = newProject(WorkshopOptions(), it);
    Project p = sample(it);
    for (std::size_t i = 0; i < FieldCount; ++i)
        p.workshop.parameters[i] = formatBoxNumber(double(i) + 2.25, it);
    p.workshop.parameters[0] = formatBoxNumber(125, it);
    p.workshop.parameters[1] = formatBoxNumber(9800, it);
    for (std::size_t i = 0; i < WorkshopNumberCount; ++i) {
        const WorkshopNumber &n = workshopNumbers()[i];
        p.workshop.numbers[i] = formatBoxNumber(n.low + 0.375 * (n.high - n.low), it);
    }
    p.workshop.sheetHeight = QStringLiteral("640");
    PipeTexts &t = p.workshop.pipe;
    t.horn = formatBoxNumber(1.625, it);
    t.portWidth = formatBoxNumber(41.5, it);
    t.portHeight = formatBoxNumber(27.25, it);
    t.engineClass = QStringLiteral("cross");
    t.divergentAngle = formatBoxNumber(4.5, it);
    t.convergentAngle = formatBoxNumber(9.5, it);
    t.bandWidth = formatBoxNumber(12.5, it);
    waves::EngineInputs &e = p.engine;
    for (const waves::EngineRange &r : waves::engineRanges())
        e.*r.member = r.low + 0.4375 * (r.high - r.low);
    e.bore = 56.5;
    e.stroke = 58.25;
    e.cycle = engine::Cycle::Fired;
    e.scavenging = engine::Scavenging::Cd;
    // A coarse table not starting at 0.
    e.portAreas = engine::readPortAreas("angle_deg,exhaust_mm2,transfer_mm2,intake_mm2\n30,0,0,0\n"
                                        "100,0,0,0\n180,420,300,0\n260,0,0,50\n")
                      .table;
    e.portAreas->source = QStringLiteral("luci-grosse.csv");
    p.waves.from = formatBoxNumber(8500, it);
    p.waves.to = formatBoxNumber(11500, it);
    p.waves.step = formatBoxNumber(500, it);
    p.waves.compare = QStringLiteral("blair3");
    p.waves.comparePipe.reset();
    p.trace = TraceOverlay{QStringLiteral("t.csv"), {{-90, 1.25}, {450, 0.75}, {725, 1.5}}, 10500};
    p.bench = engine::readBenchCurve("rpm,cv\n8500,17\n11000,24.5\n").curve;
    p.bench->source = QStringLiteral("b.csv");
    PipeInSpace &space = p.workshop.space;
    space.route.point = {10.5, -3, 7};
    space.route.direction = route::unit({0.6, 0, -0.8});
    space.route.up = {0, 1, 0};
    route::Bend bend;
    bend.atMm = 130.5;
    bend.angleDeg = 47;
    bend.planeDeg = -35;
    bend.joints = 3;
    bend.radiusMm = 95;
    space.route.bends << bend;
    space.seam = route::SeamSide::Outside;
    space.maxJointDeg = 22.5;
    route::Surroundings around;
    around.clearanceMm = 18;
    route::Obstacle wheel;
    wheel.name = QStringLiteral("ruota");
    wheel.kind = route::Obstacle::Kind::Cylinder;
    wheel.a = {400, -40, -600};
    wheel.b = {400, 40, -600};
    wheel.radius = 310;
    around.obstacles << wheel;
    around.target = route::TargetBox{{500, -200, -900}, {700, 0, -700}};
    space.surroundings = around;
    for (std::size_t i = 0; i < FieldCount; ++i)
        QVERIFY(p.workshop.parameters[i] != defaults.workshop.parameters[i]);

    const ProjectRead r = readProject(projectJson(p, it), it);
    QVERIFY2(r.ok(), qPrintable(r.error));
    const Project &q = r.project;
    QCOMPARE(q.workshop.parameters, p.workshop.parameters);
    QCOMPARE(q.workshop.numbers, p.workshop.numbers);
    QCOMPARE(q.workshop.sheetHeight, p.workshop.sheetHeight);
    const PipeTexts &u = q.workshop.pipe;
    QCOMPARE(QStringList({u.method, u.stages, u.horn, u.portWidth, u.portHeight, u.engineClass,
                          u.divergentAngle, u.convergentAngle, u.pipeFile, u.bandWidth}),
             QStringList({t.method, t.stages, t.horn, t.portWidth, t.portHeight, t.engineClass,
                          t.divergentAngle, t.convergentAngle, t.pipeFile, t.bandWidth}));
    for (const waves::EngineRange &range : waves::engineRanges())
        QVERIFY2(q.engine.*range.member == e.*range.member, range.option);
    QCOMPARE(q.engine.bore, e.bore);
    QCOMPARE(q.engine.stroke, e.stroke);
    QCOMPARE(q.engine.cycle, e.cycle);
    QCOMPARE(q.engine.scavenging, e.scavenging);
    QCOMPARE(QStringList({q.waves.from, q.waves.to, q.waves.step, q.waves.compare}),
             QStringList({p.waves.from, p.waves.to, p.waves.step, p.waves.compare}));
    QCOMPARE(q.trace->points,
             (QList<std::pair<double, double>>{{270, 1.25}, {90, 0.75}, {5, 1.5}}));
    QCOMPARE(q.bench->points, p.bench->points);
    // The pipe in space: the route and the bike, as the command line's files would hold them.
    const PipeInSpace &back = q.workshop.space;
    QCOMPARE(route::routeJson(back.route), route::routeJson(space.route));
    QCOMPARE(back.seam, space.seam);
    QCOMPARE(back.maxJointDeg, space.maxJointDeg);
    QVERIFY(back.surroundings);
    QCOMPARE(route::surroundingsJson(*back.surroundings), route::surroundingsJson(around));
    // The same engine: the same figures, the table's wrap past its last row included.
    DesignParameters d = defaultParameters();
    const waves::EngineInputs a = waves::onDesign(e, d), b = waves::onDesign(q.engine, d);
    for (double angle : {5.0, 20.0, 280.0, 350.0})
        QCOMPARE(b.portAreas->at(angle).intake, a.portAreas->at(angle).intake);
    waves::WaveOptions o;
    o.cellMm = 20;
    o.maxCycles = 6;
    const Pipe pipe = firstSizingPipe(evaluateChamber(d).dimensions);
    const waves::SpeedResult ra = waves::simulateSpeed(pipe, a, o, 9000),
                             rb = waves::simulateSpeed(pipe, b, o, 9000);
    QCOMPARE(rb.brake.powerKw, ra.brake.powerKw);
    QCOMPARE(rb.deliveryRatio, ra.deliveryRatio);

    // Stations of an earlier file are not the pipe of the file now named.
    Project renamed = sample(it);
    renamed.workshop.pipe.pipeFile = QStringLiteral("/banco/nuova-misura.csv");
    const ProjectRead again = readProject(projectJson(renamed, it), it);
    QVERIFY2(again.ok(), qPrintable(again.error));
    QVERIFY(!again.project.workshop.pipe.measured);
    QCOMPARE(again.project.workshop.pipe.pipeFile, renamed.workshop.pipe.pipeFile);
}

QTEST_GUILESS_MAIN(TestProject)
#include "tst_project.moc"

// What the command line refuses before it computes or writes: outputs onto the project's own
// inputs, designs no pipe is built from, project fields it cannot honour, and the words it
// uses to say so.
#include "clirun.h"
#include "pipecsv.h"
#include "projectondisk.h"
#include "testfiles.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmorant;
using test::readAll;
using test::Run;
using test::runCli;

namespace {

const QLocale It(QStringLiteral("it_IT"));

} // namespace

class TestCliInputs : public QObject
{
    Q_OBJECT

private slots:
    void projectInputsNeverOverwritten_data();
    void projectInputsNeverOverwritten();
    void unbuildableDesignsRefused_data();
    void unbuildableDesignsRefused();
    void projectFieldsHonouredOrRefused_data();
    void projectFieldsHonouredOrRefused();
    void designFileLineOfTwoValues_data();
    void designFileLineOfTwoValues();
    void refusalsNameTheFileAndOption();
    void searchedPipeFromTheProject();
    void longNameIsALabel();
    void methodsComparedInItalian();
    void kerfTooSmallToCut();
    void engineAgainstTheDesign_data();
    void engineAgainstTheDesign();
};

void TestCliInputs::projectInputsNeverOverwritten_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("options"); // the output's file follows the last option
    const QList<QStringList> outputs{{"--waves", "--rpm-range", "10000:10000:1", "--traces"},
                                     {"--waves", "--rpm-range", "10000:10000:1", "--curves"},
                                     {"--cut-list"},
                                     {"--svg"},
                                     {"--write"},
                                     {"--patterns"}};
    for (const QStringList &out : outputs)
        QTest::addRow("measured pipe, %s", qPrintable(out.last())) << "measured" << out;
    for (const char *input : {"compare", "intake", "ports", "bench", "trace"})
        QTest::addRow("%s, --cut-list", input) << QString(input) << QStringList{"--cut-list"};
}

// A project's inputs are inputs of the run: no output may land on one, whatever option names
// it, and the file stays as it was.
void TestCliInputs::projectInputsNeverOverwritten()
{
    QFETCH(QString, input);
    QFETCH(QStringList, options);
    const test::ProjectOnDisk p;
    const QString target = p.inputs.value(input);
    const QByteArray before = readAll(target);
    const QStringList entries = QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    const Run r = runCli(QStringList{p.project, "--cell", "20"} + options + QStringList{target});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("un'uscita non pu\u00f2 sovrascrivere un file letto") &&
                 r.err.contains("del progetto"),
             qPrintable(r.err));
    QCOMPARE(readAll(target), before);
    QCOMPARE(QDir(p.dir.path()).entryList(QDir::AllEntries | QDir::Hidden), entries);
}

void TestCliInputs::unbuildableDesignsRefused_data()
{
    QTest::addColumn<QStringList>("design");
    QTest::addColumn<QString>("named"); // the dimension the refusal names
    QTest::newRow("intake of 720 degrees") << QStringList{"--asp", "720"} << "L1 = -";
    QTest::newRow("belly narrower than the header") << QStringList{"--rappsez", "0.5"} << "L2 = -";
    QTest::newRow("convergent of 180 degrees") << QStringList{"--conv", "180"} << "L4 = ";
    QTest::newRow("convergent of 0.0001 degrees") << QStringList{"--conv", "0.0001"} << "L4 = ";
}

// The table, the JSON, the parts and the sweep build nothing from a design whose lengths are
// not positive and within 100 m: exit 3 naming the length, a sweep row not "ok".
void TestCliInputs::unbuildableDesignsRefused()
{
    QFETCH(QStringList, design);
    QFETCH(QString, named);
    for (const QStringList &ask : {QStringList(), QStringList{"--json"}}) {
        const Run r = runCli(design + ask);
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.startsWith(named) && r.err.contains("nessuna camera si costruisce"),
                 qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
    // The sweep's row at that value says why, with no dimensions.
    const QString field = design[0].mid(2).toUpper();
    const Run sweep = runCli(
        design + QStringList{"--sweep", field + "=" + design[1] + ":" + design[1] + ":1"});
    QCOMPARE(sweep.exitCode, 0);
    const QList<QByteArray> rows = sweep.out.trimmed().split('\n');
    QCOMPARE(rows.size(), 2);
    QVERIFY2(!rows[1].endsWith(",ok") && rows[1].contains("nessuna camera si costruisce"),
             rows[1].constData());
}

void TestCliInputs::projectFieldsHonouredOrRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refusal"); // empty: honoured
    QTest::newRow("speeds not numbers") << "from" << "abc" << "non sono numeri";
    QTest::newRow("6,001 speeds") << "step" << "1" << "al massimo 201";
    QTest::newRow("paper A0") << "paper" << "A0" << "formato di carta sconosciuto \"A0\"";
    QTest::newRow("paper A3") << "paper" << "A3" << "";
    QTest::newRow("unknown pipe method") << "method" << "segreto"
                                         << "Metodo del tubo sconosciuto: \"segreto\"";
}

// What a project holds is the run's, or the run is refused saying which field: never the
// design speed alone for speeds it could not read, A4 for another paper, or the first sizing's
// pipe for a method it does not know.
void TestCliInputs::projectFieldsHonouredOrRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, refusal);
    QTemporaryDir tmp;
    Project p = newProject(WorkshopOptions(), It);
    if (field == "from")
        p.waves.from = value;
    else if (field == "step")
        p.waves.step = value;
    else if (field == "paper")
        p.paper = value;
    else
        p.workshop.pipe.method = value;
    const QString path = tmp.filePath("p.vlo");
    QVERIFY(test::writeBytes(path, projectJson(p, It)));
    const QString pdf = tmp.filePath("sagome.pdf");
    const Run r = runCli({path, "--waves", "--cell", "20", "--patterns", pdf});
    if (refusal.isEmpty()) {
        QCOMPARE(r.exitCode, 0);
        // The templates are on A3: 297 x 420 mm, in points.
        QVERIFY(readAll(pdf).contains("/MediaBox [0 0 842.000000 1191.000000]"));
        return;
    }
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(refusal), qPrintable(r.err));
    QVERIFY(!QFile::exists(pdf));
}

void TestCliInputs::designFileLineOfTwoValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line"); // 0: read
    QTest::addColumn<double>("ratio");
    QTest::newRow("decimal comma in TEMP1")
        << QByteArray("100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n800,5\r\n4.5\r\n") << 7 << 0.0;
    QTest::newRow("eight values on one line")
        << QByteArray("100,10000,120,180,7,3,800,4.5\r\n") << 0 << 4.5;
    QTest::newRow("a value a line") << QByteArray("100\n10000\n120\n180\n7\n3\n800\n4.5\n") << 0
                                    << 4.5;
}

// A file of a value a line with two values on one would shift the rest and lose the ratio:
// refused naming the line; the same values on one line are a design.
void TestCliInputs::designFileLineOfTwoValues()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(double, ratio);
    QTemporaryDir tmp;
    const QString path = tmp.filePath("d.vlr");
    QVERIFY(test::writeBytes(path, file));
    const Run r = runCli({path, "--json"});
    if (line > 0) {
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("la riga %1 (\"800,5\")").arg(line)),
                 qPrintable(r.err));
        return;
    }
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(r.out)["parameters"]["RAPPSEZ"].toDouble(), ratio);
}

// A refusal of a file names the option it came from and the file's own name, however deep the
// folder it was picked in; a number out of range is said in a few digits.
void TestCliInputs::refusalsNameTheFileAndOption()
{
    QTemporaryDir tmp;
    QString deep = tmp.path();
    for (int i = 0; i < 6; ++i)
        deep += QStringLiteral("/una-cartella-dal-nome-lungo-%1").arg(i);
    QVERIFY(QDir().mkpath(deep));
    const QString bad = deep + "/tubo-del-cliente.csv";
    QVERIFY(test::writeBytes(bad, "non,un,tubo\n"));
    for (const QString option : {"--pipe", "--intake-pipe"}) {
        const Run r = runCli({option, bad, "--waves", "--band"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith(option + ": ") && r.err.contains("tubo-del-cliente.csv"),
                 qPrintable(r.err));
    }
    const Run huge = runCli({"--waves", "--probe", "1e308"});
    QCOMPARE(huge.exitCode, 1);
    QVERIFY2(huge.err.size() < 200, qPrintable(huge.err));
    const Run tuned = runCli({"--tuned-length", "1e9"});
    QCOMPARE(tuned.exitCode, 3);
    QVERIFY2(tuned.err.contains("Nessun regime tra 500 e 30000 giri/min"), qPrintable(tuned.err));
    QCOMPARE(runCli({"--tuned-length", "0.0001"}).exitCode, 3);
    QCOMPARE(runCli({"--tuned-length", "700"}).exitCode, 0);
}

// A project whose pipe is the searched one is cut from its sections, named by its band.
void TestCliInputs::searchedPipeFromTheProject()
{
    QTemporaryDir tmp;
    Project p = newProject(WorkshopOptions(), It);
    Pipe searched = readPipeCsv("x_mm,d_mm\n0,23\n150,23\n380,46\n750,46\n870,16\n1070,16\n").pipe;
    p.workshop.pipe.method = QLatin1String(SearchedMethod);
    p.workshop.pipe.searched = MeasuredPipe{"media 9000-11000 giri/min", searched};
    const QString path = tmp.filePath("p.vlo");
    QVERIFY(test::writeBytes(path, projectJson(p, It)));
    const Run r = runCli({path, "--json"});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject j = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(j["pipe"]["length"].toDouble(), 1070.0);
    QCOMPARE(j["workshop"]["parts"].toArray().size(), 5);
}

// A design's name is a label on every part and page: the first 200 characters of it.
void TestCliInputs::longNameIsALabel()
{
    const QString name = QString(100000, QLatin1Char('n'));
    const Run r = runCli({"--json", "--name", name});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(r.out)["workshop"]["name"].toString(), name.left(200));
}

// The methods side by side by their Italian names; the keys stay the JSON's and --method's.
void TestCliInputs::methodsComparedInItalian()
{
    const Run r = runCli({"--compare"});
    QCOMPARE(r.exitCode, 0);
    const QString out = QString::fromUtf8(r.out);
    QVERIFY2(out.contains("\nPrimo dimensionamento: 5 tratti") &&
                 out.contains("\nBlair, 2 stadi: ") && !out.contains("(own)") &&
                 !out.contains("(blair2)"),
             qPrintable(out));
}

// A kerf far below a micrometre cuts as none (its offset was lost in the outline's rounding and
// turned into NaN in the nesting); the parts are the same as without one.
void TestCliInputs::kerfTooSmallToCut()
{
    const QJsonObject none = QJsonDocument::fromJson(runCli({"--json"}).out).object();
    for (const QString kerf : {"1e-20", "1e-13", "0.0001"}) {
        const Run r = runCli({"--json", "--kerf", kerf});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject j = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(j["workshop"]["parts"].toArray().size(), none["workshop"]["parts"].toArray().size());
        QCOMPARE(j["workshop"]["sheets"], none["workshop"]["sheets"]);
    }
}

void TestCliInputs::engineAgainstTheDesign_data()
{
    QTest::addColumn<QStringList>("engine");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("a 186 cm3 engine in a 250") << QStringList{"--bore", "66", "--stroke", "54.5"}
                                               << 1;
    QTest::newRow("its own displacement") << QStringList{"--bore", "66", "--stroke", "54.5",
                                                         "--cil", "186.45"}
                                          << 0;
    QTest::newRow("within half a percent") << QStringList{"--bore", "66", "--stroke", "54.5",
                                                          "--cil", "187.3"}
                                           << 0;
    QTest::newRow("bore alone") << QStringList{"--bore", "66"} << 0;
}

// Bore and stroke given together describe a displacement: more than 0.5 % from the design's,
// the run is refused naming the three numbers; given alone, the other follows from it.
void TestCliInputs::engineAgainstTheDesign()
{
    QFETCH(QStringList, engine);
    QFETCH(int, exitCode);
    QStringList args{"--cil", "250", "--waves", "--cell", "20"};
    args += engine; // a later --cil goes over the first
    const Run r = runCli(args);
    QCOMPARE(r.exitCode, exitCode);
    if (exitCode == 1)
        QVERIFY2(r.err.contains("Alesaggio 66 mm e corsa 54.5 mm fanno 186.5 cm\u00b3, non la "
                                "cilindrata di 250 cm\u00b3"),
                 qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestCliInputs)
#include "tst_cliinputs.moc"

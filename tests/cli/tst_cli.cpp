// Drives the built velmorant-cli and checks what it prints and writes.
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

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void defaultsJson();
    void progressOnTerminalOnly_data();
    void progressOnTerminalOnly();
    void numbersRoundTrip();
    void sketchInJson();
    void fifoInputReturnsAtOnce();
    void writeIsWhatSaveWrites();
    void designFileInput();
    void nonUtf8NameRefused();
    void sweepRows();
    void tunedLength();
    void helpAndVersion();
    void manualListsEveryOption();
    void failedStdoutIsAnError_data();
    void failedStdoutIsAnError();
    void italianSpreadsheetPipe();
    void onlyOwnWordsOnStderr();
};

void TestCli::defaultsJson()
{
    const QJsonObject root = runJson({});
    const QJsonObject r = root["results"].toObject();
    const QList<QPair<QString, double>> expected{
        {"a1", 656.2509}, {"a2", 564.1656}, {"L1", 164.0627},   {"D1", 23.0329},
        {"D2", 46.0659},  {"L2", 219.7474}, {"L3", 321.3969},   {"D3", 16.2868},
        {"L4", 121.2658}, {"L5", 200},      {"LTOT", 1026.4728}};
    for (const auto &[key, value] : expected)
        QVERIFY2(qAbs(r[key].toDouble() - value) < 5e-5, qPrintable(key));
    QCOMPARE(root["parameters"].toObject()["RPM"].toDouble(), 10000.0);
    QCOMPARE(root["captions"].toObject()["txtQL1"].toString(), "L1=164.1 mm");
    QCOMPARE(root["captions"].toObject()["txtQDiv"].toString(), "Div=3.0\u00b0");
    QCOMPARE(root["patterns"].toArray().size(), 5);
    QVERIFY(!root.contains("sketch"));

    const QJsonObject it = runJson({"--locale", "it_IT", "--rpm", "4.000"});
    QCOMPARE(it["captions"].toObject()["txtQL3"].toString(), "L3=1.213,9 mm");
}

void TestCli::progressOnTerminalOnly_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("progress"); // as the terminal shows it
    QTest::newRow("nesting") << QStringList{"--cil", "250", "--max-length", "2", "--json"}
                             << "\\rDisposizione dei pezzi: +\\d+ %";
    // The constant gas: work enough to show progress, short enough under the sanitizers.
    QTest::newRow("waves") << QStringList{"--waves", "--rpm-range", "5000:15000:500", "--cell", "5",
                                          "--gas", "costante"}
                           << "\\rOnde: \\d+ di 21 regimi, +\\d+ %";
}

void TestCli::progressOnTerminalOnly()
{
    // Some seconds of work: with stderr on a terminal (script(1) gives it one) the progress
    // shows; into a pipe only what a script should read arrives.
    QFETCH(QStringList, args);
    QFETCH(QString, progress);
    const Run piped = runCli(args);
    QCOMPARE(piped.exitCode, 0);
    QVERIFY2(!piped.err.contains(QRegularExpression(progress)), qPrintable(piped.err));
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        QSKIP("needs script(1), from bsdutils");
    QProcess terminal;
    terminal.start(script,
                   {"-q", "-e", "-c",
                    QStringLiteral("'%1' %2 > /dev/null").arg(VELMORANT_CLI, args.join(' ')),
                    "/dev/null"});
    QVERIFY(terminal.waitForFinished(120000));
    QCOMPARE(terminal.exitCode(), 0);
    const QString shown = QString::fromUtf8(terminal.readAllStandardOutput());
    QVERIFY2(shown.contains(QRegularExpression(progress)), qPrintable(shown));
    QVERIFY2(shown.contains("100 %\n") || shown.contains("100 %\r\n"), qPrintable(shown));
}

void TestCli::numbersRoundTrip()
{
    const QJsonObject r = runJson({"--cil", "123.456789", "--temp", "712.3"})["results"].toObject();
    DesignParameters p = defaultParameters();
    p[Field::Cil] = 123.456789;
    p[Field::Temp1] = 712.3;
    const ChamberDimensions d = computeChamber(p);
    // Bit for bit the same doubles.
    COMPARE_EXACT(r["L1"].toDouble(), d.L1);
    COMPARE_EXACT(r["L2"].toDouble(), d.L2);
    COMPARE_EXACT(r["L3"].toDouble(), d.L3);
    COMPARE_EXACT(r["L4"].toDouble(), d.L4);
    COMPARE_EXACT(r["D1"].toDouble(), d.D1);
    COMPARE_EXACT(r["D3"].toDouble(), d.D3);
    COMPARE_EXACT(r["LTOT"].toDouble(), d.LTOT);
    COMPARE_EXACT(r["a2"].toDouble(), d.a2);
}

void TestCli::sketchInJson()
{
    const QJsonObject sketch = runJson({"--sketch-width", "11200"})["sketch"].toObject();
    const QJsonArray elements = sketch["elements"].toArray();
    QCOMPARE(elements.size(), 38);
    auto element = [&elements](const char *name) {
        for (const QJsonValue &v : elements)
            if (v.toObject()["name"].toString() == QLatin1String(name))
                return v.toObject();
        return QJsonObject();
    };
    // The pipe spans x0 = 1080 to x0 + (W - 1200) whatever the sizes; the tail is 500 across.
    const QJsonObject q0 = element("LineaQ0");
    QCOMPARE(q0["kind"].toString(), "line");
    QCOMPARE(q0["x1"].toDouble(), 1080.0);
    QVERIFY(qAbs(q0["x2"].toDouble() - 11080.0) < 0.01);
    QCOMPARE(q0["y1"].toDouble(), 3280.0);
    QVERIFY(qAbs(element("Linea5")["y1"].toDouble() - 1550.0) < 0.01);
    QVERIFY(qAbs(element("Linea5b")["y2"].toDouble() - 2050.0) < 0.01);
    QCOMPARE(element("shPistone")["left"].toDouble(), 120.0);
    QCOMPARE(element("txtQL1")["top"].toDouble(), 3050.0);
    QCOMPARE(elements[0].toObject()["name"].toString(), "Linea1");
    QCOMPARE(elements[37].toObject()["name"].toString(), "Fascia2");

    // Lines read back as the very floats the geometry stores.
    const SketchGeometry g = drawSketch(computeChamber(defaultParameters()), 11200);
    for (std::size_t i = 0; i < SketchLineCount; ++i) {
        const QJsonObject e = elements[int(i)].toObject();
        COMPARE_EXACT(float(e["x1"].toDouble()), g.elements[i].a);
        COMPARE_EXACT(float(e["y1"].toDouble()), g.elements[i].b);
        COMPARE_EXACT(float(e["x2"].toDouble()), g.elements[i].c);
        COMPARE_EXACT(float(e["y2"].toDouble()), g.elements[i].d);
    }
    // The caption is centred on its segment.
    QCOMPARE(element("txtQL2")["centerX"].toDouble(),
             double(float((double(g.elements[1].a) + double(g.elements[1].c)) * 0.5)));
}

void TestCli::fifoInputReturnsAtOnce()
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath("progetto.vlr");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
    for (const QStringList &args : {QStringList{fifo}, QStringList{"--write", fifo}}) {
        QElapsedTimer clock;
        clock.start();
        const Run r = runCli(args);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("non \u00e8 un file normale"), qPrintable(r.err));
    }
    QVERIFY(QFileInfo(fifo).isFile() == false); // still the FIFO
}

void TestCli::writeIsWhatSaveWrites()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cli.vlr");
    const Run r = runCli({"--locale", "it_IT", "--cil", "125,5", "--rpm", "9.500", "--div", "-2,25",
                          "--write", path});
    // Saved as the window saves it, though no chamber is built with a negative cone.
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.startsWith("L2 = -"), qPrintable(r.err));
    DesignParameters p = defaultParameters();
    p[Field::Cil] = 125.5;
    p[Field::Rpm] = 9500;
    p[Field::Div] = -2.25;
    QCOMPARE(readAll(path), designFileBytes(p));
    QCOMPARE(readAll(path),
             QByteArray("125.5\r\n9500\r\n120\r\n180\r\n7\r\n-2.25\r\n800\r\n4\r\n"));
}

void TestCli::designFileInput()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("in.vlr");
    QVERIFY(test::writeBytes(path, "125\r\n9000\r\n110\r\n190\r\n6\r\n2.5\r\n700\r\n4.5\r\n"));
    // The file replaces the defaults, and an option replaces the file's field.
    const QJsonObject params = runJson({path, "--rpm", "9500"})["parameters"].toObject();
    QCOMPARE(params["CIL"].toDouble(), 125.0);
    QCOMPARE(params["RPM"].toDouble(), 9500.0);
    QCOMPARE(params["DIV"].toDouble(), 2.5);
    QCOMPARE(params["RAPPSEZ"].toDouble(), 4.5);
    // Under it_IT the file's period numbers still read as written.
    QCOMPARE(runJson({path, "--locale", "it_IT"})["parameters"].toObject()["DIV"].toDouble(), 2.5);
}

// A file name that is not UTF-8 is refused, not written under another name.
void TestCli::nonUtf8NameRefused()
{
    QTemporaryDir dir;
    QProcess sh;
    sh.setWorkingDirectory(dir.path());
    sh.start(QStringLiteral("/bin/sh"),
             {QStringLiteral("-c"), QStringLiteral("\"$0\" --write \"$(printf 'a\\377.vlr')\""),
              QStringLiteral(VELMORANT_CLI)});
    QVERIFY(sh.waitForFinished(30000));
    QCOMPARE(sh.exitCode(), 1);
    QVERIFY(QString::fromUtf8(sh.readAllStandardError()).contains("UTF-8"));
    QCOMPARE(test::entries(dir.path()), QStringList());
}

void TestCli::sweepRows()
{
    const Run r = runCli({"--sweep", "RPM=9000:21000:1000"});
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines[0], "CIL,RPM,ASP,SC,CONV,DIV,TEMP1,RAPPSEZ,L1,L2,L3,L4,L5,D1,D2,D3,LTOT,status");
    QVERIFY(lines[2].startsWith("100,10000,120,180,7,3,800,4,"));
    const QStringList row = lines[2].split(',');
    const ChamberDimensions d = computeChamber(defaultParameters());
    COMPARE_EXACT(row[8].toDouble(), d.L1);
    COMPARE_EXACT(row[16].toDouble(), d.LTOT);
    QCOMPARE(row[17], "ok");
    QVERIFY(lines.last().startsWith("100,21000,"));
    QVERIFY(lines.last().endsWith(
        ",,,,,,,,,\"Lunghezza L3 negativa, modificare alcuni dati di input\""));
    int refused = 0;
    for (const QString &l : lines.mid(1))
        refused += l.endsWith("\"") ? 1 : 0;
    QVERIFY(refused > 0 && refused < 13);

    // A value the box would refuse, and one the formulas cannot take, are rows too.
    const QStringList cil = QString::fromUtf8(runCli({"--sweep", "cil=-100:100:100"}).out)
                                .split('\n', Qt::SkipEmptyParts);
    QCOMPARE(cil.size(), 4);
    QVERIFY(cil[1].endsWith(
        "\"Cilindrata e Numero di giri di segno opposto, modificare alcuni dati di input\""));
    QVERIFY(cil[2].endsWith("\"Errore nell'immissione della Cilindrata\""));
    QVERIFY(cil[3].endsWith(",ok"));
}

void TestCli::tunedLength()
{
    const ChamberDimensions d = computeChamber(defaultParameters());
    const double length = d.L1 + d.L2 + d.L3;
    const QJsonObject tuned =
        runJson({"--tuned-length", QString::number(length, 'g', 17)})["tunedLength"].toObject();
    QVERIFY(qAbs(tuned["RPM"].toDouble() - 10000) < 1e-6);

    const QJsonObject at700 = runJson({"--tuned-length", "700"})["tunedLength"].toObject();
    DesignParameters p = defaultParameters();
    p[Field::Rpm] = at700["RPM"].toDouble();
    const ChamberDimensions t = computeChamber(p);
    QVERIFY(qAbs(t.L1 + t.L2 + t.L3 - 700) < 1e-9);

    const Run text = runCli({"--tuned-length", "700", "--locale", "it_IT"});
    QVERIFY(text.out.contains("Regime per L1+L2+L3 = 700,0 mm: 10.074 RPM"));
}

void TestCli::helpAndVersion()
{
    QCOMPARE(runCli({"--version"}).out, QByteArray("Velmorant " VELMORANT_VERSION "\n"));
    const Run help = runCli({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith("Uso: velmorant-cli"));
    QVERIFY(help.out.contains("--tuned-length"));
    // The parameter options carry the captions of the input boxes.
    QVERIFY(help.out.contains("  --cil T        Cilindrata (cc)\n"));
    QVERIFY(help.out.contains("  --temp T       Temperatura Gas di Scarico (\u00b0C)\n"));
}

void TestCli::manualListsEveryOption()
{
    // The options the help lists, and those the manual page describes (as .B or .BI items).
    const QString help = QString::fromUtf8(runCli({"--help"}).out);
    QSet<QString> listed, described;
    const QRegularExpression helpOption(QStringLiteral("^  --([a-z-]+)"),
                                        QRegularExpression::MultilineOption);
    for (auto it = helpOption.globalMatch(help); it.hasNext();)
        listed << it.next().captured(1);
    const QString manual = QString::fromUtf8(readAll(QStringLiteral(VELMORANT_MANUAL)));
    const QRegularExpression manualOption(QStringLiteral("^\\.BI? \\\\-\\\\-([a-z-]+)"),
                                          QRegularExpression::MultilineOption);
    for (auto it = manualOption.globalMatch(manual); it.hasNext();)
        described << it.next().captured(1);
    QVERIFY(listed.size() > 25);
    QCOMPARE(described - listed, QSet<QString>());
    QCOMPARE(listed - described, QSet<QString>());
    // And its exit statuses.
    for (const char *status : {"\n.B 0\n", "\n.B 1\n", "\n.B 2\n", "\n.B 3\n"})
        QVERIFY(manual.contains(QLatin1String(status)));
}

void TestCli::failedStdoutIsAnError_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("table") << QStringList();
    QTest::newRow("band") << QStringList{"--band"};
    QTest::newRow("waves as JSON") << QStringList{"--waves", "--cell", "20", "--json"};
    QTest::newRow("waves table") << QStringList{"--waves", "--cell", "20"};
    QTest::newRow("sweep") << QStringList{"--sweep", "RPM=1000:20000:1"};
}

// Results that never reached stdout (a full disk, a closed stdout) are a failure with its
// reason, never a success.
void TestCli::failedStdoutIsAnError()
{
    QFETCH(QStringList, args);
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(QStringLiteral(VELMORANT_CLI), args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains("spazio esaurito"), qPrintable(err));

    const Run closed = runCli(args, [] { ::close(1); });
    QCOMPARE(closed.exitCode, 1);
    QVERIFY2(closed.err.contains("l'uscita \u00e8 stata chiusa"), qPrintable(closed.err));
}

// A pipe saved by an Italian spreadsheet (semicolons, decimal commas, a byte order mark, CR LF)
// is the pipe the plain CSV gives.
void TestCli::italianSpreadsheetPipe()
{
    QTemporaryDir tmp;
    QVERIFY(test::writeBytes(tmp.filePath("c.csv"), "x_mm,d_mm\n0,38.5\n300,38.5\n600,90.25\n"
                                                     "900,90.25\n1000,30\n1200,30\n"));
    QVERIFY(test::writeBytes(tmp.filePath("it.csv"), "\xEF\xBB\xBFx_mm;d_mm\r\n0;38,5\r\n"
                                                      "300;38,5\r\n600;90,25\r\n900;90,25\r\n"
                                                      "1000;30\r\n1200;30\r\n"));
    const QJsonObject plain = runJson({"--pipe", tmp.filePath("c.csv"), "--band"});
    const QJsonObject italian = runJson({"--pipe", tmp.filePath("it.csv"), "--band"});
    QVERIFY(!plain["pipe"].toObject().isEmpty());
    QCOMPARE(italian["pipe"], plain["pipe"]);
    QCOMPARE(italian["band"], plain["band"]);
}

// Only the program's words on stderr: no note of Qt's about the session it runs in.
void TestCli::onlyOwnWordsOnStderr()
{
    QTemporaryDir tmp;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORANT_CLI), {"--patterns", tmp.filePath("x.pdf")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()), QString());
    QVERIFY(readAll(tmp.filePath("x.pdf")).startsWith("%PDF"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

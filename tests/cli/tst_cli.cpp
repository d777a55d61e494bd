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
    void bandAndPipe_data();
    void bandAndPipe();
    void stagesCutAsTheirOwnCones();
    void numbersRoundTrip();
    void sketchInJson();
    void exitStatuses_data();
    void exitStatuses();
    void failedWritesKeepOldFiles_data();
    void failedWritesKeepOldFiles();
    void fifoInputReturnsAtOnce();
    void writeIsWhatSaveWrites();
    void designFileInput();
    void workshopOutputs();
    void svgOutputs();
    void sketchSvgIsTheJsonSketch();
    void jsonPartsAgainstDevelopment();
    void splitSetsAreWhole_data();
    void splitSetsAreWhole();
    void failedSplitKeepsOldSet_data();
    void failedSplitKeepsOldSet();
    void nonUtf8NameRefused();
    void sweepRows();
    void tunedLength();
    void helpAndVersion();
    void manualListsEveryOption();
    void wavesInJsonAndTraces();
    void honestExits_data();
    void honestExits();
    void failedStdoutIsAnError_data();
    void failedStdoutIsAnError();
    void italianSpreadsheetPipe();
    void onlyOwnWordsOnStderr();
    void projectAsStartingPoint();
    void optimizeFindsAndWritesThePipe();
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

void TestCli::exitStatuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("ok") << QStringList() << 0 << QString();
    QTest::newRow("rejected CIL") << QStringList{"--cil", "0"} << 2
                                  << "Errore nell'immissione della Cilindrata";
    QTest::newRow("rejected under C: comma")
        << QStringList{"--div", "2,5"} << 2 << "Errore nell'immissione dell'angolo divergente";
    QTest::newRow("accepted under it_IT")
        << QStringList{"--div", "2,5", "--locale", "it_IT"} << 0 << QString();
    QTest::newRow("rejected RAPPSEZ") << QStringList{"--rappsez", "x"} << 2
                                      << "Errore nell'immissione della rapporto delle sezioni";
    QTest::newRow("negative L3") << QStringList{"--rpm", "20000"} << 3
                                 << "Lunghezza L3 negativa, modificare alcuni dati di input";
    QTest::newRow("not computable before negative L3")
        << QStringList{"--div", "1e-320"} << 3
        << "Dati di input fuori dal campo di calcolo, modificare alcuni dati di input";
    QTest::newRow("--opt=value") << QStringList{"--rpm=20000"} << 3 << "Lunghezza L3 negativa";
    QTest::newRow("missing value") << QStringList{"--rpm"} << 1 << "Manca il valore di \"--rpm\"";
    QTest::newRow("two design files") << QStringList{"a.vlr", "b.vlr"} << 1 << "b.vlr";
    QTest::newRow("temperature") << QStringList{"--temp", "5"} << 3
                                 << "Temperatura di scarico troppo bassa per il calcolo, "
                                    "modificare alcuni dati di input";
    QTest::newRow("unknown option") << QStringList{"--colour", "red"} << 1 << "--colour";
    QTest::newRow("missing file") << QStringList{"/nonexistent/x.vlr"} << 1 << "/nonexistent/x.vlr";
    QTest::newRow("bad sweep") << QStringList{"--sweep", "RPM=1:10:0"} << 1 << "--sweep";
    QTest::newRow("sweep beyond any count")
        << QStringList{"--sweep", "RPM=1:1e300:1"} << 1 << "il massimo \u00e8 10.000.000";
    QTest::newRow("sweep of ten billion rows")
        << QStringList{"--sweep", "RPM=1:1e10:1"} << 1 << "il massimo \u00e8 10.000.000";
    QTest::newRow("millions of template pages")
        << QStringList{"--patterns", "/nonexistent/x.pdf", "--rpm", "100", "--cil", "1e6"} << 1
        << "pi\u00f9 di 500 pagine";
    // Parts kilometres long, or not numbers at all: no file may hold them.
    for (const QStringList &design : {QStringList{"--rpm", "0.01"}, QStringList{"--rpm", "1e-300"},
                                      QStringList{"--conv=1e-300"},
                                      QStringList{"--conv=4.709832448175173e-304", "--gap=332.86"}})
        QTest::addRow("undrawable: %s", qPrintable(design.join(' ')))
            << QStringList{"--patterns", "/nonexistent/x.dxf", "--cut-list", "/nonexistent/x.csv"} +
                   design
            << 3 << "nessuna camera si costruisce con queste misure";
    QTest::newRow("sketch width 0")
        << QStringList{"--sketch-width", "0"} << 1 << "serve un numero tra 15 e 1000000";
    QTest::newRow("negative sketch width")
        << QStringList{"--svg", "/nonexistent/s.svg", "--sketch-width", "-100"} << 1
        << "--sketch-width";
    QTest::newRow("split of a PDF")
        << QStringList{"--patterns", "/nonexistent/x.pdf", "--split", "foglio"} << 1 << "--split";
    QTest::newRow("split without patterns") << QStringList{"--split", "pezzo"} << 1 << "--split";
    QTest::newRow("seam wider than the header")
        << QStringList{"--patterns", "/nonexistent/x.dxf", "--seam", "200"} << 1
        << "sormonto di 200,0 mm non sta sul pezzo 1, largo 75,5 mm (serve un numero tra 0 e 75.5)";
    // Ranges as the option reads them: no exponent, no grouping the reader refuses.
    QTest::newRow("range of --max-length")
        << QStringList{"--max-length", "-1"} << 1 << "serve un numero tra 0 e 1000000";
    QTest::newRow("range of --sheet-size, en_US")
        << QStringList{"--locale", "en_US", "--sheet-size", "30000x500"} << 1
        << "ogni lato tra 10 e 20000";
    QTest::newRow("range of --density, it_IT")
        << QStringList{"--locale", "it_IT", "--density", "-0,5"} << 1 << "tra 0 e 100";
    QTest::newRow("user text quoted short")
        << QStringList{"--page", QString(100, QLatin1Char('x'))} << 1
        << QLatin1Char('"') + QString(40, QLatin1Char('x')) + QStringLiteral("\"...");
    QTest::newRow("escape sequence shown, not sent")
        << QStringList{"--page", "\x1b[31mrosso"} << 1 << "\"\\e[31mrosso\"";
    QTest::newRow("a part for every millimetre")
        << QStringList{"--patterns", "/nonexistent/x.dxf", "--max-length", "1"} << 1
        << "pi\u00f9 di 1000 pezzi";
    QTest::newRow("sheet size not WxH")
        << QStringList{"--sheet-size", "1000"} << 1 << "--sheet-size";
    QTest::newRow("negative gap") << QStringList{"--gap", "-1"} << 1 << "--gap";
    for (const char *option : {"--write", "--svg", "--patterns"})
        QTest::addRow("empty %s", option) << QStringList{option, ""} << 1 << option;
    QTest::newRow("grouping in --sheet, en_US")
        << QStringList{"--locale", "en_US", "--sheet", "1,250"} << 1 << "--sheet";
    QTest::newRow("grouping in --sheet, it_IT")
        << QStringList{"--locale", "it_IT", "--sheet", "1.250"} << 1 << "--sheet";
    QTest::newRow("grouping in --tuned-length, it_IT")
        << QStringList{"--locale", "it_IT", "--tuned-length", "1.250"} << 1 << "--tuned-length";
    QTest::newRow("grouping in a sweep bound, it_IT")
        << QStringList{"--locale", "it_IT", "--sweep", "RPM=8.000:9000:100"} << 1 << "--sweep";
    QTest::newRow("decimal comma in --sheet, it_IT")
        << QStringList{"--locale", "it_IT", "--sheet", "1,5"} << 0 << QString();
    QTest::newRow("band too wide") << QStringList{"--band", "120"} << 1 << "--band";
    QTest::newRow("five stages") << QStringList{"--stages", "5"} << 1 << "1, 2, 3 o 4";
    QTest::newRow("horn beyond 2") << QStringList{"--horn", "2.5"} << 1 << "tra 1 e 2";
    QTest::newRow("unknown method") << QStringList{"--method", "magia"} << 1 << "blair3";
    QTest::newRow("port not WxH") << QStringList{"--method", "blair2", "--port", "40"} << 1
                                  << "--port";
    QTest::newRow("missing pipe") << QStringList{"--pipe", "/nonexistent/t.csv"} << 1
                                  << "/nonexistent/t.csv";
    QTest::newRow("pipe that is a folder") << QStringList{"--pipe", "/tmp"} << 1 << "/tmp";
    QTest::newRow("ten thousand speeds")
        << QStringList{"--waves", "--rpm-range", "1000:10999:1"} << 1
        << "10000 regimi, al massimo 201";
    QTest::newRow("341 speeds, it_IT")
        << QStringList{"--locale", "it_IT", "--waves", "--rpm-range", "3.000:20.000:50"} << 1
        << "341 regimi, al massimo 201";
    // A step that does not move the speed is refused: counted by whole steps, the run is bounded.
    QTest::newRow("a step that does not move the speed")
        << QStringList{"--waves", "--rpm-range", "30000:30000:1e-300"} << 1
        << "non sposta il regime";
    QTest::newRow("wave cell too small")
        << QStringList{"--waves", "--cell", "0.1"} << 1 << "--cell";
    QTest::newRow("probe past the pipe's end")
        << QStringList{"--waves", "--probe", "5000"} << 3 << "oltre la fine del tubo";
    // Both lengths with the digits that tell them apart.
    QTest::newRow("probe just past the pipe's end")
        << QStringList{"--waves", "--probe", "1026.5"} << 3
        << "La sonda a 1026.50 mm \u00e8 oltre la fine del tubo, lungo 1026.47 mm";
    QTest::newRow("wave refusal under it_IT")
        << QStringList{"--locale", "it_IT", "--waves", "--probe", "1026,5"} << 3
        << "La sonda a 1026,50 mm";
    // Work bounded as a whole, not only count by count: refused before it starts.
    QTest::newRow("days of work")
        << QStringList{"--waves", "--cell", "0.5", "--rpm-range", "500:30000:150", "--probe",
                       "100"}
        << 3 << "oltre il limite di 2000 milioni";
    QTest::newRow("a displacement the waves cannot take")
        << QStringList{"--waves", "--cil", "0.001"} << 3 << "tra 2 e 2000";
    QTest::newRow("a gas temperature the waves cannot take")
        << QStringList{"--waves", "--temp", "5000"} << 3 << "tra 0 e 1500";
    QTest::newRow("not a number for the cylinder")
        << QStringList{"--waves", "--eo-pressure", "nan"} << 1 << "--eo-pressure";
    QTest::newRow("nine probes") << QStringList{"--waves", "--probe", "1", "--probe",
                                                "2",       "--probe", "3", "--probe",
                                                "4",       "--probe", "5", "--probe",
                                                "6",       "--probe", "7", "--probe",
                                                "8",       "--probe", "9"}
                                 << 1 << "al massimo 8";
    QTest::newRow("probe without the waves")
        << QStringList{"--probe", "100"} << 1 << "vanno con --waves";
    QTest::newRow("a method's negative belly")
        << QStringList{"--method", "jennings", "--cone-angles", "1:30"} << 3
        << "tratto 3 di lunghezza -";
}

void TestCli::exitStatuses()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run r = runCli(args);
    QCOMPARE(r.exitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY(r.out.contains("L1"));
    } else {
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
    for (QChar c : r.err) // nothing typed reaches the terminal as a control sequence
        QVERIFY2(c == QLatin1Char('\n') || c.unicode() >= 0x20, qPrintable(r.err));
}

void TestCli::failedWritesKeepOldFiles_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("fullDisk"); // else a file-size limit
    for (bool full : {true, false}) {
        const char *how = full ? "full disk" : "size limit";
        QTest::addRow("--write, %s", how) << "--write"
                                          << "progetto.vlr" << full;
        QTest::addRow("--svg, %s", how) << "--svg"
                                        << "schizzo.svg" << full;
        for (const char *ext : {"svg", "dxf", "pdf"})
            QTest::addRow("--patterns .%s, %s", ext, how)
                << "--patterns" << QStringLiteral("sviluppi.%1").arg(ext) << full;
        QTest::addRow("--traces, %s", how) << "--traces"
                                           << "tracce.csv" << full;
    }
}

void TestCli::failedWritesKeepOldFiles()
{
    QFETCH(QString, option);
    QFETCH(QString, file);
    QFETCH(bool, fullDisk);
    const QByteArray old("contenuto di prima\r\n");
    QTemporaryDir tmp;
    test::FullDisk disk({{file, old}});
    if (fullDisk && !disk.available())
        QSKIP(qPrintable(disk.why()));
    const QString folder = fullDisk ? disk.folder() : tmp.path();
    const QString path = folder + QLatin1Char('/') + file;
    if (!fullDisk)
        QVERIFY(test::writeBytes(path, old));
    const QStringList before = test::entries(folder);

    QStringList args{option, path};
    if (option == QLatin1String("--traces"))
        args << "--waves"
             << "--cell"
             << "20";
    const Run r = runCli(args, fullDisk ? std::function<void()>() : test::limitFileSize);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(path), qPrintable(r.err));
    QVERIFY2(r.err.contains(fullDisk ? "spazio esaurito sul disco" : "dimensione massima"),
             qPrintable(r.err));
    QCOMPARE(readAll(path), old);
    QCOMPARE(test::entries(folder), before);
}

void TestCli::honestExits_data()
{
    // Files of the run: "@" stands for the run's folder.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // on stderr; empty: none, and this on stdout instead
    QTest::addColumn<QString>("out");
    const QStringList waves{"--waves", "--cell", "20"};
    // No output may overwrite an input, and two outputs never share a file.
    QTest::newRow("traces onto the pipe read")
        << QStringList{"--pipe", "@/m.csv", "--traces", "@/m.csv"} + waves << 1
        << "--traces \"@/m.csv\" \u00e8 anche il file letto da --pipe" << QString();
    QTest::newRow("cut list onto the pipe read")
        << QStringList{"--pipe", "@/m.csv", "--cut-list", "@/./m.csv"} << 1
        << "un'uscita non pu\u00f2 sovrascrivere un file letto" << QString();
    QTest::newRow("traces onto the design file")
        << QStringList{"@/p.vlr", "--traces", "@/p.vlr"} + waves << 1
        << "\u00e8 anche il file di progetto" << QString();
    QTest::newRow("two outputs, one file")
        << QStringList{"--traces", "@/x.dxf", "--patterns", "@/x.dxf"} + waves << 1
        << "--patterns e --traces scriverebbero lo stesso file" << QString();
    QTest::newRow("design file written over itself")
        << QStringList{"@/p.vlr", "--write", "@/p.vlr"} << 1 << "il file di progetto"
        << QString();
    // A measured pipe does not need the first sizing to hold.
    QTest::newRow("measured pipe, first sizing refused")
        << QStringList{"--cil", "800", "--pipe", "@/m.csv"} + waves << 0 << QString()
        << "Primo dimensionamento non calcolabile: Lunghezza L3 negativa";
    QTest::newRow("measured pipe, first sizing's sketch asked")
        << QStringList{"--cil", "800", "--pipe", "@/m.csv", "--svg", "@/s.svg"} << 3
        << "Lunghezza L3 negativa" << QString();
    // A measured pipe is cut as measured: no boxes of the methods reshape it.
    QTest::newRow("measured pipe in stages")
        << QStringList{"--pipe", "@/m.csv", "--stages", "3"} << 1 << "--pipe con --stages"
        << QString();
    // Files over their bound are refused whole, never read in part.
    QTest::newRow("pipe file over 4 MiB")
        << QStringList{"--pipe", "@/big.csv"} << 1 << "il file supera il limite di 4 MiB"
        << QString();
    QTest::newRow("diameter of 4.9e-324")
        << QStringList{"--pipe", "@/tiny-d.csv", "--band"} << 1 << "riga 3: " << QString();
    QTest::newRow("header not x_mm,d_mm")
        << QStringList{"--pipe", "@/header.csv"} << 1
        << "riga 1: serve l'intestazione x_mm,d_mm oppure lunghezza_mm,d_in_mm,d_out_mm, "
           "trovato \"x,d\""
        << QString();
    // A pipe too short for the model: its time step would shrink without end.
    QTest::newRow("pipe of 1e-300 mm")
        << QStringList{"--pipe", "@/short.csv"} + waves << 3
        << "il modello delle onde prende tubi di almeno 50 mm" << QString();
    // The search: its options only with it, its band and limits as they can be, a pipe shape it
    // can vary, and never its pipe over a file it reads.
    QTest::newRow("objective without a band")
        << QStringList{"--objective", "picco"} << 1 << "--objective serve con --optimize"
        << QString();
    QTest::newRow("band backwards")
        << QStringList{"--optimize", "11000:9000"} << 1 << "Valore non valido per --optimize"
        << QString();
    QTest::newRow("angle limits upside down")
        << QStringList{"--optimize", "9000:11000", "--angle-limits", "5:2"} << 1
        << "Limiti dell'ottimizzazione non validi: semiangoli dei coni" << QString();
    QTest::newRow("budget of a million")
        << QStringList{"--optimize", "9000:11000", "--evaluations", "1000000"} << 1
        << "un numero intero tra 10 e 2000" << QString();
    QTest::newRow("best pipe onto the pipe read")
        << QStringList{"--pipe", "@/m.csv", "--optimize", "9000:11000", "--write-pipe",
                       "@/m.csv"}
        << 1 << "--write-pipe \"@/m.csv\" \u00e8 anche il file letto da --pipe" << QString();
    QTest::newRow("a box it cannot vary")
        << QStringList{"--pipe", "@/box.csv", "--optimize", "9000:11000"} << 3
        << "Impossibile ottimizzare il tubo: il tubo non ha la forma" << QString();
    // A band is a band whatever way its number is written.
    QTest::newRow("band 1e-300") << QStringList{"--band", "1e-300"} << 1
                                 << "Valore non valido per --band: \"1e-300\" (serve un numero "
                                    "tra 0.5 e 90)"
                                 << QString();
    // No NaN reaches a number shown: a sensitivity row with no meaning says so.
    QTest::newRow("sensitivity below absolute zero")
        << QStringList{"--cil", "2", "--temp", "53.4", "--sensitivity"} << 0 << QString()
        << "TEMP1 -100 \u00b0C    non definita";
    QTest::newRow("speeds read as the RPM box, it_IT")
        << QStringList{"--locale", "it_IT", "--rpm-range", "9.000:10.000:1.000"} + waves << 0
        << QString() << "  10.000 ";
}

void TestCli::honestExits()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QString, out);
    QTemporaryDir tmp;
    QVERIFY(test::writeBytes(tmp.filePath("m.csv"), "x_mm,d_mm\n0,38\n300,38\n600,90\n900,90\n"
                                                     "1000,30\n1200,30\n"));
    QVERIFY(test::writeBytes(tmp.filePath("p.vlr"), "100\r\n10000\r\n120\r\n180\r\n7\r\n3\r\n"
                                                     "800\r\n4\r\n"));
    QByteArray big = "x_mm,d_mm\n0,40\n";
    while (big.size() <= (4 << 20))
        big += "500,40\n";
    QVERIFY(test::writeBytes(tmp.filePath("big.csv"), big));
    QVERIFY(test::writeBytes(tmp.filePath("tiny-d.csv"), "x_mm,d_mm\n0,40\n100,4.9e-324\n"));
    QVERIFY(test::writeBytes(tmp.filePath("header.csv"), "x,d\n0,40\n100,40\n"));
    QVERIFY(test::writeBytes(tmp.filePath("short.csv"), "x_mm,d_mm\n0,40\n1e-300,40\n"));
    QVERIFY(test::writeBytes(tmp.filePath("box.csv"), "x_mm,d_mm\n0,38\n200,38\n200,200\n"
                                                       "518,200\n518,38\n718,38\n"));
    const QByteArray pipeBefore = readAll(tmp.filePath("m.csv"));
    for (QString &a : args)
        a.replace(QLatin1Char('@'), tmp.path());
    message.replace(QLatin1Char('@'), tmp.path());
    const Run r = runCli(args);
    QVERIFY2(r.exitCode == exitCode, qPrintable(QString::number(r.exitCode) + " " + r.err));
    if (!message.isEmpty())
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    if (!out.isEmpty())
        QVERIFY2(QString::fromUtf8(r.out).contains(out), r.out.constData());
    // NaN and infinity as words or numbers, not inside the temporary folder's random name.
    static const QRegularExpression notANumber(QStringLiteral("\\b(-?nan|-?inf(inity)?)\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (QString text : {r.err, QString::fromUtf8(r.out)}) {
        text.replace(tmp.path(), QStringLiteral("@"));
        QVERIFY2(!notANumber.match(text).hasMatch() && !text.contains("-9223372036854775808"),
                 qPrintable(text));
    }
    // Inputs untouched whatever happened.
    QCOMPARE(readAll(tmp.filePath("m.csv")), pipeBefore);
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

// A project of the workshop window is the command line's starting point: its design, sheet,
// pipe (the measured one from its own stations), engine, speeds and probe; options go over it.
void TestCli::projectAsStartingPoint()
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
void TestCli::optimizeFindsAndWritesThePipe()
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

void TestCli::workshopOutputs()
{
    QTemporaryDir dir;
    const QString dxf = dir.filePath("lamiere.dxf"), pdf = dir.filePath("sagome.pdf"),
                  csv = dir.filePath("taglio.csv");
    // Warnings go to stderr and the result stands.
    const Run r = runCli(
        {"--div",   "9",          "--sheet",     "1.5",        "--seam", "10",      "--sheet-size",
         "800x400", "--gap=5",    "--max-sweep", "20",         "--name", "Prova",   "--page",
         "A3",      "--patterns", dxf,           "--cut-list", csv,      "--split", "foglio"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.contains("Avviso DIVERGENT_ANGLE: Angolo del divergente di 9,0\u00b0"),
             qPrintable(r.err));

    const QJsonObject w = runJson({"--div", "9", "--sheet", "1.5", "--seam", "10", "--sheet-size",
                                   "800x400", "--gap=5", "--max-sweep", "20"})["workshop"]
                              .toObject();
    QCOMPARE(w["sheetThickness"].toDouble(), 1.5);
    QCOMPARE(w["gap"].toDouble(), 5.0);
    QCOMPARE(w["warnings"].toArray()[0].toObject()["code"].toString(), "DIVERGENT_ANGLE");
    const QJsonArray parts = w["parts"].toArray();
    QVERIFY(parts.size() > 5); // the 43.9 degree cone in 20 degree pieces
    for (const QJsonValue &v : parts) {
        const QJsonObject p = v.toObject();
        QVERIFY(p["sheet"].toInt() >= 1 && p["sheet"].toInt() <= w["sheets"].toInt());
        QVERIFY(p["x"].toDouble() >= 5 - 1e-9 && p["y"].toDouble() >= 5 - 1e-9);
        QCOMPARE(p["allowance"].toDouble(), 10.0);
    }
    // One DXF per sheet, each with its sheet's outlines; the cut list has every part.
    int outlines = 0;
    for (int s = 1; s <= w["sheets"].toInt(); ++s) {
        const QByteArray bytes =
            readAll(dir.filePath(QStringLiteral("lamiere-foglio%1.dxf").arg(s)));
        QVERIFY(bytes.endsWith("EOF\r\n"));
        outlines += int(bytes.count("POLYLINE\r\n  8\r\nCUT"));
    }
    QCOMPARE(outlines, parts.size());
    QCOMPARE(readAll(csv).count('\n'), parts.size() + 1);

    QCOMPARE(runCli({"--page", "A3", "--patterns", pdf}).exitCode, 0);
    QVERIFY(readAll(pdf).contains("/MediaBox [0 0 842.000000 1191.000000]"));
    QCOMPARE(runCli({"--page", "B5", "--patterns", pdf}).exitCode, 1);
}

void TestCli::svgOutputs()
{
    QTemporaryDir dir;
    const QString sketch = dir.filePath("sketch.svg");
    const QString templates = dir.filePath("templates.svg");
    const Run r = runCli({"--svg", sketch, "--patterns", templates});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QString()); // no GUI start-up, no font warnings
    const QString s = QString::fromUtf8(readAll(sketch));
    QVERIFY(s.contains("viewBox=\"0 0 11520 3720\""));
    QVERIFY(s.contains("<line id=\"LineaQ0\" x1=\"1080\" y1=\"3280\" x2=\"11400\" y2=\"3280\""));
    QVERIFY(s.contains(">L1=164.1 mm</text>"));
    QCOMPARE(s.count("<line "), 26);
    const QString t = QString::fromUtf8(readAll(templates));
    QVERIFY(t.contains("width=\""));
    QVERIFY(t.contains("mm\" height="));
    QCOMPARE(t.count("<path "), 5); // one outline per part, the defaults in five
    QCOMPARE(t.count(" A "), 4);    // two arcs per cone
    QVERIFY(t.contains("<g id=\"SHEET\""));
}

// The sketch SVG, read with an XML parser, draws every element where the JSON's sketch puts it.
void TestCli::sketchSvgIsTheJsonSketch()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s.svg");
    const QJsonObject sketch = runJson({"--cil", "125", "--rpm", "9500", "--sketch-width", "9000",
                                        "--svg", path})["sketch"]
                                   .toObject();
    QHash<QString, QXmlStreamAttributes> drawn;
    QHash<QString, QString> texts;
    QXmlStreamReader xml(readAll(path));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString id = xml.attributes().value("id").toString();
        drawn.insert(id, xml.attributes());
        if (xml.name() == QLatin1String("text"))
            texts.insert(id, xml.readElementText());
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    const QJsonArray elements = sketch["elements"].toArray();
    QCOMPARE(elements.size(), 38);
    auto at = [](const QXmlStreamAttributes &a, const char *key) {
        return a.value(QLatin1String(key)).toDouble();
    };
    for (const QJsonValue &v : elements) {
        const QJsonObject e = v.toObject();
        const QString name = e["name"].toString(), kind = e["kind"].toString();
        QVERIFY2(drawn.contains(name), qPrintable(name));
        const QXmlStreamAttributes a = drawn[name];
        auto same = [](double svg, double json) {
            return qAbs(svg - json) <= 1e-6 * std::max(1.0, qAbs(json));
        };
        if (kind == "line") {
            QVERIFY2(
                same(at(a, "x1"), e["x1"].toDouble()) && same(at(a, "y1"), e["y1"].toDouble()) &&
                    same(at(a, "x2"), e["x2"].toDouble()) && same(at(a, "y2"), e["y2"].toDouble()),
                qPrintable(name));
        } else if (kind == "rectangle") {
            QVERIFY2(same(at(a, "x"), e["left"].toDouble()) &&
                         same(at(a, "y"), e["top"].toDouble()) &&
                         same(at(a, "width"), e["width"].toDouble()) &&
                         same(at(a, "height"), e["height"].toDouble()),
                     qPrintable(name));
        } else if (kind == "circle") {
            const double w = e["width"].toDouble(), h = e["height"].toDouble();
            QVERIFY2(same(at(a, "cx"), e["left"].toDouble() + w / 2) &&
                         same(at(a, "cy"), e["top"].toDouble() + h / 2) &&
                         same(at(a, "r"), std::min(w, h) / 2),
                     qPrintable(name));
        } else {
            QCOMPARE(kind, "caption");
            // Captions hang from their top: the baseline 150 twips below it.
            QVERIFY2(same(at(a, "y"), e["top"].toDouble() + 150), qPrintable(name));
            if (name != "txtQDiv")
                QVERIFY2(same(at(a, "x"), e["centerX"].toDouble()), qPrintable(name));
        }
    }
    const QJsonObject captions = runJson({"--cil", "125", "--rpm", "9500"})["captions"].toObject();
    for (auto it = captions.begin(); it != captions.end(); ++it)
        QCOMPARE(texts.value(it.key()), it.value().toString());
}

// Every part's JSON fields against its development worked out here from the sizing's own
// lengths and diameters: mean diameters, slant, radii, sweep and edges.
void TestCli::jsonPartsAgainstDevelopment()
{
    const QJsonObject root =
        runJson({"--sheet", "1.5", "--max-sweep", "40", "--max-length", "150", "--seam", "8"});
    const QJsonObject r = root["results"].toObject();
    const double d[4] = {0, r["D1"].toDouble(), r["D2"].toDouble(), r["D3"].toDouble()};
    const double ends[6][2] = {{0, 0},       {d[1], d[1]}, {d[1], d[2]},
                               {d[2], d[2]}, {d[2], d[3]}, {d[3], d[3]}};
    const double lengths[6] = {0,
                               r["L1"].toDouble(),
                               r["L2"].toDouble(),
                               r["L3"].toDouble(),
                               r["L4"].toDouble(),
                               r["L5"].toDouble()};
    const double pi = 3.14159265358979323846;
    const QJsonArray parts = root["workshop"].toObject()["parts"].toArray();
    QVERIFY(parts.size() > 10);
    for (const QJsonValue &v : parts) {
        const QJsonObject p = v.toObject();
        const int seg = p["segment"].toInt(), stretch = p["stretch"].toInt() - 1,
                  stretches = p["stretches"].toInt(), pieces = p["pieces"].toInt();
        const double t0 = double(stretch) / stretches, t1 = double(stretch + 1) / stretches;
        const double m1 = ends[seg][0] + (ends[seg][1] - ends[seg][0]) * t0 + 1.5,
                     m2 = ends[seg][0] + (ends[seg][1] - ends[seg][0]) * t1 + 1.5;
        const double length = lengths[seg] / stretches;
        const QString name = p["name"].toString();
        auto close = [](double a, double b) {
            return qAbs(a - b) <= 1e-9 * std::max(1.0, qAbs(b));
        };
        QVERIFY2(close(p["meanDiameter1"].toDouble(), m1), qPrintable(name));
        QVERIFY2(close(p["meanDiameter2"].toDouble(), m2), qPrintable(name));
        QVERIFY2(close(p["length"].toDouble(), length), qPrintable(name));
        QCOMPARE(p["allowance"].toDouble(), 8.0);
        if (p["kind"].toString() == "rectangle") {
            QVERIFY2(close(p["outerEdge"].toDouble(), pi * m1 / pieces), qPrintable(name));
            QVERIFY2(close(p["width"].toDouble(), pi * m1 / pieces + 8), qPrintable(name));
            QVERIFY2(close(p["height"].toDouble(), length), qPrintable(name));
            continue;
        }
        const double dr = qAbs(m1 - m2) / 2, slant = std::hypot(length, dr);
        const double R = slant * std::max(m1, m2) / 2 / dr;
        QVERIFY2(close(p["slant"].toDouble(), slant), qPrintable(name));
        QVERIFY2(close(p["outerRadius"].toDouble(), R), qPrintable(name));
        QVERIFY2(close(p["innerRadius"].toDouble(), R - slant), qPrintable(name));
        QVERIFY2(close(p["sweepDegrees"].toDouble(), 360 * dr / slant / pieces), qPrintable(name));
        QVERIFY2(close(p["outerEdge"].toDouble(), pi * std::max(m1, m2) / pieces),
                 qPrintable(name));
        QVERIFY2(close(p["innerEdge"].toDouble(), pi * std::min(m1, m2) / pieces),
                 qPrintable(name));
        QVERIFY(p["sweepDegrees"].toDouble() <= 40 + 1e-9);
    }
}

void TestCli::splitSetsAreWhole_data()
{
    QTest::addColumn<QStringList>("first");  // an earlier export of the same name
    QTest::addColumn<QStringList>("second"); // the export checked
    QTest::addColumn<QStringList>("files");  // what the folder holds after it
    QTest::addColumn<QStringList>("offSheet");
    const QStringList big{"--cil",  "125", "--rpm",        "6000",
                          "--conv", "9",   "--sheet-size", "600x400"};
    QTest::newRow("a part that fits no sheet gets a file of its own")
        << QStringList() << big + QStringList{"--split", "foglio"}
        << QStringList{"s-foglio1.dxf", "s-fuori-3.dxf"} << QStringList{"3"};
    QTest::newRow("nothing fits: every part on its own")
        << QStringList() << QStringList{"--sheet-size", "10x10", "--split", "foglio"}
        << QStringList{"s-fuori-1.dxf", "s-fuori-2.dxf", "s-fuori-3.dxf", "s-fuori-4.dxf",
                       "s-fuori-5.dxf"}
        << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("fewer sheets than last time")
        << QStringList{"--split", "foglio", "--sheet-size", "300x300"}
        << QStringList{"--split", "foglio"} << QStringList{"s-foglio1.dxf"} << QStringList();
    QTest::newRow("fewer pieces than last time")
        << QStringList{"--split", "pezzo", "--max-length", "150"} << QStringList{"--split", "pezzo"}
        << QStringList{"s-1.dxf", "s-2.dxf", "s-3.dxf", "s-4.dxf", "s-5.dxf"} << QStringList();
}

// A split export writes every part somewhere, and replaces the earlier set of its name whole:
// no member of the old set is left beside the new one.
void TestCli::splitSetsAreWhole()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QStringList, files);
    QFETCH(QStringList, offSheet);
    QTemporaryDir dir;
    const QString path = dir.filePath("s.dxf");
    // The user's own files, named as members could be: never removed.
    QStringList users{"s-altro.dxf", "s-2023.dxf", "s-1vecchio.dxf", "s-foglio99.dxf"};
    for (const QString &name : users)
        QVERIFY(test::writeBytes(dir.filePath(name), "not ours"));
    if (!first.isEmpty()) {
        QCOMPARE(runCli(first + QStringList{"--patterns", path}).exitCode, 0);
        // A member kept under another name of the set's pattern is the user's now.
        const QString kept = first.contains("pezzo") ? "s-17.dxf" : "s-foglio17.dxf";
        const QStringList written = QDir(dir.path()).entryList({"s-*.dxf"}, QDir::Files);
        const QStringList ours = QSet<QString>(written.begin(), written.end())
                                     .subtract(QSet<QString>(users.begin(), users.end()))
                                     .values();
        QVERIFY(!ours.isEmpty());
        QVERIFY(QFile::copy(dir.filePath(ours.first()), dir.filePath(kept)));
        users << kept;
    }
    const Run r = runCli(second + QStringList{"--patterns", path});
    QCOMPARE(r.exitCode, 0);
    QStringList expected = users + files, found = test::entries(dir.path());
    expected.sort();
    found.sort();
    QCOMPARE(found, expected);
    for (const QString &part : offSheet)
        QVERIFY2(r.err.contains(QStringLiteral("Il pezzo %1 non sta in nessuna lamiera: scritto a "
                                               "parte in %2")
                                    .arg(part, dir.filePath("s-fuori-" + part + ".dxf"))),
                 qPrintable(r.err));
    // Together the files hold every part once.
    const int parts = runJson(second.mid(0, second.indexOf("--split")) +
                              second.mid(second.indexOf("--split") + 2))["workshop"]
                          .toObject()["parts"]
                          .toArray()
                          .size();
    int outlines = 0;
    for (const QString &f : files)
        outlines += int(readAll(dir.filePath(f)).count("POLYLINE\r\n  8\r\nCUT"));
    QCOMPARE(outlines, parts);
}

void TestCli::failedSplitKeepsOldSet_data()
{
    QTest::addColumn<bool>("fullDisk"); // else a file-size limit
    QTest::newRow("full disk") << true;
    QTest::newRow("size limit") << false;
}

// A split export that fails part-way changes no file of the old set and leaves nothing new.
void TestCli::failedSplitKeepsOldSet()
{
    QFETCH(bool, fullDisk);
    const QList<QPair<QString, QByteArray>> old{
        {"s-1.dxf", "vecchio 1"}, {"s-2.dxf", "vecchio 2"}, {"s-2a.dxf", "vecchio 2a"}};
    test::FullDisk disk(old);
    QTemporaryDir tmp;
    if (fullDisk && !disk.available())
        QSKIP(qPrintable(disk.why()));
    const QString folder = fullDisk ? disk.folder() : tmp.path();
    if (!fullDisk)
        for (const auto &[name, bytes] : old)
            QVERIFY(test::writeBytes(folder + '/' + name, bytes));
    const QStringList before = test::entries(folder);
    const Run r = runCli({"--split", "pezzo", "--patterns", folder + "/s.dxf"},
                         fullDisk ? std::function<void()>() : test::limitFileSize);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(fullDisk ? "spazio esaurito sul disco" : "dimensione massima"),
             qPrintable(r.err));
    QCOMPARE(test::entries(folder), before);
    for (const auto &[name, bytes] : old)
        QCOMPARE(readAll(folder + '/' + name), bytes);
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

void TestCli::progressOnTerminalOnly_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("progress"); // as the terminal shows it
    QTest::newRow("nesting") << QStringList{"--cil", "250", "--max-length", "2", "--json"}
                             << "\\rDisposizione dei pezzi: +\\d+ %";
    QTest::newRow("waves") << QStringList{"--waves", "--rpm-range", "5000:15000:500", "--cell", "5"}
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

void TestCli::bandAndPipe_data()
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

void TestCli::bandAndPipe()
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

void TestCli::stagesCutAsTheirOwnCones()
{
    const QJsonObject j = runJson({"--stages", "3", "--horn", "2", "--max-sweep", "90"});
    const QJsonArray sections = j["pipe"]["sections"].toArray();
    const QJsonArray patterns = j["patterns"].toArray();
    QCOMPARE(sections.size(), 7);
    QCOMPARE(patterns.size(), 7);
    QStringList labels;
    for (int i = 0; i < 7; ++i) {
        labels << patterns[i]["label"].toString();
        QCOMPARE(patterns[i]["d1"].toDouble(), sections[i]["d_in"].toDouble());
        QCOMPARE(patterns[i]["d2"].toDouble(), sections[i]["d_out"].toDouble());
    }
    QCOMPARE(labels, QStringList({"1", "2.1", "2.2", "2.3", "3", "4", "5"}));
    // Each stage its own cone: the steepest last on a trumpet horn, parts named by stage.
    QVERIFY(patterns[1]["sweepDegrees"].toDouble() < patterns[3]["sweepDegrees"].toDouble());
    QSet<QString> named;
    for (const QJsonValue &part : j["workshop"]["parts"].toArray())
        named << part["name"].toString().left(3);
    QVERIFY2(named.contains("2.1") && named.contains("2.2") && named.contains("2.3"),
             qPrintable(QStringList(named.values()).join(' ')));
}

void TestCli::wavesInJsonAndTraces()
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

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

// Drives the built velmorant-cli where things go wrong: its exit statuses, failed writes that
// keep the old files, and outputs that would land on its inputs.
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

class TestCliExits : public QObject
{
    Q_OBJECT

private slots:
    void exitStatuses_data();
    void exitStatuses();
    void failedWritesKeepOldFiles_data();
    void failedWritesKeepOldFiles();
    void honestExits_data();
    void honestExits();
};

void TestCliExits::exitStatuses_data()
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

void TestCliExits::exitStatuses()
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

void TestCliExits::failedWritesKeepOldFiles_data()
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

void TestCliExits::failedWritesKeepOldFiles()
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

void TestCliExits::honestExits_data()
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

void TestCliExits::honestExits()
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

QTEST_GUILESS_MAIN(TestCliExits)
#include "tst_cliexits.moc"

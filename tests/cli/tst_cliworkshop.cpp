// Drives the built velmorant-cli for the workshop: patterns, cut lists, SVG and DXF sets and
// the parts in its JSON against their developments.
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

class TestCliWorkshop : public QObject
{
    Q_OBJECT

private slots:
    void stagesCutAsTheirOwnCones();
    void workshopOutputs();
    void svgOutputs();
    void sketchSvgIsTheJsonSketch();
    void jsonPartsAgainstDevelopment();
    void splitSetsAreWhole_data();
    void splitSetsAreWhole();
    void failedSplitKeepsOldSet_data();
    void failedSplitKeepsOldSet();
};

void TestCliWorkshop::stagesCutAsTheirOwnCones()
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

void TestCliWorkshop::workshopOutputs()
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

void TestCliWorkshop::svgOutputs()
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
void TestCliWorkshop::sketchSvgIsTheJsonSketch()
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
void TestCliWorkshop::jsonPartsAgainstDevelopment()
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

void TestCliWorkshop::splitSetsAreWhole_data()
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
void TestCliWorkshop::splitSetsAreWhole()
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

void TestCliWorkshop::failedSplitKeepsOldSet_data()
{
    QTest::addColumn<bool>("fullDisk"); // else a file-size limit
    QTest::newRow("full disk") << true;
    QTest::newRow("size limit") << false;
}

// A split export that fails part-way changes no file of the old set and leaves nothing new.
void TestCliWorkshop::failedSplitKeepsOldSet()
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

QTEST_GUILESS_MAIN(TestCliWorkshop)
#include "tst_cliworkshop.moc"

// A gas path's file: read with its pipes merged, walls and volumes as written, turned round
// for the intake, written back as it reads; refused naming the element.
#include "gaspath.h"

#include <QtTest>

using namespace velmorant;
using namespace velmorant::waves;

namespace {

Pipe tube(double lengthMm, double dMm)
{
    Pipe p;
    p.sections << PipeSection(lengthMm, dMm, dMm);
    return p;
}

} // namespace

class TestGasPath : public QObject
{
    Q_OBJECT

private slots:
    void pathRead();
    void pathRefused_data();
    void pathRefused();
};

void TestGasPath::pathRead()
{
    const QByteArray json = R"({"version": 1, "elements": [
      {"pipe": [[0, 38], [100, 38]], "wall_c": 400},
      {"pipe": [[0, 38], [50, 44]], "wall_c": [[0, 300], [50, 200]]},
      {"volume_l": 2.5, "wall_c": 250, "cd_in": 0.9},
      {"pipe": "coda.csv"}]})";
    QStringList asked;
    const GasPathRead read = readGasPath(json, [&](const QString &name) {
        asked << name;
        PipeRead r;
        r.pipe = tube(120, 30);
        return r;
    });
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(asked, QStringList{"coda.csv"});
    QCOMPARE(read.path.pipes.size(), 2); // the first two are one pipe
    QCOMPARE(read.path.pipes[0].pipe.length(), 150.0);
    QCOMPARE(read.path.pipes[0].wallC.size(), 4);
    QCOMPARE(wallKelvinAt(read.path.pipes[0].wallC, 125), 250 + 273.15);
    QCOMPARE(wallKelvinAt(read.path.pipes[0].wallC, 20), 400 + 273.15);
    QVERIFY(read.path.pipes[1].wallC.isEmpty());
    QCOMPARE(read.path.volumes.size(), 1);
    QCOMPARE(read.path.volumes[0].litres, 2.5);
    QCOMPARE(read.path.volumes[0].cdIn, 0.9);
    QCOMPARE(read.path.volumes[0].cdOut, 1.0);
    QCOMPARE(read.path.volumes[0].element, 3);
    QCOMPARE(read.path.volumes[0].wallC.value_or(0), 250.0);
    // Turned round: the tail first, its ends swapped; the volume's in and out are its own.
    const GasPath back = read.path.reversed();
    QCOMPARE(back.pipes[0].pipe.length(), 120.0);
    QCOMPARE(back.pipes[1].pipe.sections.first().dIn, 44.0);
    QCOMPARE(wallKelvinAt(back.pipes[1].wallC, 0), 200 + 273.15);
    QCOMPARE(wallKelvinAt(back.pipes[1].wallC, 140), 400 + 273.15);
    QCOMPARE(back.volumes[0].cdIn, 0.9);
    QCOMPARE(back.volumes[0].cdOut, 1.0);
    // Written with its stations and read back: the same path, without the pipe's file.
    const QByteArray again = gasPathJson(read.path);
    const GasPathRead reread = readGasPath(again, [](const QString &) { return PipeRead(); });
    QVERIFY2(reread.ok(), qPrintable(reread.error));
    QCOMPARE(gasPathJson(reread.path), again);
    QCOMPARE(reread.path.pipes[0].pipe.sections.size(), read.path.pipes[0].pipe.sections.size());
    QCOMPARE(reread.path.pipes[1].pipe.length(), 120.0);
}

void TestGasPath::pathRefused_data()
{
    QTest::addColumn<QByteArray>("elements");
    QTest::addColumn<QString>("says");
    const QByteArray pipe = R"({"pipe": [[0, 38], [200, 38]]})";
    QTest::newRow("a volume of nothing") << pipe + R"(, {"volume_l": 0}, )" + pipe << "elemento 2: il volume";
    QTest::newRow("a negative volume") << pipe + R"(, {"volume_l": -3}, )" + pipe << "elemento 2";
    QTest::newRow("litres as text") << pipe + R"(, {"volume_l": "10"}, )" + pipe << "numero";
    QTest::newRow("not open at the end") << pipe + R"(, {"volume_l": 10})" << "aperto";
    QTest::newRow("a volume first") << R"({"volume_l": 10}, )" + pipe << "tra due tubi";
    QTest::newRow("a hot pipe then an adiabatic one") << QByteArray(R"({"pipe": [[0, 38], [9, 38]], "wall_c": 300}, {"pipe": [[0, 38], [9, 38]]})") << "elemento 2: due tubi";
    QTest::newRow("two volumes") << pipe + R"(, {"volume_l": 1}, {"volume_l": 1}, )" + pipe << "elemento 3";
    QTest::newRow("one station") << QByteArray(R"({"pipe": [[0, 38]]})") << "almeno due";
    QTest::newRow("unknown key") << QByteArray(R"({"pipe": [[0, 38], [9, 38]], "colore": 1})") << "colore";
    QTest::newRow("too hot") << QByteArray(R"({"pipe": [[0, 38], [9, 38]], "wall_c": 1300})") << "tra 0 e 1200";
    QTest::newRow("below zero") << QByteArray(R"({"pipe": [[0, 38], [9, 38]], "wall_c": [[0, -5]]})") << "tra 0 e 1200";
    QTest::newRow("profile past the end") << QByteArray(R"({"pipe": [[0, 38], [9, 38]], "wall_c": [[0, 300], [20, 200]]})") << "in ordine";
    QTest::newRow("x going back") << QByteArray(R"({"pipe": [[0, 38], [9, 38], [4, 38]]})") << "elemento 1";
    QTest::newRow("a volume wall as a profile") << pipe + R"(, {"volume_l": 1, "wall_c": [[0, 300]]}, )" + pipe << "adiabatica";
    QTest::newRow("a volume wall too hot") << pipe + R"(, {"volume_l": 1, "wall_c": 1300}, )" + pipe << "tra 0 e 1200";
    QTest::newRow("cd above one") << pipe + R"(, {"volume_l": 1, "cd_out": 1.5}, )" + pipe << "cd_out";
}

void TestGasPath::pathRefused()
{
    QFETCH(QByteArray, elements);
    QFETCH(QString, says);
    const GasPathRead read = readGasPath(R"({"version": 1, "elements": [)" + elements + "]}",
                                         [](const QString &) { return PipeRead(); });
    QVERIFY(!read.ok());
    QVERIFY2(read.error.contains(says), qPrintable(read.error));
    QVERIFY(read.path.pipes.isEmpty() || !read.ok());
    const GasPathRead version = readGasPath(R"({"version": 2, "elements": []})", {});
    QVERIFY(version.error.contains(QStringLiteral("versione")));
}

QTEST_GUILESS_MAIN(TestGasPath)
#include "tst_gaspath.moc"

// Where the mean pressure goes, as the command line gives it: the JSON's steps reach the
// indicated and brake figures it gives beside them, the curves carry the same numbers, the
// table shows them, and the friction's turns are an option with its range.
#include "clirun.h"
#include "testfiles.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmorant;
using test::Run;
using test::runCli;
using test::runJson;

namespace {

QStringList engine()
{
    return {"--cil",   "124.82",      "--bore",           "54",     "--stroke", "54.5",
            "--waves", "--rpm-range", "10000:11000:1000", "--cell", "20"};
}

const char *const Losses[] = {"delivery", "trapping", "combustion", "heat", "exhaust"};

} // namespace

class TestCliMeanPressures : public QObject
{
    Q_OBJECT

private slots:
    void stepsReachTheFigures();
    void frictionTurns_data();
    void frictionTurns();
};

void TestCliMeanPressures::stepsReachTheFigures()
{
    QTemporaryDir dir;
    const QString curves = dir.filePath("curve.csv");
    const QJsonObject o = runJson(engine() + QStringList{"--curves", curves});
    const QJsonArray speeds = o["waves"].toObject()["speeds"].toArray();
    QCOMPARE(speeds.size(), 2);
    const QList<QByteArray> lines = test::readAll(curves).trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    const QList<QByteArray> head = lines[0].split(',');
    const QStringList table = QString::fromUtf8(runCli(engine()).out).split(QLatin1Char('\n'));
    const int tableHead =
        int(table.indexOf(QRegularExpression(QStringLiteral("^ +giri/min +riferimento.*"))));
    QVERIFY(tableHead > 0);
    for (int k = 0; k < speeds.size(); ++k) {
        const QJsonObject s = speeds[k].toObject();
        const QJsonObject m = s["mean_pressures_bar"].toObject();
        double left = m["reference"].toDouble();
        QVERIFY(left > 30 && left < 45);
        for (const char *loss : Losses)
            left -= m[QLatin1String(loss)].toDouble();
        QVERIFY2(
            std::abs(left - s["imep_bar"].toDouble()) < 1e-9 * m["reference"].toDouble(),
            qPrintable(QStringLiteral("%1 against %2").arg(left).arg(s["imep_bar"].toDouble())));
        for (const auto &[step, figure] : {std::pair{"imep", "imep_bar"},
                                           {"pumping", "pmep_bar"},
                                           {"friction", "fmep_bar"},
                                           {"bmep", "bmep_bar"}})
            QCOMPARE(m[QLatin1String(step)].toDouble(), s[QLatin1String(figure)].toDouble());
        // The curves' row carries the same steps, to their ten digits.
        const QList<QByteArray> row = lines[k + 1].split(',');
        for (const QString &key : m.keys()) {
            const int column = int(head.indexOf("mep_" + key.toUtf8() + "_bar"));
            QVERIFY2(column >= 0, qPrintable(key));
            QVERIFY(std::abs(row[column].toDouble() - m[key].toDouble()) <=
                    1e-9 * std::abs(m[key].toDouble()) + 1e-12);
        }
        // The table's row: the speed, then the steps in order to two decimals.
        const QStringList cells =
            table[tableHead + 1 + k].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(cells.size(), 11);
        QCOMPARE(cells[0].toDouble(), s["rpm"].toDouble());
        QCOMPARE(cells[1], QString::number(m["reference"].toDouble(), 'f', 2));
        QCOMPARE(cells[10], QString::number(m["bmep"].toDouble(), 'f', 2));
    }
}

void TestCliMeanPressures::frictionTurns_data()
{
    QTest::addColumn<QString>("turns");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("a four-stroke's") << "2" << true;
    QTest::newRow("a two-stroke's") << "1" << true;
    QTest::newRow("none") << "0" << false;
    QTest::newRow("three") << "3" << false;
    QTest::newRow("not a number") << "nan" << false;
}

// The friction of constants found over cycles of two turns is half that of the same constants
// taken as a two-stroke's own, but for the peak pressure's term; nothing else moves.
void TestCliMeanPressures::frictionTurns()
{
    QFETCH(QString, turns);
    QFETCH(bool, accepted);
    const Run r = runCli(engine() + QStringList{"--json", "--friction-revs", turns});
    QCOMPARE(r.exitCode, accepted ? 0 : 1);
    if (!accepted) {
        QVERIFY2(r.err.contains(QStringLiteral("--friction-revs")), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        return;
    }
    const QJsonObject two = runJson(engine() + QStringList{"--friction-revs", "2"});
    const QJsonArray a =
        QJsonDocument::fromJson(r.out).object()["waves"].toObject()["speeds"].toArray();
    const QJsonArray b = two["waves"].toObject()["speeds"].toArray();
    QCOMPARE(a.size(), b.size());
    for (int k = 0; k < a.size(); ++k) {
        const QJsonObject x = a[k].toObject(), y = b[k].toObject();
        QCOMPARE(x["imep_bar"].toDouble(), y["imep_bar"].toDouble());
        const double peakTerm = 0.005 * y["p_max_bar"].toDouble();
        const double ratio =
            (x["fmep_bar"].toDouble() - peakTerm) / (y["fmep_bar"].toDouble() - peakTerm);
        QVERIFY2(std::abs(ratio - 2 / turns.toDouble()) < 1e-9, qPrintable(QString::number(ratio)));
    }
}

QTEST_GUILESS_MAIN(TestCliMeanPressures)
#include "tst_climeanpressures.moc"

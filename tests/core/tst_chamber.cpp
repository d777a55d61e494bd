#include "chamber.h"
#include "exact.h"
#include "texts.h"

#include <QtTest>

using namespace velmorant;

namespace {

// Field overrides on top of the defaults, as "FIELD=value" pairs.
DesignParameters withOverrides(const QStringList &overrides)
{
    DesignParameters p = defaultParameters();
    for (const QString &o : overrides) {
        const QStringList kv = o.split(QLatin1Char('='));
        for (std::size_t i = 0; i < FieldCount; ++i) {
            if (kv[0] == QLatin1String(fieldInfo(i).name))
                p.values[i] = kv[1].toDouble();
        }
    }
    return p;
}

} // namespace

class TestChamber : public QObject
{
    Q_OBJECT

private slots:
    void constants();
    void dimensions_data();
    void dimensions();
    void exactRelations_data();
    void exactRelations();
    void problems_data();
    void problems();
};

void TestChamber::constants()
{
    QCOMPARE(PI, 3.141592654);
    QVERIFY(PI != M_PI);
    // The product is the double just below 11639.6; the quotient follows from it.
    QVERIFY(1.4 * 8314 < 11639.6);
    COMPARE_EXACT(GAMMA_R, (1.4 * 8314) / 29);
    QVERIFY(qAbs(GAMMA_R - 401.3655172413793) < 1e-12);
}

void TestChamber::dimensions_data()
{
    QTest::addColumn<QStringList>("overrides");
    QTest::addColumn<QList<double>>("expected"); // a1 a2 L1 L2 L3 L4 L5 D1 D2 D3 LTOT
    QTest::addColumn<double>("tolerance");

    QTest::newRow("defaults") << QStringList()
                              << QList<double>{656.2509, 564.1656, 164.0627, 219.7474,
                                               321.3969, 121.2658, 200,      23.0329,
                                               46.0659,  16.2868,  1026.4728}
                              << 5e-5;
    QTest::newRow("RPM 20000: negative L3")
        << QStringList{"RPM=20000"}
        << QList<double>{656.2509, 564.1656, 82.03, 310.77, -40.2, 171.5,
                         200,      32.57,    65.15, 23.03,  724.1}
        << 0.05;
    QTest::newRow("RPM 4000: long centre section")
        << QStringList{"RPM=4000"}
        << QList<double>{656.2509, 564.1656, 410.16, 138.98, 1213.88, 76.69,
                         200,      14.57,    29.13,  10.30,  2039.7}
        << 0.05;
}

void TestChamber::dimensions()
{
    QFETCH(QStringList, overrides);
    QFETCH(QList<double>, expected);
    QFETCH(double, tolerance);

    const ChamberDimensions d = computeChamber(withOverrides(overrides));
    const double got[] = {d.a1, d.a2, d.L1, d.L2, d.L3, d.L4, d.L5, d.D1, d.D2, d.D3, d.LTOT};
    const char *names[] = {"a1", "a2", "L1", "L2", "L3", "L4", "L5", "D1", "D2", "D3", "LTOT"};
    for (int i = 0; i < 11; ++i) {
        if (qAbs(got[i] - expected[i]) > tolerance)
            QFAIL(qPrintable(QStringLiteral("%1 = %2, expected %3")
                                 .arg(QLatin1String(names[i]))
                                 .arg(got[i], 0, 'f', 6)
                                 .arg(expected[i])));
    }
    COMPARE_EXACT(d.LTOT, (((d.L1 + d.L2) + d.L3) + d.L4) + d.L5);
}

void TestChamber::exactRelations_data()
{
    QTest::addColumn<QStringList>("overrides");
    QTest::addColumn<QString>("relation");

    QTest::newRow("RAPPSEZ 1: D2 = D1, L2 = 0") << QStringList{"RAPPSEZ=1"} << "flatDiffuser";
    QTest::newRow("ASP = SC: L1 = 0") << QStringList{"ASP=150", "SC=150"} << "noInitialPipe";
    QTest::newRow("ASP > SC: negative L1 kept") << QStringList{"ASP=200"} << "negativeL1";
    QTest::newRow("L5 fixed, small engine") << QStringList{"CIL=50", "RPM=14000"} << "tail";
    QTest::newRow("L5 fixed, big engine") << QStringList{"CIL=500", "RPM=6000"} << "tail";
}

void TestChamber::exactRelations()
{
    QFETCH(QStringList, overrides);
    QFETCH(QString, relation);
    const ChamberDimensions d = computeChamber(withOverrides(overrides));

    if (relation == "flatDiffuser") {
        COMPARE_EXACT(d.D2, d.D1);
        COMPARE_EXACT(d.L2, 0.0);
    } else if (relation == "noInitialPipe") {
        COMPARE_EXACT(d.L1, 0.0);
    } else if (relation == "negativeL1") {
        QVERIFY(d.L1 < 0);
        QVERIFY(d.L3 > 0);
    }
    COMPARE_EXACT(d.L5, 200.0);
    // With this sizing D1 is always sqrt(2) times D3.
    QVERIFY(qAbs(d.D1 / d.D3 - std::sqrt(2.0)) < 1e-12);
}

void TestChamber::problems_data()
{
    QTest::addColumn<QStringList>("overrides");
    QTest::addColumn<QString>("before"); // problem found before computing
    QTest::addColumn<QString>("after");  // problem found in the results

    QTest::newRow("defaults") << QStringList() << QString() << QString();
    QTest::newRow("TEMP1 just below 7")
        << QStringList{"TEMP1=6.9"} << texts::temperatureTooLow() << QString();
    QTest::newRow("TEMP1 at 7") << QStringList{"TEMP1=7"} << QString() << QString();
    QTest::newRow("CIL and RPM of opposite sign")
        << QStringList{"CIL=-100"} << texts::oppositeSigns() << QString();
    QTest::newRow("CIL and RPM both negative")
        << QStringList{"CIL=-100", "RPM=-10000"} << QString() << QString();
    QTest::newRow("negative ratio")
        << QStringList{"RAPPSEZ=-4"} << texts::negativeRatio() << QString();
    QTest::newRow("temperature checked first") << QStringList{"TEMP1=0.5", "RAPPSEZ=-1", "CIL=-1"}
                                               << texts::temperatureTooLow() << QString();
    QTest::newRow("sign checked before ratio")
        << QStringList{"RAPPSEZ=-1", "RPM=-1"} << texts::oppositeSigns() << QString();
    QTest::newRow("infinite cone length")
        << QStringList{"DIV=1e-320"} << QString() << texts::outOfRange();
    QTest::newRow("tail diameter underflows to 0")
        << QStringList{"CIL=1e-200", "RPM=1e-200"} << QString() << texts::outOfRange();
    QTest::newRow("overflowing lengths")
        << QStringList{"RPM=1e-310"} << QString() << texts::outOfRange();
}

void TestChamber::problems()
{
    QFETCH(QStringList, overrides);
    QFETCH(QString, before);
    QFETCH(QString, after);

    const DesignParameters p = withOverrides(overrides);
    QCOMPARE(chamberInputProblem(p).value_or(QString()), before);
    if (before.isEmpty())
        QCOMPARE(chamberResultProblem(computeChamber(p)).value_or(QString()), after);
}

QTEST_GUILESS_MAIN(TestChamber)
#include "tst_chamber.moc"

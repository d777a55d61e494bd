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
    void fractionalDesignsBitExact_data();
    void fractionalDesignsBitExact();
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

void TestChamber::fractionalDesignsBitExact_data()
{
    // Made by exact_values.py beside this test, independently of the code: the program's PI
    // in the diameters and in every degree-to-radian conversion.
    QTest::addColumn<int>("design");
    QTest::newRow("125.5 cc at 9500") << 0;
    QTest::newRow("49.9 cc at 13250") << 1;
    QTest::newRow("250 cc at 6350.5") << 2;
}

void TestChamber::fractionalDesignsBitExact()
{
    QFETCH(int, design);
    struct Row
    {
        double parameters[8];
        double results[11]; // a1 a2 L1..L5 D1..D3 LTOT
    };
    static const Row rows[3] = {
        {{125.5, 9500.0, 118.5, 183.25, 7.5, 2.75, 650.5, 4.4},
         {0x1.3068e1eb9f9a5p+9, 0x1.fc3616c87367bp+8, 0x1.59cc79e69b7a8p+7, 0x1.1f597a355691fp+8,
          0x1.a8b3ab2e35336p+7, 0x1.09a17b0b7a14bp+7, 0x1.9000000000000p+7, 0x1.92653dbeb1394p+4,
          0x1.a60932e72a17bp+5, 0x1.1c895c8496d1ap+4, 0x1.f6b52522bdf9ap+9}},
        {{49.9, 13250.0, 125.0, 190.0, 6.25, 3.5, 720.0, 6.8},
         {0x1.3ba80c9ca451bp+9, 0x1.0b79da43468f6p+9, 0x1.02157967ebc87p+7, 0x1.ec4a5ce4f49a5p+7,
          0x1.356fa77ee5140p+7, 0x1.4504aa94feccbp+7, 0x1.9000000000000p+7, 0x1.2ba8c21cec267p+4,
          0x1.86b5331a88675p+5, 0x1.a7c8391f058cep+3, 0x1.be350a183110ep+9}},
        {{250.0, 6350.5, 110.0, 175.5, 9.0, 2.2, 900.0, 2.5},
         {0x1.571331828f868p+9, 0x1.2b5737cac170cp+9, 0x1.26e08f3d67cdcp+8, 0x1.b70686e431f25p+7,
          0x1.2f889ca462a5fp+9, 0x1.404eef2288409p+6, 0x1.9000000000000p+7, 0x1.d05908f40fbf4p+4,
          0x1.6f1962beca7dfp+5, 0x1.4857eddb7d68ep+4, 0x1.5e6231f03a08cp+10}},
    };
    DesignParameters p;
    std::copy(std::begin(rows[design].parameters), std::end(rows[design].parameters),
              p.values.begin());
    const ChamberDimensions d = computeChamber(p);
    const double got[11] = {d.a1, d.a2, d.L1, d.L2, d.L3, d.L4, d.L5, d.D1, d.D2, d.D3, d.LTOT};
    for (int i = 0; i < 11; ++i)
        COMPARE_EXACT(got[i], rows[design].results[i]);
}

QTEST_GUILESS_MAIN(TestChamber)
#include "tst_chamber.moc"

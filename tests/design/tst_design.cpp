// The pipe model, its band and the field's methods: every worked example of the methods, the
// band's closed forms, and the measured pipe's file.
#include "band.h"
#include "methods.h"
#include "pipecsv.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;

class TestDesign : public QObject
{
    Q_OBJECT

private slots:
    void ownPipeIsTheSizing();
    void bandOfTheDefaults();
    void sensitivityMovesAsTheSoundSpeed();
    void tunedLengthExamples_data();
    void tunedLengthExamples();
    void gasConstants_data();
    void gasConstants();
    void blairProportions();
    void blairSections_data();
    void blairSections();
    void jenningsExample();
    void hornExamples_data();
    void hornExamples();
    void stagesKeepTheCone_data();
    void stagesKeepTheCone();
    void pipeFileRoundTrip();
    void pipeFileRefusals_data();
    void pipeFileRefusals();
};

namespace {

DesignParameters defaults()
{
    return defaultParameters();
}

} // namespace

void TestDesign::ownPipeIsTheSizing()
{
    const ChamberDimensions d = computeChamber(defaults());
    const Pipe p = firstSizingPipe(d);
    QCOMPARE(p.sections.size(), 5);
    QVERIFY(p.continuous());
    QCOMPARE(p.length(), d.L1 + d.L2 + d.L3 + d.L4 + d.L5);
    QCOMPARE(p.diameterAt(d.L1 + d.L2 / 2), (d.D1 + d.D2) / 2);
    const std::optional<WaveLengths> l = waveLengths(p);
    QVERIFY(l);
    QCOMPARE(l->suction, d.L1);
    QCOMPARE(l->plugging, d.L1 + d.L2 + d.L3);
    // Read as waves, the sizing's own pipe brings both waves back on time at its own speed.
    const DesignParameters dp = defaults();
    const PortTiming t = portTiming(dp[Field::Sc], dp[Field::Asp]);
    const ReturnAngles at = returnAngles(*l, dp[Field::Sc], dp[Field::Temp1], dp[Field::Rpm]);
    QVERIFY(std::abs(at.suction - t.to) < 1e-9);
    QVERIFY(std::abs(at.plugging - t.tc) < 1e-9);
}

void TestDesign::bandOfTheDefaults()
{
    const DesignParameters dp = defaults();
    QCOMPARE(dp[Field::Rpm], 10000.0);
    const PortTiming t = portTiming(dp[Field::Sc], dp[Field::Asp]);
    QCOMPARE(t.eo, 90.0);
    QCOMPARE(t.to, 120.0);
    QCOMPARE(t.tc, 240.0);
    QCOMPARE(t.ec, 270.0);
    const WaveLengths l = *waveLengths(firstSizingPipe(computeChamber(dp)));
    const Band b = bandOf(l, dp[Field::Sc], dp[Field::Asp], dp[Field::Temp1], 10);
    QVERIFY(std::abs(b.tunedRpm - 10000) < 1e-6);
    QCOMPARE(qRound(b.lowRpm), 9333);
    QCOMPARE(qRound(b.highRpm), 10667);
    // At the band's ends the plugging wave is 10 degrees off its target.
    for (double n : {b.lowRpm, b.highRpm}) {
        const double off = returnAngles(l, dp[Field::Sc], dp[Field::Temp1], n).plugging - t.tc;
        QVERIFY2(std::abs(std::abs(off) - 10) < 1e-9, qPrintable(QString::number(off)));
    }
}

void TestDesign::sensitivityMovesAsTheSoundSpeed()
{
    const DesignParameters dp = defaults();
    const WaveLengths l = *waveLengths(firstSizingPipe(computeChamber(dp)));
    const QList<SensitivityRow> rows =
        sensitivity(l, dp[Field::Sc], dp[Field::Asp], dp[Field::Temp1], 10);
    QCOMPARE(rows.size(), 7);
    const double n = rows[0].band.tunedRpm;
    // +100 °C: the plugging wave at 620 instead of 520 °C.
    QCOMPARE(rows[4].change, QStringLiteral("TEMP1 +100 \u00b0C"));
    QVERIFY(std::abs(rows[4].band.tunedRpm / n - 1.0611) < 1e-4);
    QVERIFY(std::abs(rows[4].band.tunedRpm / n - std::sqrt((620.0 + 273) / (520 + 273))) < 1e-12);
    QVERIFY(std::abs(rows[1].band.tunedRpm / n - std::sqrt((420.0 + 273) / (520 + 273))) < 1e-12);
    // A plugging length 10 mm longer: the speed falls as the length grows.
    QVERIFY(std::abs(rows[6].band.tunedRpm - n * l.plugging / (l.plugging + 10)) < 1e-9);
    QVERIFY(rows[5].band.tunedRpm > n && rows[6].band.tunedRpm < n);
}

void TestDesign::tunedLengthExamples_data()
{
    QTest::addColumn<double>("gamma");
    QTest::addColumn<double>("sound");
    QTest::addColumn<double>("length");
    // 420 °C, SC 155, 2850 rpm.
    QTest::newRow("open generator, gamma 1.35") << 1.35 << 518.2 << 2349.0;
    QTest::newRow("Blair, gamma 1.4") << 1.4 << 527.7 << 2391.8;
}

void TestDesign::tunedLengthExamples()
{
    QFETCH(double, gamma);
    QFETCH(double, sound);
    QFETCH(double, length);
    const double a = soundSpeed(gamma, 287, 420);
    QVERIFY2(std::abs(a - sound) < 0.05, qPrintable(QString::number(a)));
    const double lt = tunedLength(a, 155, 2850);
    QVERIFY2(std::abs(lt - length) < 0.5, qPrintable(QString::number(lt)));
    const PortTiming t = portTiming(155, 0);
    QCOMPARE(t.eo, 102.5);
    QCOMPARE(t.ec, 257.5);
    // The open generator's band: plugging back within 10 degrees of EC.
    if (gamma == 1.35) {
        QCOMPARE(qRound((155 - 10) * a / (12 * lt / 1000)), 2666);
        QCOMPARE(qRound((155 + 10) * a / (12 * lt / 1000)), 3034);
    }
}

void TestDesign::gasConstants_data()
{
    QTest::addColumn<double>("gamma");
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("sound"); // at 500 °C
    QTest::newRow("Blair") << 1.4 << 287.0 << 557.4;
    QTest::newRow("open generator") << 1.35 << 287.0 << 547.3;
    QTest::newRow("web calculator") << 1.36 << 300.0 << 561.6;
}

void TestDesign::gasConstants()
{
    QFETCH(double, gamma);
    QFETCH(double, r);
    QFETCH(double, sound);
    QVERIFY(std::abs(soundSpeed(gamma, r, 500) - sound) < 0.05);
}

void TestDesign::blairProportions()
{
    for (int stages : {2, 3}) {
        double sum = 0;
        for (double f : blairFractions(stages))
            sum += f;
        QVERIFY2(std::abs(sum - 1) < 1e-12, qPrintable(QString::number(sum)));
    }
    QVERIFY(std::abs(portDiameter(40, 25) - 35.68) < 0.005);
    MethodInputs in;
    in.rpm = 9000;
    in.sc = 190;
    in.portWidth = 40;
    in.portHeight = 25;
    for (int stages : {2, 3}) {
        const Pipe p = blairPipe(in, stages);
        QVERIFY(std::abs(p.sections[0].dIn - 40.14) < 0.005); // K1 1.125 of 35.68
        QVERIFY(p.continuous(1e-9));
        QCOMPARE(p.sections.size(), 4 + stages);
        // LT reaches the start of the tail pipe, as long as the convergent cone.
        const double lt = tunedLength(soundSpeed(1.4, 287, 500), 190, 9000);
        QVERIFY(std::abs(p.point(QLatin1String(TunedPoint))->x - lt) < 1e-9);
        QVERIFY(std::abs(p.start(int(p.sections.size()) - 1) - lt) < 1e-9);
        QVERIFY(std::abs(p.sections.back().length - 0.24 * lt) < 1e-9);
        QVERIFY(std::abs(p.sections.back().dIn - 0.7 * portDiameter(40, 25)) < 1e-9);
    }
}

void TestDesign::blairSections_data()
{
    QTest::addColumn<int>("stages");
    QTest::addColumn<QList<double>>("fractions"); // of LT, from the port: the published table
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("two stages") << 2 << QList<double>{0.10, 0.41, 0.14, 0.11, 0.24, 0.24}
                                << QStringList{"1", "2.1", "2.2", "3", "4", "5"};
    QTest::newRow("three stages")
        << 3 << QList<double>{0.10, 0.275, 0.183, 0.092, 0.11, 0.24, 0.24}
        << QStringList{"1", "2.1", "2.2", "2.3", "3", "4", "5"};
}

// Every section of Blair's pipes as long as its published share of LT, the stages named as the
// workshop names them whatever the method: the stages share the diffuser's number and the
// sections after it go on from 3.
void TestDesign::blairSections()
{
    QFETCH(int, stages);
    QFETCH(QList<double>, fractions);
    QFETCH(QStringList, labels);
    MethodInputs in;
    in.rpm = 9000;
    in.sc = 190;
    in.headerD1 = 40;
    const double lt = tunedLength(soundSpeed(1.4, 287, 500), 190, 9000);
    const Pipe p = blairPipe(in, stages);
    QCOMPARE(p.sections.size(), fractions.size());
    QStringList named;
    for (int i = 0; i < fractions.size(); ++i) {
        QVERIFY2(std::abs(p.sections[i].length - fractions[i] * lt) < 1e-9,
                 qPrintable(QStringLiteral("section %1: %2 of LT")
                                .arg(i + 1)
                                .arg(p.sections[i].length / lt)));
        named << sectionName(p, i);
    }
    QCOMPARE(named, labels);
}

void TestDesign::jenningsExample()
{
    // In inches: N 6300, SC 180, D1 1.44, half-angles 4 and 10 degrees.
    MethodInputs in;
    in.rpm = 6300;
    in.sc = 180;
    in.headerD1 = 1.44 * 25.4;
    const Pipe p = jenningsPipe(in);
    auto inches = [](double mm) { return mm / 25.4; };
    QVERIFY(std::abs(inches(p.point(QLatin1String(TunedPoint))->x) - 48.57) < 0.005);
    const double expected[5] = {14.40, 15.44, 13.62, 7.68, 10.71}; // L3 L4 L5 L6 L7
    for (int i = 0; i < 5; ++i)
        QVERIFY2(std::abs(inches(p.sections[i].length) - expected[i]) < 0.006,
                 qPrintable(QStringLiteral("%1: %2").arg(i).arg(inches(p.sections[i].length))));
    QVERIFY(std::abs(inches(p.sections[1].dOut) - 3.60) < 1e-9);
    QVERIFY(std::abs(inches(p.sections[3].dOut) - 0.8928) < 1e-9);
    QVERIFY(std::abs(inches(p.start(3)) - 43.47) < 0.005); // L1: the baffle starts there
    QVERIFY(p.continuous(1e-9));
    QVERIFY(std::abs(p.sections[1].halfAngleDegrees() - 4) < 1e-9);
    QVERIFY(std::abs(p.sections[3].halfAngleDegrees() - 10) < 1e-9);
}

void TestDesign::hornExamples_data()
{
    QTest::addColumn<double>("kh");
    QTest::addColumn<double>("t1");
    QTest::addColumn<double>("t2");
    QTest::addColumn<double>("d1");
    QTest::addColumn<double>("d2");
    QTest::newRow("equal thirds, kh 1") << 1.0 << 1.0 / 3 << 2.0 / 3 << 56.7 << 71.4;
    QTest::newRow("equal thirds, kh 2") << 2.0 << 1.0 / 3 << 2.0 / 3 << 48.6 << 61.2;
    QTest::newRow("three-stage lengths, kh 1") << 1.0 << 0.5 << 0.8333 << 63.6 << 80.2;
    QTest::newRow("three-stage lengths, kh 2") << 2.0 << 0.5 << 0.8333 << 53.5 << 72.8;
}

void TestDesign::hornExamples()
{
    QFETCH(double, kh);
    QFETCH(double, t1);
    QFETCH(double, t2);
    QFETCH(double, d1);
    QFETCH(double, d2);
    QVERIFY(std::abs(hornDiameter(45, 90, t1, kh) - d1) < 0.05);
    QVERIFY(std::abs(hornDiameter(45, 90, t2, kh) - d2) < 0.05);
}

void TestDesign::stagesKeepTheCone_data()
{
    QTest::addColumn<int>("stages");
    QTest::addColumn<double>("kh");
    for (int n = 1; n <= 4; ++n)
        for (double kh : {1.0, 1.5, 2.0})
            QTest::addRow("%d stages, kh %g", n, kh) << n << kh;
}

void TestDesign::stagesKeepTheCone()
{
    QFETCH(int, stages);
    QFETCH(double, kh);
    const ChamberDimensions d = computeChamber(defaults());
    const Pipe own = firstSizingPipe(d);
    const Pipe p = withStages(own, stages, kh);
    QCOMPARE(p.sections.size(), 4 + stages);
    QVERIFY(p.continuous(1e-9));
    QVERIFY(std::abs(p.length() - own.length()) < 1e-9);
    QVERIFY(std::abs(p.start(1 + stages) - (d.L1 + d.L2)) < 1e-9);
    QCOMPARE(p.sections[1].dIn, d.D1);
    QCOMPARE(p.sections[stages].dOut, d.D2);
    // Each stage a straight cone between its ends on the horn law, the angles opening later
    // for the steeper horns.
    for (int k = 0; k < stages; ++k) {
        const PipeSection &s = p.sections[1 + k];
        QVERIFY(std::abs(s.length - d.L2 / stages) < 1e-9);
        QVERIFY(std::abs(s.dOut - hornDiameter(d.D1, d.D2, double(k + 1) / stages, kh)) < 1e-9);
        const double angle = std::atan((s.dOut - s.dIn) / (2 * s.length)) * 180 / 3.141592653589793;
        QVERIFY(std::abs(s.halfAngleDegrees() - angle) < 1e-9);
    }
    // The waves read the same pipe: its stages do not move the band.
    QCOMPARE(waveLengths(p)->plugging, waveLengths(own)->plugging);
}

void TestDesign::pipeFileRoundTrip()
{
    Pipe own = withStages(firstSizingPipe(computeChamber(defaults())), 3, 1.5);
    own.sections[2].dOut += 4; // a step between the stages and the belly
    own.sections[3].dIn += 4;
    own.sections[3].dOut += 4;
    own.sections[4].dIn += 4;
    own.sections[3].dIn -= 2; // and one more, down
    const PipeRead back = readPipeCsv(pipeCsv(own));
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(back.pipe.sections.size(), own.sections.size());
    for (int i = 0; i < own.sections.size(); ++i) {
        QCOMPARE(back.pipe.sections[i].length, own.sections[i].length);
        QCOMPARE(back.pipe.sections[i].dIn, own.sections[i].dIn);
        QCOMPARE(back.pipe.sections[i].dOut, own.sections[i].dOut);
    }
    QVERIFY(!back.pipe.continuous());
    // A row per section reads into the same pipe.
    const PipeRead rows =
        readPipeCsv("# banco\nlunghezza_mm,d_in_mm,d_out_mm\n100,40,40\n\n300,40,90\n50,90,90\n"
                    "200,90,30\n150,30,30\n");
    QVERIFY2(rows.ok(), qPrintable(rows.error));
    QCOMPARE(rows.pipe.length(), 800.0);
    QCOMPARE(waveLengths(rows.pipe)->suction, 100.0);
    QCOMPARE(waveLengths(rows.pipe)->plugging, 450.0);
}

void TestDesign::pipeFileRefusals_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("says");
    QTest::newRow("no header") << QByteArray("0,40\n100,40\n") << "riga 1";
    QTest::newRow("comma decimals") << QByteArray("x_mm,d_mm\n0,40\n100,5,40\n") << "riga 3";
    QTest::newRow("x going back") << QByteArray("x_mm,d_mm\n0,40\n100,40\n90,50\n") << "riga 4";
    QTest::newRow("not from the port") << QByteArray("x_mm,d_mm\n5,40\n100,40\n") << "riga 2";
    QTest::newRow("zero diameter") << QByteArray("x_mm,d_mm\n0,40\n100,0\n") << "riga 3";
    QTest::newRow("not a number") << QByteArray("x_mm,d_mm\n0,40\nnan,40\n") << "riga 3";
    QTest::newRow("one station") << QByteArray("x_mm,d_mm\n0,40\n") << "nessun tratto";
    QTest::newRow("zero-length section")
        << QByteArray("lunghezza_mm,d_in_mm,d_out_mm\n0,40,40\n") << "riga 2";
    QByteArray many = "x_mm,d_mm\n";
    for (int i = 0; i <= MaxPipeRows; ++i)
        many += QByteArray::number(i) + ",40\n";
    QTest::newRow("too many rows") << many << "10000 righe";
}

void TestDesign::pipeFileRefusals()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, says);
    const PipeRead r = readPipeCsv(csv);
    QVERIFY(!r.ok());
    QVERIFY2(r.error.contains(says), qPrintable(r.error));
}

QTEST_GUILESS_MAIN(TestDesign)
#include "tst_design.moc"

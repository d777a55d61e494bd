#include "patterns.h"
#include "patternshape.h"

#include <QtTest>

using namespace velmorant;

class TestPatterns : public QObject
{
    Q_OBJECT

private slots:
    void coneDevelopment_data();
    void coneDevelopment();
    void straightPipesAndSkips();
};

void TestPatterns::coneDevelopment_data()
{
    QTest::addColumn<double>("dSmall");
    QTest::addColumn<double>("dBig");
    QTest::addColumn<double>("sheet");
    QTest::addColumn<double>("slant");
    QTest::addColumn<double>("outer");
    QTest::addColumn<double>("sweep");

    // r 20 -> 40 over 200: s = sqrt(200^2 + 20^2), R = 2 s, angle = 360 * 20 / s.
    QTest::newRow("40 to 80 over 200")
        << 40.0 << 80.0 << 0.0 << 200.9975124224178 << 401.9950248448356 << 35.82133884755961;
    // On the mean diameter: 42 -> 82, radii 21 -> 41.
    QTest::newRow("2 mm sheet") << 40.0 << 80.0 << 2.0 << 200.9975124224178
                                << 401.9950248448356 * 41.0 / 40.0 << 35.82133884755961;
    // Narrowing cone: the same development, big end first.
    QTest::newRow("80 to 40 over 200")
        << 80.0 << 40.0 << 0.0 << 200.9975124224178 << 401.9950248448356 << 35.82133884755961;
}

void TestPatterns::coneDevelopment()
{
    QFETCH(double, dSmall);
    QFETCH(double, dBig);
    QFETCH(double, sheet);
    QFETCH(double, slant);
    QFETCH(double, outer);
    QFETCH(double, sweep);

    ChamberDimensions d;
    d.L1 = 50, d.L2 = 200, d.L3 = 100, d.L4 = 0, d.L5 = 200;
    d.D1 = dSmall, d.D2 = dBig, d.D3 = dBig;
    const Pattern cone = computePatterns(d, sheet)[1];
    QCOMPARE(cone.kind, Pattern::Kind::Sector);
    QVERIFY(qAbs(cone.slant - slant) < 1e-9);
    QVERIFY(qAbs(cone.outerRadius - outer) < 1e-9);
    QVERIFY(qAbs(cone.innerRadius - (outer - slant)) < 1e-9);
    QVERIFY(qAbs(cone.sweepDegrees - sweep) < 1e-9);
    // The outer arc is as long as the big end's circumference.
    QVERIFY(qAbs(cone.outerRadius * qDegreesToRadians(cone.sweepDegrees) -
                 M_PI * (std::max(dSmall, dBig) + sheet)) < 1e-9);
    const QRectF b = patternBounds(cone);
    QVERIFY(qAbs(b.bottom() - cone.outerRadius) < 1e-6); // apex at 0, opening downwards
}

void TestPatterns::straightPipesAndSkips()
{
    ChamberDimensions d;
    d.L1 = 100, d.L2 = 0, d.L3 = -5, d.L4 = 80, d.L5 = 200;
    d.D1 = 30, d.D2 = 30, d.D3 = 30;
    const QList<Pattern> p = computePatterns(d, 1);
    QCOMPARE(p[0].kind, Pattern::Kind::Rectangle);
    QVERIFY(qAbs(p[0].width - M_PI * 31) < 1e-12);
    QCOMPARE(p[0].height, 100.0);
    QCOMPARE(p[1].kind, Pattern::Kind::Skipped);
    QCOMPARE(p[2].kind, Pattern::Kind::Skipped);
    QCOMPARE(p[3].kind, Pattern::Kind::Rectangle); // a cone with equal ends is a cylinder
    QCOMPARE(skippedNotes(p).size(), 2);
    QVERIFY(skippedNotes(p)[1].contains(QStringLiteral("-5.0")));
}

QTEST_GUILESS_MAIN(TestPatterns)
#include "tst_patterns.moc"

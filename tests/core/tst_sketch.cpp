#include "chamber.h"
#include "exact.h"
#include "sketch/sketch.h"

#include <QtTest>

using namespace velmorant;

namespace {

ChamberDimensions dims(double l1, double l2, double l3, double l4, double l5, double d1, double d2,
                       double d3)
{
    ChamberDimensions d;
    d.L1 = l1, d.L2 = l2, d.L3 = l3, d.L4 = l4, d.L5 = l5;
    d.D1 = d1, d.D2 = d2, d.D3 = d3;
    d.LTOT = (((l1 + l2) + l3) + l4) + l5;
    return d;
}

std::array<float, SketchCaptionCount> widths(float w)
{
    std::array<float, SketchCaptionCount> a;
    a.fill(w);
    return a;
}

// The drawing with its captions centred for the given widths, as the window shows it.
SketchGeometry drawn(const ChamberDimensions &d, double frameWidth,
                     const std::array<float, SketchCaptionCount> &captionWidths)
{
    SketchGeometry g = drawSketch(d, frameWidth);
    placeCaptions(g, captionWidths);
    return g;
}

} // namespace

class TestSketch : public QObject
{
    Q_OBJECT

private slots:
    void elementTable();
    void workedExample_data();
    void workedExample();
    void captionsOfWorkedExample();
    void tailAlwaysFiveHundredTwipsAcross_data();
    void tailAlwaysFiveHundredTwipsAcross();
    void repeatable();
    void drawable_data();
    void drawable();
    void fractionalDesignsBitExact_data();
    void fractionalDesignsBitExact();
};

void TestSketch::elementTable()
{
    const auto &e = sketchElements();
    QCOMPARE(e.size(), std::size_t(38));
    QCOMPARE(QString(e[sk::Linea1].name), "Linea1");
    QCOMPARE(QString(e[sk::Linea1b + 4].name), "Linea5b");
    QCOMPARE(QString(e[sk::LineaQ0].name), "LineaQ0");
    QCOMPARE(QString(e[sk::LineaAsse].name), "LineaAsse");
    QCOMPARE(QString(e[sk::txtQDiv].name), "txtQDiv");
    QCOMPARE(QString(e[sk::txtQConv].name), "txtQConv");
    QCOMPARE(QString(e[sk::shSpinotto].name), "shSpinotto");
    QCOMPARE(QString(e[sk::Fascia2].name), "Fascia2");
    QCOMPARE(e[sk::LineaAsse].pen.style, PenStyle::DashDot);
    for (std::size_t i = sk::LineaQ0; i < sk::LineaAsse; ++i) {
        QVERIFY(e[i].pen.inverted);
        QCOMPARE(e[i].pen.rgb, 0x808080u);
        QCOMPARE(e[i].pen.width, 1);
    }
    QCOMPARE(e[sk::Linea1].pen.width, 2);
    QCOMPARE(e[sk::shSpinotto].kind, ElementKind::Circle);
}

void TestSketch::workedExample_data()
{
    QTest::addColumn<int>("element");
    QTest::addColumn<QList<double>>("coords");

    const double x[6] = {1080, 2080, 4080, 7080, 9080, 11080};
    const double u[3] = {1300, 800, 1550};
    const double l[3] = {2300, 2800, 2050};
    // level of each segment's start and end
    const int startLevel[5] = {0, 0, 1, 1, 2};
    const int endLevel[5] = {0, 1, 1, 2, 2};
    for (int k = 0; k < 5; ++k) {
        QTest::addRow("Linea%d", k + 1)
            << int(sk::Linea1 + k)
            << QList<double>{x[k], u[startLevel[k]], x[k + 1], u[endLevel[k]]};
        QTest::addRow("Linea%db", k + 1)
            << int(sk::Linea1b + k)
            << QList<double>{x[k], l[startLevel[k]], x[k + 1], l[endLevel[k]]};
        QTest::addRow("LineaD%d", k + 1)
            << int(sk::LineaD1 + k)
            << QList<double>{x[k], u[startLevel[k]], x[k], l[startLevel[k]]};
        QTest::addRow("LineaQ%d", k + 1)
            << int(sk::LineaQ0 + 1 + k) << QList<double>{x[k], l[startLevel[k]], x[k], 3350};
    }
    QTest::newRow("LineaD6") << int(sk::LineaD1 + 5) << QList<double>{x[5], 1550, x[5], 2050};
    QTest::newRow("LineaQ6") << int(sk::LineaQ0 + 6) << QList<double>{x[5], 2050, x[5], 3350};
    QTest::newRow("LineaQ0") << int(sk::LineaQ0) << QList<double>{1080, 3280, 11080, 3280};
    QTest::newRow("LineaAsse") << int(sk::LineaAsse) << QList<double>{1080, 1800, 11080, 1800};
    QTest::newRow("shPistone") << int(sk::shPistone) << QList<double>{120, 1180, 972, 1212};
    QTest::newRow("shSpinotto") << int(sk::shSpinotto) << QList<double>{420, 1780, 372, 252};
    QTest::newRow("Fascia1") << int(sk::Fascia1) << QList<double>{120, 1420, 1080, 1420};
    QTest::newRow("Fascia2") << int(sk::Fascia2) << QList<double>{120, 1300, 1080, 1300};
}

void TestSketch::workedExample()
{
    QFETCH(int, element);
    QFETCH(QList<double>, coords);

    const SketchGeometry g = drawn(dims(100, 200, 300, 200, 200, 40, 80, 20), 11200, widths(600));
    QVERIFY(g.drawable);
    const SketchCoords &c = g.elements[element];
    COMPARE_EXACT(c.a, float(coords[0]));
    COMPARE_EXACT(c.b, float(coords[1]));
    COMPARE_EXACT(c.c, float(coords[2]));
    COMPARE_EXACT(c.d, float(coords[3]));
}

void TestSketch::captionsOfWorkedExample()
{
    std::array<float, SketchCaptionCount> w = widths(600);
    w[8] = 999; // the Div caption keeps its fixed box whatever its text measures
    const SketchGeometry g = drawn(dims(100, 200, 300, 200, 200, 40, 80, 20), 11200, w);

    const double centres[SketchCaptionCount] = {1580, 3080, 5580,  8080, 10080,
                                                1580, 5580, 10080, 3080, 8080};
    for (std::size_t c = 0; c < SketchCaptionCount; ++c) {
        const SketchCoords &cap = g.elements[FirstCaption + c];
        const double width = c == 8 ? 732 : 600;
        COMPARE_EXACT(cap.a, float(centres[c] - width / 2));
        COMPARE_EXACT(cap.b, float(c < 5 ? 3050 : 1600));
        COMPARE_EXACT(cap.c, float(width));
    }
    COMPARE_EXACT(g.elements[sk::txtQL1].a, 1280.0f);
    COMPARE_EXACT(g.elements[sk::txtQDiv].a, 2714.0f);
    QCOMPARE(g.elements[sk::txtQDiv].d, 252.0f);
    QCOMPARE(g.elements[sk::txtQConv].d, 192.0f);
}

void TestSketch::tailAlwaysFiveHundredTwipsAcross_data()
{
    QTest::addColumn<double>("rpm");
    QTest::addColumn<double>("ratio");

    QTest::newRow("defaults") << 10000.0 << 4.0;
    QTest::newRow("slow engine") << 4000.0 << 4.0;
    QTest::newRow("ratio below 1") << 9000.0 << 0.5;
    QTest::newRow("ratio 1") << 12000.0 << 1.0;
}

void TestSketch::tailAlwaysFiveHundredTwipsAcross()
{
    QFETCH(double, rpm);
    QFETCH(double, ratio);
    DesignParameters p = defaultParameters();
    p[Field::Rpm] = rpm;
    p[Field::Rappsez] = ratio;
    const ChamberDimensions d = computeChamber(p);
    const SketchGeometry g = drawn(d, 11520, widths(500));
    QVERIFY(g.drawable);
    const SketchCoords &tailUp = g.elements[sk::Linea1 + 4];
    const SketchCoords &tailLow = g.elements[sk::Linea1b + 4];
    QVERIFY(qAbs(tailUp.b - 1550.0f) < 0.01f);
    QVERIFY(qAbs(tailLow.b - 2050.0f) < 0.01f);
    // The initial pipe is about 707 twips across, sqrt(2) times the tail.
    QVERIFY(qAbs(g.elements[sk::Linea1].b - 1446.45f) < 0.1f);
    QVERIFY(qAbs(g.elements[sk::Linea1b].b - 2153.55f) < 0.1f);
    QVERIFY(qAbs(tailUp.c - 11400.0f) < 0.01f);
}

void TestSketch::repeatable()
{
    const ChamberDimensions d = computeChamber(defaultParameters());
    const SketchGeometry a = drawn(d, 11520, widths(640));
    drawn(dims(1, 2, 3, 4, 5, 6, 7, 8), 5000, widths(10)); // no memory of earlier drawings
    const SketchGeometry b = drawn(d, 11520, widths(640));
    for (std::size_t i = 0; i < SketchElementCount; ++i) {
        COMPARE_EXACT(a.elements[i].a, b.elements[i].a);
        COMPARE_EXACT(a.elements[i].b, b.elements[i].b);
        COMPARE_EXACT(a.elements[i].c, b.elements[i].c);
        COMPARE_EXACT(a.elements[i].d, b.elements[i].d);
    }
    // Default sizes: the centre section is about 707 twips either side of the axis.
    QVERIFY(qAbs(a.elements[sk::Linea1 + 2].b - 1092.9f) < 0.1f);
    QVERIFY(qAbs(a.elements[sk::Linea1b + 2].b - 2507.1f) < 0.1f);
}

void TestSketch::drawable_data()
{
    QTest::addColumn<QList<double>>("lengths"); // L1..L5
    QTest::addColumn<double>("frameWidth");
    QTest::addColumn<bool>("drawable");
    QTest::addColumn<double>("lastStation");

    QTest::newRow("frame of 1200: pipe collapses on x0")
        << QList<double>{100, 200, 300, 200, 200} << 1200.0 << true << 1080.0;
    QTest::newRow("narrow frame: drawn leftwards")
        << QList<double>{100, 200, 300, 200, 200} << 200.0 << true << 80.0;
    QTest::newRow("L3 = 0: coincident sections")
        << QList<double>{100, 200, 0, 200, 500} << 11200.0 << true << 11080.0;
    QTest::newRow("total length 0")
        << QList<double>{100, -300, 0, 0, 200} << 11200.0 << false << 0.0;
    QTest::newRow("coordinates beyond float range")
        << QList<double>{1e300, -1e300, 0, 1e-300, 0} << 11200.0 << false << 0.0;
}

void TestSketch::drawable()
{
    QFETCH(QList<double>, lengths);
    QFETCH(double, frameWidth);
    QFETCH(bool, drawable);
    QFETCH(double, lastStation);

    const SketchGeometry g =
        drawn(dims(lengths[0], lengths[1], lengths[2], lengths[3], lengths[4], 40, 80, 20),
              frameWidth, widths(300));
    QCOMPARE(g.drawable, drawable);
    if (drawable)
        QVERIFY(qAbs(g.elements[sk::LineaAsse].c - float(lastStation)) < 0.01f);
}

void TestSketch::fractionalDesignsBitExact_data()
{
    // Made by exact_values.py beside this test, independently of the code: every station read
    // back from the float its line stored, as the window's elements do.
    QTest::addColumn<int>("design");
    QTest::newRow("125.5 cc at 9500") << 0;
    QTest::newRow("49.9 cc at 13250") << 1;
    QTest::newRow("250 cc at 6350.5") << 2;
}

void TestSketch::fractionalDesignsBitExact()
{
    QFETCH(int, design);
    static const double walls[3][10][4] = {
        {{0x1.0e00000000000p+10, 0x1.699c960000000p+10, 0x1.64d6c20000000p+11,
          0x1.699c960000000p+10},
         {0x1.64d6c20000000p+11, 0x1.699c960000000p+10, 0x1.6ac2fa0000000p+12,
          0x1.0898560000000p+10},
         {0x1.6ac2fa0000000p+12, 0x1.0898560000000p+10, 0x1.f2fd820000000p+12,
          0x1.0898560000000p+10},
         {0x1.f2fd820000000p+12, 0x1.0898560000000p+10, 0x1.2418ee0000000p+13,
          0x1.8380020000000p+10},
         {0x1.2418ee0000000p+13, 0x1.8380020000000p+10, 0x1.643ffe0000000p+13,
          0x1.8380020000000p+10},
         {0x1.0e00000000000p+10, 0x1.0d31b60000000p+11, 0x1.64d6c20000000p+11,
          0x1.0d31b60000000p+11},
         {0x1.64d6c20000000p+11, 0x1.0d31b60000000p+11, 0x1.6ac2fa0000000p+12,
          0x1.3db3d60000000p+11},
         {0x1.6ac2fa0000000p+12, 0x1.3db3d60000000p+11, 0x1.f2fd820000000p+12,
          0x1.3db3d60000000p+11},
         {0x1.f2fd820000000p+12, 0x1.3db3d60000000p+11, 0x1.2418ee0000000p+13,
          0x1.0040000000000p+11},
         {0x1.2418ee0000000p+13, 0x1.0040000000000p+11, 0x1.643ffe0000000p+13,
          0x1.0040000000000p+11}},
        {{0x1.0e00000000000p+10, 0x1.699c960000000p+10, 0x1.4188440000000p+11,
          0x1.699c960000000p+10},
         {0x1.4188440000000p+11, 0x1.699c960000000p+10, 0x1.52ab700000000p+12,
          0x1.b705d60000000p+9},
         {0x1.52ab700000000p+12, 0x1.b705d60000000p+9, 0x1.c27e540000000p+12, 0x1.b705d60000000p+9},
         {0x1.c27e540000000p+12, 0x1.b705d60000000p+9, 0x1.1bf9620000000p+13,
          0x1.8380000000000p+10},
         {0x1.1bf9620000000p+13, 0x1.8380000000000p+10, 0x1.6440000000000p+13,
          0x1.8380000000000p+10},
         {0x1.0e00000000000p+10, 0x1.0d31b60000000p+11, 0x1.4188440000000p+11,
          0x1.0d31b60000000p+11},
         {0x1.4188440000000p+11, 0x1.0d31b60000000p+11, 0x1.52ab700000000p+12,
          0x1.543e8c0000000p+11},
         {0x1.52ab700000000p+12, 0x1.543e8c0000000p+11, 0x1.c27e540000000p+12,
          0x1.543e8c0000000p+11},
         {0x1.c27e540000000p+12, 0x1.543e8c0000000p+11, 0x1.1bf9620000000p+13,
          0x1.0040020000000p+11},
         {0x1.1bf9620000000p+13, 0x1.0040020000000p+11, 0x1.6440000000000p+13,
          0x1.0040020000000p+11}},
        {{0x1.0e00000000000p+10, 0x1.699c960000000p+10, 0x1.96692c0000000p+11,
          0x1.699c960000000p+10},
         {0x1.96692c0000000p+11, 0x1.699c960000000p+10, 0x1.303a340000000p+12,
          0x1.363eea0000000p+10},
         {0x1.303a340000000p+12, 0x1.363eea0000000p+10, 0x1.23cd8a0000000p+13,
          0x1.363eea0000000p+10},
         {0x1.23cd8a0000000p+13, 0x1.363eea0000000p+10, 0x1.363aa20000000p+13,
          0x1.8380000000000p+10},
         {0x1.363aa20000000p+13, 0x1.8380000000000p+10, 0x1.6440020000000p+13,
          0x1.8380000000000p+10},
         {0x1.0e00000000000p+10, 0x1.0d31b60000000p+11, 0x1.96692c0000000p+11,
          0x1.0d31b60000000p+11},
         {0x1.96692c0000000p+11, 0x1.0d31b60000000p+11, 0x1.303a340000000p+12,
          0x1.26e08c0000000p+11},
         {0x1.303a340000000p+12, 0x1.26e08c0000000p+11, 0x1.23cd8a0000000p+13,
          0x1.26e08c0000000p+11},
         {0x1.23cd8a0000000p+13, 0x1.26e08c0000000p+11, 0x1.363aa20000000p+13,
          0x1.0040000000000p+11},
         {0x1.363aa20000000p+13, 0x1.0040000000000p+11, 0x1.6440020000000p+13,
          0x1.0040000000000p+11}},
    };
    static const double designs[3][8] = {{125.5, 9500, 118.5, 183.25, 7.5, 2.75, 650.5, 4.4},
                                         {49.9, 13250, 125, 190, 6.25, 3.5, 720, 6.8},
                                         {250, 6350.5, 110, 175.5, 9, 2.2, 900, 2.5}};
    DesignParameters p;
    std::copy(std::begin(designs[design]), std::end(designs[design]), p.values.begin());
    const SketchGeometry g = drawSketch(computeChamber(p), 11520);
    for (std::size_t k = 0; k < 10; ++k) {
        const SketchCoords &c = g.elements[sk::Linea1 + k];
        COMPARE_EXACT(c.a, float(walls[design][k][0]));
        COMPARE_EXACT(c.b, float(walls[design][k][1]));
        COMPARE_EXACT(c.c, float(walls[design][k][2]));
        COMPARE_EXACT(c.d, float(walls[design][k][3]));
    }
}

QTEST_GUILESS_MAIN(TestSketch)
#include "tst_sketch.moc"

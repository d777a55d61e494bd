// The parts of a bent pipe: a route without bends changes nothing; mitred tube pieces have
// together the straight tube's area; a piece split around or along keeps its area; the
// allowance, the labels and the marks stay where they belong; a faulty route writes nothing.
#include "cut.h"
#include "exactgeometry.h"
#include "plan.h"
#include "textmodel.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;

namespace {

constexpr double Pi = 3.14159265358979323846;

route::Route bent(double at, double angle, int joints, double spacing, double plane = 0)
{
    route::Route r;
    route::Bend b;
    b.atMm = at;
    b.angleDeg = angle;
    b.joints = joints;
    b.spacingMm = spacing;
    b.planeDeg = plane;
    r.bends << b;
    return r;
}

WorkshopPlan planOf(const Pipe &pipe, const WorkshopOptions &o)
{
    const DesignParameters p = defaultParameters();
    return planWorkshop(p, evaluateChamber(p).dimensions, pipe, o);
}

double totalArea(const WorkshopPlan &plan)
{
    double a = 0;
    for (const Part &p : plan.parts)
        a += p.area;
    return a;
}

Pipe diffuser()
{
    Pipe p;
    p.sections << PipeSection(120, 40, 40) << PipeSection(300, 40, 100)
               << PipeSection(200, 100, 100) << PipeSection(150, 100, 30);
    return p;
}

} // namespace

class TestMitred : public QObject
{
    Q_OBJECT

private slots:
    void straightRouteChangesNothing();
    void tubePiecesKeepTheTubesArea_data();
    void tubePiecesKeepTheTubesArea();
    void splitPiecesKeepTheirArea_data();
    void splitPiecesKeepTheirArea();
    void labelsAndMarksInside();
    void refusedRouteMakesNoParts();
    void halvesParts_data();
    void halvesParts();
};

void TestMitred::straightRouteChangesNothing()
{
    WorkshopOptions o;
    const WorkshopPlan before = planOf(diffuser(), o);
    o.route = route::Route();
    const WorkshopPlan after = planOf(diffuser(), o);
    QCOMPARE(workshopJson(after), workshopJson(before));
    QCOMPARE(cutListCsv(after), cutListCsv(before));
    QVERIFY(!workshopJson(after).contains(QStringLiteral("route")));
}

// A tube cut at mitre joints, laid out again straight, is the tube: the pieces' areas add up
// to pi times the mean diameter times the length, whatever the turns.
void TestMitred::tubePiecesKeepTheTubesArea_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("joints");
    QTest::addColumn<double>("plane");
    QTest::newRow("one joint") << 20.0 << 1 << 0.0;
    QTest::newRow("C bend") << 90.0 << 4 << 0.0;
    QTest::newRow("skew") << 50.0 << 2 << 75.0;
}

void TestMitred::tubePiecesKeepTheTubesArea()
{
    QFETCH(double, angle);
    QFETCH(int, joints);
    QFETCH(double, plane);
    Pipe pipe;
    pipe.sections << PipeSection(600, 50, 50);
    WorkshopOptions o;
    o.sheetThickness = 1.2;
    o.maxJointDeg = 30;
    o.route = bent(150, angle, joints, 70, plane);
    const WorkshopPlan plan = planOf(pipe, o);
    QVERIFY2(plan.layout.ok(), qPrintable(plan.layout.problem));
    QCOMPARE(plan.parts.size(), joints + 1);
    const double expected = Pi * 51.2 * 600;
    QVERIFY2(std::abs(totalArea(plan) - expected) < 1e-4 * expected,
             qPrintable(QStringLiteral("%1 against %2").arg(totalArea(plan)).arg(expected)));
    for (const Part &p : plan.parts) {
        QVERIFY(p.mitred());
        QCOMPARE(workshopJson(plan)["parts"].toArray()[0].toObject()["kind"].toString(),
                 QStringLiteral("mitred"));
        // Both cut edges are as long as the ellipses they roll up into: at least the circle.
        QVERIFY(p.edgeUp >= Pi * 51.2 - 1e-6 && p.edgeDown >= Pi * 51.2 - 1e-6);
    }
}

// Cut around (by the largest sweep) and along (by the longest stretch), a mitred piece's parts
// have its area; with an allowance each part gains a strip along its seam edge.
void TestMitred::splitPiecesKeepTheirArea_data()
{
    QTest::addColumn<double>("maxSweep");
    QTest::addColumn<double>("maxLength");
    QTest::addColumn<double>("allowance");
    QTest::newRow("around in four") << 10.0 << 0.0 << 0.0;
    QTest::newRow("along in stretches") << 180.0 << 60.0 << 0.0;
    QTest::newRow("around, with allowance") << 20.0 << 0.0 << 6.0;
}

void TestMitred::splitPiecesKeepTheirArea()
{
    QFETCH(double, maxSweep);
    QFETCH(double, maxLength);
    QFETCH(double, allowance);
    WorkshopOptions o;
    o.route = bent(200, 40, 2, 80, 30);
    const WorkshopPlan whole = planOf(diffuser(), o);
    QVERIFY2(whole.layout.ok(), qPrintable(whole.layout.problem));
    o.maxSweepDegrees = maxSweep;
    o.maxLength = maxLength;
    o.seamAllowance = allowance;
    const WorkshopPlan split = planOf(diffuser(), o);
    QVERIFY(split.refusal.kind == PartsRefusal::Kind::None);
    QVERIFY(split.parts.size() > whole.parts.size());
    double strips = 0;
    for (const Part &p : split.parts) {
        if (allowance > 0 && p.mitred()) {
            // The strip is the seam edge's length times the allowance.
            const QPointF a = p.outline.vertices.first().p;
            const QPointF b = p.outline.vertices[p.outline.vertices.size() - 3].p;
            strips += std::hypot(a.x() - b.x(), a.y() - b.y()) * allowance;
        } else if (allowance > 0) {
            strips += p.area - (p.isSector() ? p.frustum.slant * (p.outerEdge() + p.innerEdge()) / 2
                                             : p.width * p.frustum.height);
        }
    }
    const double expected = totalArea(whole) + strips;
    QVERIFY2(std::abs(totalArea(split) - expected) < 1e-3 * expected,
             qPrintable(QStringLiteral("%1 against %2").arg(totalArea(split)).arg(expected)));
    QStringList names;
    for (const Part &p : split.parts)
        names << p.name;
    // The parts of a piece go round it once: their cut edges add up to the whole piece's.
    auto edges = [](const WorkshopPlan &plan, bool up) {
        double e = 0;
        for (const Part &p : plan.parts)
            e += p.name.startsWith(QStringLiteral("2-2")) ? (up ? p.edgeUp : p.edgeDown) : 0;
        return e;
    };
    if (maxLength == 0) {
        for (bool up : {true, false})
            QVERIFY2(std::abs(edges(split, up) - edges(whole, up)) < 1e-4 * edges(whole, up),
                     qPrintable(QStringLiteral("%1 against %2").arg(edges(split, up)).arg(edges(whole, up))));
    }
    QVERIFY2(names.contains(QStringLiteral("2-2a")) && names.contains(QStringLiteral("2-2b")),
             qPrintable(names.join(QLatin1Char(' '))));
}

// Every mitred part's label lies inside it, clear of its edge, and every mark on or inside it.
void TestMitred::labelsAndMarksInside()
{
    WorkshopOptions o;
    o.seamAllowance = 5;
    o.route = bent(60, 50, 2, 40, 0);
    route::Bend second;
    second.atMm = 450;
    second.angleDeg = 36;
    second.joints = 2;
    second.radiusMm = 200;
    second.planeDeg = 120;
    o.route->bends << second;
    const WorkshopPlan plan = planOf(diffuser(), o);
    QVERIFY2(plan.layout.ok(), qPrintable(plan.layout.problem));
    int mitred = 0;
    for (const Part &p : plan.parts) {
        if (!p.mitred())
            continue;
        ++mitred;
        const PartLabel &l = p.label;
        QVERIFY2(l.em >= 0.8, qPrintable(p.name));
        QVERIFY(l.lines.first().startsWith(p.name + QLatin1Char(' ')));
        double widest = 0;
        for (const QString &line : l.lines)
            widest = std::max(widest, textWidthEm(line));
        const double hw = widest * l.em / 2,
                     hh = ((l.lines.size() - 1) * LineSpacingEm + 1) * l.em / 2;
        const double a = l.angle * Pi / 180;
        const QPointF u(std::cos(a), std::sin(a)), v(-std::sin(a), std::cos(a));
        Contour block;
        block.vertices = {{l.centre - u * hw - v * hh, 0},
                          {l.centre + u * hw - v * hh, 0},
                          {l.centre + u * hw + v * hh, 0},
                          {l.centre - u * hw + v * hh, 0}};
        double nearest = 1e9;
        for (const test::Edge &e : test::exactEdgesOf(block))
            for (const test::Edge &f : test::exactEdgesOf(p.outline))
                nearest = std::min(nearest, test::edgeToEdge(e, f));
        QVERIFY(contains(p.outline, l.centre));
        QVERIFY2(nearest >= 1.99, qPrintable(QStringLiteral("%1: %2").arg(p.name).arg(nearest)));
        const QRectF box = boundsOf(p.outline).adjusted(-1e-6, -1e-6, 1e-6, 1e-6);
        int ticks = 0;
        for (const Stroke &m : p.marks) {
            QVERIFY2(box.contains(m.a) && box.contains(m.b), qPrintable(p.name));
            ticks += m.dashed ? 0 : 1;
        }
        QVERIFY2(ticks >= 8, qPrintable(p.name)); // four quarters on each cut edge
    }
    QCOMPARE(mitred, 2 + 1 + 2 + 1);
}

void TestMitred::refusedRouteMakesNoParts()
{
    WorkshopOptions o;
    o.route = bent(120, 20, 1, 10); // on the step from the header into the diffuser
    const WorkshopPlan plan = planOf(diffuser(), o);
    QVERIFY(!plan.layout.ok());
    QVERIFY(plan.parts.isEmpty());
    QVERIFY(plan.refusal.kind == PartsRefusal::Kind::Geometry);
    QVERIFY2(plan.refusal.text.contains(QStringLiteral("curva 1")), qPrintable(plan.refusal.text));
}

void TestMitred::halvesParts_data()
{
    QTest::addColumn<double>("margin");
    QTest::addColumn<double>("stretch");
    QTest::newRow("bare") << 0.0 << 0.0;
    QTest::newRow("margin and stretch") << 6.0 << 2.0;
}

// A bend made as halves on a tube: two parts of one outline, each a strip whose area is its
// middle line's length (the arc's, along the centreline) times its width, half the
// circumference less the stretch plus a margin each side.
void TestMitred::halvesParts()
{
    QFETCH(double, margin);
    QFETCH(double, stretch);
    Pipe pipe;
    pipe.sections << PipeSection(500, 50, 50) << PipeSection(300, 50, 110);
    WorkshopOptions o;
    o.sheetThickness = 1;
    o.halvesMargin = margin;
    o.halvesStretch = stretch;
    o.route = bent(200, 75, 5, 25);
    o.route->bends[0].halves = true;
    const WorkshopPlan plan = planOf(pipe, o);
    QVERIFY2(plan.layout.ok(), qPrintable(plan.layout.problem));
    QList<Part> halves;
    for (const Part &p : plan.parts) {
        if (p.halves())
            halves << p;
    }
    QCOMPARE(halves.size(), 2);
    QCOMPARE(halves[0].name, QStringLiteral("1-2a"));
    QCOMPARE(halves[1].name, QStringLiteral("1-2b"));
    QCOMPARE(halves[0].outline.vertices.size(), halves[1].outline.vertices.size());
    for (int i = 0; i < halves[0].outline.vertices.size(); ++i)
        QCOMPARE(halves[0].outline.vertices[i].p, halves[1].outline.vertices[i].p);
    const double arc = 5 * 25; // half a spacing each side of five joints 25 mm apart
    const double expected = arc * (Pi * 51 / 2 / (1 + stretch / 100) + 2 * margin);
    QVERIFY2(std::abs(halves[0].area - expected) < 1e-6 * expected,
             qPrintable(QStringLiteral("%1 against %2").arg(halves[0].area).arg(expected)));
    QVERIFY(halves[0].label.lines.join(' ').contains(QStringLiteral("approssimato")) ||
            halves[0].label.omitted > 0);
    QVERIFY(contains(halves[0].outline, halves[0].label.centre));
    const QRectF box = boundsOf(halves[0].outline).adjusted(-1e-6, -1e-6, 1e-6, 1e-6);
    for (const Stroke &m : halves[0].marks)
        QVERIFY(box.contains(m.a) && box.contains(m.b));
    int index = 0;
    while (!plan.parts[index].halves())
        ++index;
    QCOMPARE(workshopJson(plan)["parts"].toArray()[index].toObject()["kind"].toString(),
             QStringLiteral("halves"));
    // The rest of the pipe is cut as before: the tube either side of the arc, square.
    QCOMPARE(plan.parts.size(), 2 + 2 + 1);
}

QTEST_MAIN(TestMitred)
#include "tst_mitred.moc"

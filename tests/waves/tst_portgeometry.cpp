// Ports typed by their geometry against the worked values of the crank-slider and the window
// outlines (closed forms, and a column-by-column integration of the outline as an independent
// oracle), the time-areas of a race 125's ports, the table the model reads, and the files and
// engines refused.
#include "portstudy.h"

#include "portareas.h"

#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::waves;

namespace {

constexpr double Pi = 3.14159265358979323846;

// The 54 x 54.5 engine with a 110 mm rod.
engine::Crank crank(double offset = 0)
{
    return engine::Crank{54.5 / 2, 110, offset};
}

// The open area of a rounded rectangle found column by column across its width: each column
// opens from the top outline's depth down to the bottom outline's.
double columns(const engine::Window &w, double open)
{
    const int n = 20000;
    double a = 0;
    for (int k = 0; k < n; ++k) {
        const double u = -w.width / 2 + (k + 0.5) * w.width / n; // across the chord
        auto depth = [&](double r) {
            const double inside = std::abs(u) - (w.width / 2 - r); // into the corner
            return inside > 0 ? r - std::sqrt(std::max(0.0, r * r - inside * inside)) : 0.0;
        };
        const double top = depth(w.topRadius), bottom = w.height - depth(w.bottomRadius);
        a += std::clamp(open - top, 0.0, bottom - top) * w.width / n;
    }
    return a;
}

PortWindow windowOf(double opens, double width, double rt, double rb, std::optional<double> h,
                    int count = 1, double angle = 0)
{
    PortWindow w;
    w.name = QStringLiteral("prova");
    w.opensDeg = opens;
    w.widthMm = width;
    w.topRadiusMm = rt;
    w.bottomRadiusMm = rb;
    w.heightMm = h;
    w.count = count;
    w.angleDeg = angle;
    return w;
}

// One 38 mm exhaust window, four 15 mm transfers.
PortGeometry race125()
{
    PortGeometry p;
    p.exhaust << windowOf(94, 38, 5, 5, 26);
    p.transfers << windowOf(116, 15, 2, 2, 16, 4);
    return p;
}

} // namespace

class TestPortGeometry : public QObject
{
    Q_OBJECT

private slots:
    void crankSlider_data();
    void crankSlider();
    void offsetMakesTimingsAsymmetric();
    void windowArea_data();
    void windowArea();
    void pistonIntake();
    void angleAreas();
    void tableTheModelReads();
    void rotaryDisc_data();
    void rotaryDisc();
    void powerValve_data();
    void powerValve();
    void fileRefused_data();
    void fileRefused();
    void engineRefused_data();
    void engineRefused();
};

// The crown's drop and its inverse against the closed form cos(theta) = (y² + r² - L²)/(2 r y),
// y = L + r - h.
void TestPortGeometry::crankSlider_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("drop");
    QTest::newRow("94") << 94.0 << 32.563;
    QTest::newRow("120") << 120.0 << 43.436;
    QTest::newRow("bottom") << 180.0 << 54.5;
    QTest::newRow("75 before the top") << 285.0 << 23.393;
    QTest::newRow("40 before the top") << 320.0 << 7.779;
}

void TestPortGeometry::crankSlider()
{
    QFETCH(double, degrees);
    QFETCH(double, drop);
    const engine::Crank c = crank();
    QVERIFY(std::abs(c.drop(degrees) - drop) < 5e-4);
    const double r = c.radius, l = c.rod, y = l + r - c.drop(degrees);
    const double closed = std::acos((y * y + r * r - l * l) / (2 * r * y)) * 180 / Pi;
    const double found = degrees <= 180 ? c.downAt(c.drop(degrees)) : 360 - c.upAt(c.drop(degrees));
    if (degrees != 180) // flat at the bottom: the angle is not found to the last digit there
        QVERIFY(std::abs(found - closed) < 1e-9);
    QVERIFY(std::abs(c.drop(degrees) - c.drop(360 - degrees)) < 1e-12);
}

// A pin 1 mm off: the edge at 32.563 mm opens 94.13 after top dead centre and closes 93.87
// before it, and the crown travels 54.5024 mm.
void TestPortGeometry::offsetMakesTimingsAsymmetric()
{
    const engine::Crank c = crank(1);
    QVERIFY(std::abs(c.drop(0)) < 1e-12);
    QVERIFY(std::abs(c.travel() - 54.5024) < 1e-4);
    QVERIFY(std::abs(c.drop(c.bottomDegrees()) - c.travel()) < 1e-9);
    QVERIFY(std::abs(c.bottomDegrees() - (180.692 - 0.417)) < 2e-3);
    QVERIFY2(std::abs(c.downAt(32.563) - 94.13) < 0.01, qPrintable(QString::number(c.downAt(32.563))));
    QVERIFY(std::abs(360 - c.upAt(32.563) - 93.87) < 0.01);
}

void TestPortGeometry::windowArea_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<double>("open");
    QTest::addColumn<double>("area"); // the worked value, or -1: the columns alone
    QTest::newRow("2 mm into 38 x 26, R 5") << 38.0 << 26.0 << 5.0 << 5.0 << 2.0 << 67.18;
    QTest::newRow("at the corner") << 38.0 << 26.0 << 5.0 << 5.0 << 5.0 << 179.27;
    QTest::newRow("at 120 degrees") << 38.0 << 26.0 << 5.0 << 5.0 << 10.873648 << 402.47;
    QTest::newRow("at the bottom") << 38.0 << 26.0 << 5.0 << 5.0 << 21.937366 << 822.83;
    QTest::newRow("whole") << 38.0 << 26.0 << 5.0 << 5.0 << 26.0 << 966.54;
    QTest::newRow("into the bottom corners") << 38.0 << 26.0 << 5.0 << 3.0 << 24.5 << -1.0;
    QTest::newRow("sharp corners") << 38.0 << 26.0 << 0.0 << 0.0 << 2.0 << 76.0;
    QTest::newRow("transfer at the bottom") << 15.0 << 16.0 << 2.0 << 2.0 << 12.543070 << 186.43;
    QTest::newRow("a round window") << 10.0 << 10.0 << 5.0 << 5.0 << 3.0 << -1.0;
}

void TestPortGeometry::windowArea()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, top);
    QFETCH(double, bottom);
    QFETCH(double, open);
    QFETCH(double, area);
    const engine::Window w{width, height, top, bottom};
    if (area >= 0)
        QVERIFY2(std::abs(w.area(open) - area) < 0.006, qPrintable(QString::number(w.area(open))));
    QVERIFY2(std::abs(w.area(open) - columns(w, open)) < 2e-3,
             qPrintable(QStringLiteral("%1 against %2").arg(w.area(open)).arg(columns(w, open))));
    // No step where the formula changes: at each radius, and past the height.
    for (double at : {top, height - bottom})
        QVERIFY(std::abs(w.area(at + 1e-9) - w.area(at - 1e-9)) < 1e-6);
    QCOMPARE(w.area(height + 5), w.area(height));
    QCOMPARE(w.area(-1), 0.0);
}

// The piston intake, 40 x 28 with 6 mm corners, opens 75 before top dead centre: the skirt has
// uncovered 920.11 mm² at the top, 609.11 at 40 degrees before it, as much after as before.
void TestPortGeometry::pistonIntake()
{
    PortGeometry p = race125();
    p.pistonIntake = windowOf(75, 40, 6, 6, 28);
    const engine::Crank c = crank();
    QVERIFY(std::abs(portAreasAt(p, c, 0).intake - 920.11) < 0.01);
    QVERIFY(std::abs(portAreasAt(p, c, 320).intake - 609.11) < 0.01);
    QVERIFY(std::abs(portAreasAt(p, c, 40).intake - 609.11) < 0.01);
    QCOMPARE(portAreasAt(p, c, 284).intake, 0.0);
    QVERIFY(portAreasAt(p, c, 286).intake > 0);
    QCOMPARE(portAreasAt(p, c, 180).intake, 0.0);
}

// The race 125's angle-areas: exhaust 92,492, blowdown (94 to 116 degrees) 3,850, transfers
// 63,042 deg mm²; at 12,000 rpm on 124.817 cm³ the exhaust's specific time-area is 0.01029.
// Inclined transfers pass the cosine of their angle.
void TestPortGeometry::angleAreas()
{
    const engine::Crank c = crank();
    PortGeometry p = race125();
    const AngleAreas a = waves::angleAreas(p, c);
    QVERIFY2(std::abs(a.exhaust - 92492) < 1, qPrintable(QString::number(a.exhaust, 'f', 2)));
    QVERIFY2(std::abs(a.blowdown - 3850) < 1, qPrintable(QString::number(a.blowdown, 'f', 2)));
    QVERIFY2(std::abs(a.transfer - 63042) < 1, qPrintable(QString::number(a.transfer, 'f', 2)));
    const double swept = Pi / 4 * 54 * 54 * 54.5 / 1000;
    QVERIFY(std::abs(swept - 124.817) < 1e-3);
    QVERIFY(std::abs(specificTimeArea(a.exhaust, 12000, swept) - 0.01029) < 5e-6);
    QVERIFY(std::abs(specificTimeArea(a.exhaust, 10000, swept) - 0.01235) < 5e-6);
    // Against the plain trapezoid sum of the areas every hundredth of a degree.
    double sum = 0;
    for (int k = 0; k < 36000; ++k)
        sum += portAreasAt(p, c, k * 0.01).exhaust * 0.01;
    QVERIFY(std::abs(sum / a.exhaust - 1) < 1e-5);
    p.transfers[0].angleDeg = 30;
    QVERIFY(std::abs(waves::angleAreas(p, c).transfer / a.transfer - std::cos(Pi / 6)) < 1e-12);
}

// The table: a row each degree, the model's reader takes its CSV back exactly, and the timing
// it reads is the geometry's.
void TestPortGeometry::tableTheModelReads()
{
    const engine::Crank c = crank();
    PortGeometry p = race125();
    p.pistonIntake = windowOf(75, 40, 6, 6, 28);
    const engine::PortAreaTable t = portTable(p, c);
    QCOMPARE(int(t.angle.size()), 360);
    QVERIFY(!engine::engineProblem(t));
    const engine::PortAreasRead back = engine::readPortAreas(engine::portAreasCsv(t));
    QVERIFY2(back.ok(), qPrintable(back.error));
    QCOMPARE(back.table.exhaust, t.exhaust);
    QCOMPARE(back.table.intake, t.intake);
    const auto timing = t.timing();
    QVERIFY2(std::abs(timing.eo - 94) < 1, qPrintable(QString::number(timing.eo)));
    QVERIFY(std::abs(timing.to - 116) < 1);
    QVERIFY(std::abs(timing.ec - 266) < 1);
    QCOMPARE(t.exhaust[120], portAreasAt(p, c, 120).exhaust);
}

// A flat blade cutting the 38 mm window's top: 3 mm cut opens it at 100.58 degrees, 719.02 mm²
// at the bottom, 1,916 deg mm² of blowdown; 1.5 mm at 97.25, 773.45, 2,845; none at 94, the
// port as it is. The valve's timing is linear in the speed between its rows, its ends held.
// A disc opening 140 before top dead centre and closing 60 after over a 50 degree window
// between 20 and 40 mm: a 150 degree cut-out, 523.60 mm² open from 90 before to 10 after,
// half of it at 115 before and 35 after, 78,540 deg mm² in all.
void TestPortGeometry::rotaryDisc_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("area");
    QTest::newRow("shut before") << 215.0 << 0.0;
    QTest::newRow("opening") << 245.0 << 261.80;
    QTest::newRow("fully open") << 270.0 << 523.60;
    QTest::newRow("at the top") << 0.0 << 523.60;
    QTest::newRow("still fully open") << 10.0 << 523.60;
    QTest::newRow("closing") << 35.0 << 261.80;
    QTest::newRow("shut after") << 61.0 << 0.0;
}

void TestPortGeometry::rotaryDisc()
{
    QFETCH(double, degrees);
    QFETCH(double, area);
    PortGeometry p = race125();
    p.disc = RotaryDisc{140, 60, 50, 20, 40};
    QCOMPARE(p.disc->cutOutDeg(), 150.0);
    QVERIFY2(std::abs(portAreasAt(p, crank(), degrees).intake - area) < 0.01,
             qPrintable(QString::number(portAreasAt(p, crank(), degrees).intake)));
    QVERIFY(std::abs(waves::angleAreas(p, crank()).intake - 78540) < 0.5);
    QCOMPARE(int(portTable(p, crank()).intake.size()), 360);
}

void TestPortGeometry::powerValve_data()
{
    QTest::addColumn<double>("rpm");
    QTest::addColumn<double>("timing");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<double>("blowdown");
    QTest::newRow("below the rows") << 5000.0 << 100.58 << 719.02 << 1916.0;
    QTest::newRow("between") << 7000.0 << 97.25 << 773.45 << 2845.0;
    QTest::newRow("above the rows") << 12000.0 << 94.0 << 822.83 << 3850.0;
}

void TestPortGeometry::powerValve()
{
    QFETCH(double, rpm);
    QFETCH(double, timing);
    QFETCH(double, bottom);
    QFETCH(double, blowdown);
    const engine::Crank c = crank();
    PortGeometry p = race125();
    p.powerValve = {{6000, 100.58}, {8000, 93.92}, {9000, 94}};
    const PortGeometry cut = atSpeed(p, rpm);
    QVERIFY(std::abs(valveTiming(p, rpm) - timing) < 1e-9);
    QCOMPARE(exhaustOpens(cut), timing);
    QVERIFY2(std::abs(portAreasAt(cut, c, 180).exhaust - bottom) < 0.1,
             qPrintable(QString::number(portAreasAt(cut, c, 180).exhaust)));
    QVERIFY2(std::abs(waves::angleAreas(cut, c).blowdown - blowdown) < 2,
             qPrintable(QString::number(waves::angleAreas(cut, c).blowdown)));
    // Shut until the cut edge, then what the whole window opens less what the cut hides.
    const double hidden = c.drop(timing) - c.drop(94);
    const engine::Window w{38, 26, 5, 5};
    for (double d : {95.0, 99.0, 101.0, 120.0, 180.0, 250.0}) {
        const double o = c.drop(d) - c.drop(94);
        const double expected = o > hidden ? w.area(o) - w.area(hidden) : 0;
        QVERIFY(std::abs(portAreasAt(cut, c, d).exhaust - expected) < 1e-9);
    }
}

void TestPortGeometry::fileRefused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("says");
    const QByteArray transfers = R"("transfers": [{"opens_deg": 116, "width_mm": 15}])";
    auto file = [&](const QByteArray &exhaust, const QByteArray &more = QByteArray()) {
        return QByteArray(R"({"version": 1, "exhaust": )") + exhaust + ", " + transfers + more + "}";
    };
    QTest::newRow("not JSON") << QByteArray("luci") << "JSON";
    QTest::newRow("a wrong version") << QByteArray(R"({"version": 2})") << "version";
    QTest::newRow("an unknown key") << file(R"({"opens_deg": 94, "width_mm": 38, "colore": 1})") << "colore";
    QTest::newRow("opening past the bottom") << file(R"({"opens_deg": 185, "width_mm": 38})") << "tra 0 e 180";
    QTest::newRow("opening at the top") << file(R"({"opens_deg": 0, "width_mm": 38})") << "tra 0 e 180";
    QTest::newRow("a width as text") << file(R"({"opens_deg": 94, "width_mm": "38"})") << "numero";
    QTest::newRow("a radius over half the width") << file(R"({"opens_deg": 94, "width_mm": 8, "top_radius_mm": 5})") << "met\u00e0";
    QTest::newRow("radii taller than the window") << file(R"({"opens_deg": 94, "width_mm": 38, "top_radius_mm": 6, "bottom_radius_mm": 6, "height_mm": 10})") << "altezza";
    QTest::newRow("half a port") << file(R"({"opens_deg": 94, "width_mm": 38, "aux": [{"opens_deg": 96, "width_mm": 10, "count": 1.5}]})") << "scarico ausiliario 1";
    QTest::newRow("no transfers") << QByteArray(R"({"version": 1, "exhaust": {"opens_deg": 94, "width_mm": 38}, "transfers": []})") << "travasi";
    QTest::newRow("a disc with no cut-out") << file(R"({"opens_deg": 94, "width_mm": 38})", R"(, "intake": {"disc": {"opens_deg": 20, "closes_deg": 25, "port_span_deg": 50, "r_inner_mm": 20, "r_outer_mm": 40}})") << "disco rotante";
    QTest::newRow("an intake of another kind") << file(R"({"opens_deg": 94, "width_mm": 38})", R"(, "intake": {"disco": {}})") << "piston";
    QTest::newRow("a reed without its petals") << file(R"({"opens_deg": 94, "width_mm": 38})", R"(, "intake": {"reed": {"length_mm": 30}})") << "pacco lamellare";
    QTest::newRow("a reed of half a petal") << file(R"({"opens_deg": 94, "width_mm": 38})", R"(, "intake": {"reed": {"petals": 2.5, "length_mm": 30, "width_mm": 20, "thickness_mm": 0.4, "youngs_gpa": 50, "density_kg_m3": 1550, "damping": 0.05, "stop_mm": 8, "port_area_mm2": 900, "angle_deg": 30}})") << "petals";
    QTest::newRow("a valve raising the port") << file(R"({"opens_deg": 94, "width_mm": 38, "power_valve": [[6000, 90]]})") << "riga 1";
    QTest::newRow("a valve's speeds going back") << file(R"({"opens_deg": 94, "width_mm": 38, "power_valve": [[8000, 100], [6000, 96]]})") << "riga 2";
    QTest::newRow("a steep transfer") << QByteArray(R"({"version": 1, "exhaust": {"opens_deg": 94, "width_mm": 38}, "transfers": [{"name": "B", "opens_deg": 116, "width_mm": 15, "angle_deg": 85}]})") << "travaso B";
}

void TestPortGeometry::fileRefused()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, says);
    const PortGeometryRead read = readPortGeometry(json);
    QVERIFY(!read.ok());
    QVERIFY2(read.error.contains(says), qPrintable(read.error));
    QVERIFY(read.ports.exhaust.isEmpty());
}

void TestPortGeometry::engineRefused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("says");
    QTest::newRow("wider than the bore") << QByteArray(R"({"version": 1, "exhaust": {"opens_deg": 94, "width_mm": 55}, "transfers": [{"opens_deg": 116, "width_mm": 15}]})") << "scarico";
    QTest::newRow("more than once round") << QByteArray(R"({"version": 1, "exhaust": {"opens_deg": 94, "width_mm": 45}, "transfers": [{"opens_deg": 116, "width_mm": 40, "count": 4}]})") << "360";
    QTest::newRow("transfers first") << QByteArray(R"({"version": 1, "exhaust": {"opens_deg": 120, "width_mm": 38}, "transfers": [{"name": "A", "opens_deg": 116, "width_mm": 15}]})") << "travaso A";
    QTest::newRow("radii past the bottom") << QByteArray(R"({"version": 1, "exhaust": {"opens_deg": 150, "width_mm": 38, "top_radius_mm": 5, "bottom_radius_mm": 5}, "transfers": [{"opens_deg": 160, "width_mm": 15}]})") << "raggi";
}

void TestPortGeometry::engineRefused()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, says);
    const PortGeometryRead read = readPortGeometry(json);
    QVERIFY2(read.ok(), qPrintable(read.error));
    const std::optional<QString> problem = portsProblem(read.ports, crank(), 54);
    QVERIFY(problem);
    QVERIFY2(problem->contains(says), qPrintable(*problem));
    QVERIFY(!portsProblem(race125(), crank(), 54));
}

QTEST_APPLESS_MAIN(TestPortGeometry)
#include "tst_portgeometry.moc"

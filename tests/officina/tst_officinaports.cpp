// The ports typed by their geometry in the workshop window: chosen in the engine dialog in place
// of a table, run by the model as the model runs them alone, kept by the project, and refused
// with a message when they do not fit the engine.
#include "officinafixture.h"
#include "portmapview.h"
#include "portstudy.h"
#include "projectondisk.h"
#include "testfiles.h"
#include "wavestab.h"
#include "plot/plotview.h"
#include "windowtest.h"

#include <QLabel>
#include <QSlider>
#include <QtTest>

using namespace velmorant;
using test::pressOk;
using test::readAll;

namespace {

// Race ports for the default design's 100 cm³ square engine (a 50.3 mm bore).
const QByteArray Ports = R"({"version": 1,
  "exhaust": {"opens_deg": 94, "width_mm": 34, "top_radius_mm": 5, "bottom_radius_mm": 3,
              "aux": [{"opens_deg": 96, "width_mm": 10, "top_radius_mm": 3, "count": 2}],
              "power_valve": [[7000, 100], [9000, 94]]},
  "transfers": [{"name": "A", "opens_deg": 117, "width_mm": 16, "top_radius_mm": 2, "count": 2},
                {"name": "B", "opens_deg": 118, "width_mm": 13, "top_radius_mm": 2, "count": 2}],
  "intake": {"piston": {"opens_deg": 75, "width_mm": 36, "radius_mm": 4}}})";

} // namespace

class TestOfficinaPorts : public QObject, test::OfficinaFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void init() { QVERIFY(startWindow()); }
    void cleanup() { w.reset(); }

    void portsReachTheModel();
    void portsThatDoNotFitAreRefused();
};

void TestOfficinaPorts::portsReachTheModel()
{
    run("mnuCalcola");
    w->findChild<QPushButton *>("cmdMotore")->click();
    auto *dialog = w->findChild<EngineDialog *>("dlgMotore");
    QVERIFY(dialog);
    const QString file = dir->filePath("luci.json");
    QVERIFY(test::writeBytes(file, Ports));
    platform.fileAnswers << file;
    dialog->findChild<QPushButton *>("cmdLuciGeometria")->click();
    QCOMPARE(dialog->findChild<QLabel *>("lblLuciGeometria")->text(), QStringLiteral("luci.json"));
    QCOMPARE(dialog->findChild<QLabel *>("lblAreeLuci")->text(),
             QStringLiteral("dalle luci per geometria"));
    // The map: the crown at the slider's angle uncovers what the model reads there.
    auto *map = dialog->findChild<PortMapView *>("vistaLuci");
    auto *slider = dialog->findChild<QSlider *>("sldAngoloLuci");
    QVERIFY(map && slider);
    const waves::EngineInputs onDesign =
        waves::onDesign(w->waves()->engine(), w->plan()->parameters);
    const waves::PortGeometry typed = waves::readPortGeometry(Ports).ports;
    const engine::Crank crank = waves::crankOf(engine::engineGeometry(onDesign), typed);
    for (int degrees : {0, 100, 150, 180}) {
        slider->setValue(degrees);
        QCOMPARE(map->angle(), double(degrees));
        QCOMPARE(map->openAreas().exhaust, waves::portAreasAt(typed, crank, degrees).exhaust);
        QCOMPARE(map->openAreas().transfer, waves::portAreasAt(typed, crank, degrees).transfer);
    }
    QVERIFY(map->openAreas().transfer > 0);
    // The time-areas at the design speed, the valve cut as it is there (10,000 rpm: none).
    const waves::AngleAreas aa = waves::angleAreas(typed, crank);
    const double swept = engine::engineGeometry(onDesign).swept * 1e6;
    const auto bars = map->specificTimeAreas();
    QCOMPARE(bars.size(), 4);
    const double rpm = w->plan()->parameters[Field::Rpm];
    const double expected[4] = {aa.exhaust, aa.blowdown, aa.transfer, aa.intake};
    for (int k = 0; k < 4; ++k)
        QVERIFY2(std::abs(bars[k].second / waves::specificTimeArea(expected[k], rpm, swept) - 1) <
                     1e-9,
                 qPrintable(bars[k].first));
    pressOk(w.get());
    QTRY_VERIFY(!w->findChild<EngineDialog *>("dlgMotore"));
    const EnginePaths paths = w->waves()->texts().paths;
    QVERIFY(paths.ports);
    box("opt_waves-from")->setText("8000");
    box("opt_waves-to")->setText("8000");
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->waves()->busy(), 120000);
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    // The model alone on the same engine, the ports put on it as the command line puts them.
    waves::EngineInputs engine = waves::onDesign(w->waves()->engine(), w->plan()->parameters);
    waves::WaveOptions o;
    o.variableGas = true; // the window's default
    QVERIFY(!waves::putPorts(paths.ports->ports, file, engine, o,
                             w->plan()->parameters[Field::Rpm]));
    const waves::SpeedResult alone =
        waves::simulateSpeed(firstSizingPipe(w->plan()->dimensions), engine, o, 8000);
    const waves::SpeedResult shown = w->waves()->view()->plot().speeds.value(0);
    QCOMPARE(shown.chargingEfficiency, alone.chargingEfficiency);
    // The valve, lowered there: the auxiliaries open first.
    QCOMPARE(shown.exhaustOpens, 96.0);
    // Saved and opened again: the same ports.
    const QString path = dir->filePath("luci.vlo");
    platform.fileAnswers << path;
    run("mnuSalvaConNome");
    const QByteArray saved = readAll(path);
    QVERIFY(saved.contains("\"ports\""));
    QVERIFY(startWindow());
    const QString reopened = dir->filePath("luci.vlo");
    QVERIFY(test::writeBytes(reopened, saved));
    QVERIFY2(w->openPath(reopened), qPrintable(platform.messages.value(0).text));
    settle();
    const EnginePaths again = w->waves()->texts().paths;
    QVERIFY(again.ports);
    QCOMPARE(again.ports->source, file);
    QCOMPARE(waves::portGeometryJson(again.ports->ports),
             waves::portGeometryJson(paths.ports->ports));
}

// An exhaust wider than the bore: the run says so and nothing is calculated.
void TestOfficinaPorts::portsThatDoNotFitAreRefused()
{
    run("mnuCalcola");
    w->findChild<QPushButton *>("cmdMotore")->click();
    const QString file = dir->filePath("larghe.json");
    QVERIFY(test::writeBytes(file, QByteArray(Ports).replace("\"width_mm\": 34", "\"width_mm\": 52")));
    platform.fileAnswers << file;
    w->findChild<EngineDialog *>("dlgMotore")->findChild<QPushButton *>("cmdLuciGeometria")->click();
    pressOk(w.get());
    QTRY_VERIFY(!w->findChild<EngineDialog *>("dlgMotore"));
    w->findChild<QPushButton *>("cmdCalcolaOnde")->click();
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.contains("non stanno sul motore"),
             qPrintable(platform.messages[0].text));
    QVERIFY(!w->waves()->busy());
    QVERIFY(w->waves()->view()->plot().speeds.isEmpty());
}

QTEST_MAIN(TestOfficinaPorts)
#include "tst_officinaports.moc"

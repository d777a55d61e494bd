// The workshop window's plot: legends clear of every curve and mark, the value under the mouse,
// zoom and pan with the way back, clicks on points, and the plot and its data exported.
#include "failingdisk.h"
#include "fakeplatform.h"
#include "plot/plotview.h"
#include "testfiles.h"
#include "windowtest.h"

#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

using namespace velmorant;
using namespace velmorant::plot;

namespace {

// Curves over the whole frame when `crowded`: no corner is free and the legend must go below.
Data sample(bool crowded, int entries = 3)
{
    Data d;
    d.x.title = QStringLiteral("Angolo (\u00b0)");
    d.x.unit = QStringLiteral("\u00b0");
    d.x.from = 0;
    d.x.to = 360;
    d.y.title = QStringLiteral("Pressione (bar)");
    d.y.unit = QStringLiteral("bar");
    for (int s = 0; s < entries; ++s) {
        Series series;
        series.name = QStringLiteral("curva %1").arg(s + 1);
        series.color = QColor::fromHsv(s * 45, 200, 200);
        for (int k = 0; k <= 360; k += crowded ? 1 : 10) {
            const double y = crowded ? 1 + std::sin(k * 0.35 + s) * (1 + 0.01 * k) : 1 + 0.002 * k;
            series.points << QPointF(k, y + s * 0.1);
        }
        series.clickable = true;
        d.series << series;
    }
    d.marks << Mark{90, QStringLiteral("EO")} << Mark{270, QStringLiteral("EC")};
    d.levels << Level{1.013, QStringLiteral("ambiente")};
    return d;
}

} // namespace

class TestPlot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::prepareWindowTests(); }
    void legendCoversNothing_data();
    void legendCoversNothing();
    void ticksAreRound_data();
    void ticksAreRound();
    void headroomOverThePeak_data();
    void headroomOverThePeak();
    void markNamesOverTheCurves();
    void readoutNeverClipped_data();
    void readoutNeverClipped();
    void valueUnderTheMouse();
    void zoomPanAndBack();
    void clickOnAPoint();
    void exports_data();
    void exports();
    void failedExportKeepsOldFile();
};

void TestPlot::legendCoversNothing_data()
{
    QTest::addColumn<bool>("crowded");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("where"); // inside, outside, or either
    QTest::newRow("room in a corner") << false << QSize(800, 400) << 3 << "inside";
    QTest::newRow("curves everywhere") << true << QSize(800, 400) << 3 << "either";
    QTest::newRow("curves everywhere, small") << true << QSize(420, 260) << 6 << "outside";
    QTest::newRow("many entries") << false << QSize(600, 300) << 8 << "either";
}

// Wherever it goes, the legend's box meets no curve, marker, mark (with its name) or level.
void TestPlot::legendCoversNothing()
{
    QFETCH(bool, crowded);
    QFETCH(QSize, size);
    QFETCH(int, entries);
    QFETCH(QString, where);
    const Data d = sample(crowded, entries);
    const QFont font;
    const QFontMetricsF m(font);
    const Geometry g =
        layout(d, fullWindow(d), QRectF(QPointF(0, 0), QSizeF(size)), m, QLocale::c());
    QVERIFY(!g.legend.isEmpty());
    QVERIFY(QRectF(QPointF(0, 0), QSizeF(size)).contains(g.legend));
    if (g.legendInside) {
        QVERIFY(g.area.contains(g.legend));
        QVERIFY(!covers(g.legend, obstaclesOf(d, g, m)));
        // Checked here by sampling every curve densely, not by the layout's own test.
        for (const Series &s : d.series) {
            for (int i = 1; i < s.points.size(); ++i) {
                const QPointF a = g.toPixel(s.points[i - 1].x(), s.points[i - 1].y());
                const QPointF b = g.toPixel(s.points[i].x(), s.points[i].y());
                for (int k = 0; k <= 20; ++k)
                    QVERIFY(!g.legend.contains(a + (b - a) * (k / 20.0)));
            }
        }
        for (const Mark &k : d.marks) {
            const double x = g.toPixel(k.x, 0).x();
            QVERIFY(!(x >= g.legend.left() && x <= g.legend.right()));
        }
    } else {
        // Beside or below the frame, clear of it.
        QVERIFY(!g.legend.intersects(g.area));
    }
    if (where != QLatin1String("either"))
        QCOMPARE(g.legendInside, where == QLatin1String("inside"));
}

void TestPlot::ticksAreRound_data()
{
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("step");
    QTest::newRow("6000 rpm") << 6000.0 << 1000.0;
    QTest::newRow("1.3 bar") << 1.3 << 0.25;
    QTest::newRow("360 degrees") << 360.0 << 100.0;
    QTest::newRow("0.07") << 0.07 << 0.02;
}

void TestPlot::ticksAreRound()
{
    QFETCH(double, span);
    QFETCH(double, step);
    QCOMPARE(niceStep(span, 6), step);
    QCOMPARE(tickText(1.25, 0.25, QLocale(QStringLiteral("it_IT"))), QStringLiteral("1,25"));
    QCOMPARE(tickText(12000, 1000, QLocale(QStringLiteral("it_IT"))), QStringLiteral("12000"));
}

void TestPlot::headroomOverThePeak_data()
{
    QTest::addColumn<double>("peak");
    QTest::newRow("power 14.9 CV") << 14.9;
    QTest::newRow("exactly on a tick") << 15.0;
    QTest::newRow("a low peak") << 2.02;
}

// The axis leaves room over the largest value: the peak never lies on the frame.
void TestPlot::headroomOverThePeak()
{
    QFETCH(double, peak);
    Data d;
    d.y.fromZero = true;
    Series s;
    s.points = {QPointF(9000, 1), QPointF(10000, peak), QPointF(11000, 3)};
    d.series << s;
    const Window w = fullWindow(d);
    QCOMPARE(w.y0, 0.0);
    QVERIFY2(w.y1 >= peak + 0.03 * (w.y1 - w.y0),
             qPrintable(QStringLiteral("%1 over %2").arg(w.y1).arg(peak)));
    QVERIFY(w.y1 <= 2 * peak);
}

// EO, TO, ... are written after the curves, on a veil: a curve passing under reads as under.
void TestPlot::markNamesOverTheCurves()
{
    View v(QLocale::c());
    v.resize(800, 400);
    v.setData(sample(true));
    const QByteArray svg = v.svg();
    const int lastCurve = int(svg.lastIndexOf("<polyline"));
    const int eo = int(svg.indexOf(">EO<"));
    QVERIFY(lastCurve > 0 && eo > 0);
    QVERIFY2(eo > lastCurve, "the mark's name is under a curve");
}

void TestPlot::readoutNeverClipped_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<double>("width"); // of the text's box
    QTest::newRow("top right corner") << QPointF(395, 2) << 160.0;
    QTest::newRow("bottom left corner") << QPointF(2, 198) << 160.0;
    QTest::newRow("wider than the plot") << QPointF(200, 100) << 900.0;
    QTest::newRow("in the middle") << QPointF(200, 100) << 120.0;
}

// The value under the mouse is written whole inside the widget wherever the point lies.
void TestPlot::readoutNeverClipped()
{
    QFETCH(QPointF, at);
    QFETCH(double, width);
    const QRectF widget(0, 0, 400, 200), area(40, 10, 350, 160);
    const QRectF box = readoutBox(at, QSizeF(width, 18), area, widget);
    QVERIFY2(widget.contains(box), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                  .arg(box.x())
                                                  .arg(box.y())
                                                  .arg(box.width())
                                                  .arg(box.height())));
    if (width < 200 && area.contains(at) && at.x() < 250)
        QCOMPARE(box.topLeft(), at + QPointF(10, -24)); // beside it where there is room
}

void TestPlot::valueUnderTheMouse()
{
    View v(QLocale(QStringLiteral("it_IT")));
    v.resize(800, 400);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    Data d = sample(false, 1);
    d.series[0].points = {{0, 1.0}, {180, 1.5}, {360, 2.0}};
    v.setData(d);
    const QPointF at = v.toPixel(180, 1.5) + QPointF(3, -2);
    QMouseEvent move(QEvent::MouseMove, at, v.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&v, &move);
    QVERIFY2(v.readout().startsWith(QStringLiteral("curva 1: 180")), qPrintable(v.readout()));
    QVERIFY2(v.readout().endsWith(QStringLiteral("1,500 bar")), qPrintable(v.readout()));
    // Far from every point: nothing read.
    const QPointF away = v.toPixel(90, 3.0);
    QMouseEvent far(QEvent::MouseMove, away, v.mapToGlobal(away), Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&v, &far);
    QVERIFY(v.readout().isEmpty());
}

void TestPlot::zoomPanAndBack()
{
    View v(QLocale::c());
    v.resize(800, 400);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    v.setData(sample(false));
    const Window whole = v.shownWindow();
    const QRectF legend = v.currentGeometry().legend;
    QVERIFY(!v.zoomed() && !legend.isEmpty());
    // The wheel zooms about the mouse: the data under it stays under it.
    const QPointF at = v.toPixel(120, 1.2);
    QWheelEvent wheel(at, v.mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&v, &wheel);
    QVERIFY(v.zoomed());
    QVERIFY(std::abs((v.shownWindow().x1 - v.shownWindow().x0) - 360 / 1.5625) < 1e-9);
    const QPointF still = v.toPixel(120, 1.2);
    QVERIFY(std::abs(still.x() - at.x()) < 1e-6 && std::abs(still.y() - at.y()) < 1e-6);
    // Closer, where the curves pass by the legend's corner: the legend stays where it was.
    for (int k = 0; k < 4; ++k) {
        const QPointF corner = legend.center();
        QWheelEvent closer(corner, v.mapToGlobal(corner), QPoint(), QPoint(0, 240), Qt::NoButton,
                           Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&v, &closer);
        QCOMPARE(v.currentGeometry().legend, legend);
    }
    v.showAll();
    QApplication::sendEvent(&v, &wheel);
    // A drag moves the data with the mouse.
    const Window before = v.shownWindow();
    QTest::mousePress(&v, Qt::LeftButton, Qt::NoModifier, at.toPoint());
    QMouseEvent drag(QEvent::MouseMove, at + QPointF(100, 0), v.mapToGlobal(at + QPointF(100, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&v, &drag);
    QTest::mouseRelease(&v, Qt::LeftButton, Qt::NoModifier, (at + QPointF(100, 0)).toPoint());
    QVERIFY(v.shownWindow().x0 < before.x0);
    // A box drawn with Shift held is the new view.
    v.showAll();
    const QPoint a = v.toPixel(100, 1.6).toPoint(), b = v.toPixel(200, 1.1).toPoint();
    QTest::mousePress(&v, Qt::LeftButton, Qt::ShiftModifier, a);
    QMouseEvent boxing(QEvent::MouseMove, b, v.mapToGlobal(QPointF(b)), Qt::NoButton,
                       Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&v, &boxing);
    QTest::mouseRelease(&v, Qt::LeftButton, Qt::ShiftModifier, b);
    QVERIFY(std::abs(v.shownWindow().x0 - 100) < 1 && std::abs(v.shownWindow().x1 - 200) < 1);
    // And back: a double click shows it all.
    QTest::mouseDClick(&v, Qt::LeftButton, Qt::NoModifier, a);
    QVERIFY(v.shownWindow() == whole);
}

void TestPlot::clickOnAPoint()
{
    View v(QLocale::c());
    v.resize(800, 400);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    Data d = sample(false, 2);
    d.series[0].clickable = false;
    v.setData(d);
    QSignalSpy clicked(&v, &View::pointClicked);
    const QPointF p = d.series[1].points[7];
    QTest::mouseClick(&v, Qt::LeftButton, Qt::NoModifier, v.toPixel(p.x(), p.y()).toPoint());
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked[0][0].toInt(), 1);
    QCOMPARE(clicked[0][1].toInt(), 7);
}

void TestPlot::exports_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("PNG") << "grafico.png";
    QTest::newRow("SVG") << "grafico.svg";
    QTest::newRow("PDF") << "grafico.pdf";
    QTest::newRow("CSV") << "dati.csv";
}

void TestPlot::exports()
{
    QFETCH(QString, file);
    QTemporaryDir tmp;
    View v(QLocale(QStringLiteral("it_IT")));
    v.resize(700, 420);
    const Data d = sample(false);
    v.setData(d);
    FakePlatform platform;
    v.setExport(&platform, QStringLiteral("onde"));
    platform.fileAnswers << tmp.filePath(file);
    v.exportWithDialog();
    QCOMPARE(platform.fileRequests.value(0).proposed, "onde");
    QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messages.value(0).text));
    const QByteArray bytes = test::readAll(tmp.filePath(file));
    if (file.endsWith("png")) {
        const QImage image = QImage::fromData(bytes, "PNG");
        QCOMPARE(image.size(), QSize(1400, 840));
    } else if (file.endsWith("pdf")) {
        QVERIFY(bytes.startsWith("%PDF"));
    } else if (file.endsWith("svg")) {
        // Well-formed, a polyline per curve and the legend's words.
        QXmlStreamReader xml(bytes);
        int polylines = 0;
        QStringList words;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("polyline"))
                ++polylines;
            if (xml.isStartElement() && xml.name() == QLatin1String("text"))
                words << xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(polylines, d.series.size());
        QVERIFY(words.contains("curva 2") && words.contains("EO") && words.contains("ambiente"));
        QVERIFY(words.contains("Pressione (bar)"));
    } else {
        // A row per point, the series named, periods for decimals.
        const QList<QByteArray> lines = bytes.trimmed().split('\n');
        int points = 0;
        for (const Series &s : d.series)
            points += s.points.size();
        QCOMPARE(lines.size(), 1 + points);
        QCOMPARE(lines[0], QByteArray("\"serie\",\"Angolo (\xc2\xb0)\",\"Pressione (bar)\""));
        QCOMPARE(lines[1], QByteArray("\"curva 1\",0,1"));
    }
}

void TestPlot::failedExportKeepsOldFile()
{
    const QByteArray old("vecchio");
    test::FullDisk disk({{QStringLiteral("grafico.svg"), old}});
    if (!disk.available())
        QSKIP(qPrintable(disk.why()));
    View v(QLocale::c());
    v.resize(700, 420);
    v.setData(sample(true));
    const std::optional<QString> error = v.exportTo(disk.path("grafico.svg"));
    QVERIFY(error && error->contains("spazio esaurito"));
    QCOMPARE(test::readAll(disk.path("grafico.svg")), old);
    QCOMPARE(test::entries(disk.folder()), (QStringList{"grafico.svg", "zz-filler"}));
}

QTEST_MAIN(TestPlot)
#include "tst_plot.moc"

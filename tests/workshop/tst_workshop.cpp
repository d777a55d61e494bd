// The fabrication library against developments computed here, independently: arc lengths,
// allowance, pieces, nesting checked on the true arcs, labels, warnings, DXF and PDF read back.
#include "dxfwriter.h"
#include "exactgeometry.h"
#include "workshopdesigns.h"
#include "plan.h"
#include "sheetlayout.h"
#include "templatebook.h"
#include "testfiles.h"
#include "textmodel.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace velmorant;
using namespace velmorant::test;

namespace {

// The lengths of the outline's curved edges as drawn: the sector's arcs, or the rectangle's
// two ends (its edges along x).
QList<double> curvedEdges(const Part &p)
{
    QList<double> out;
    for (const test::Edge &e : test::exactEdgesOf(p.outline)) {
        if (p.isSector() && e.isArc)
            out << e.arc.radius * std::abs(e.arc.sweep);
        if (!p.isSector() && std::abs(e.a.y() - e.b.y()) < 1e-9 && e.a.x() >= -1e-9 &&
            e.b.x() >= -1e-9)
            out << std::abs(e.b.x() - e.a.x());
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace


class TestWorkshop : public QObject
{
    Q_OBJECT

private slots:
    void coneAgainstHandDevelopment();
    void developedEdges_data() { addDesigns(); }
    void developedEdges();
    void nestingKeepsGaps_data() { addDesigns(); }
    void nestingKeepsGaps();
    void labelsInsideOutlines_data() { addDesigns(); }
    void labelsInsideOutlines();
    void labelWidthsBoundFonts();
    void everyPieceNamed_data();
    void everyPieceNamed();
    void warnings_data();
    void warnings();
    void cutListMass();
    void absurdPartCountRefused();
    void dxfReadBack_data() { addDesigns(); }
    void dxfReadBack();
    void pdfPagesMeasured_data();
    void pdfPagesMeasured();
};

void TestWorkshop::coneAgainstHandDevelopment()
{
    // r 20 -> 40 over 200: s = sqrt(200^2 + 20^2), R = 2 s, angle = 360 * 20 / s.
    const Development cone = developFrustum(2, QStringLiteral("cono"), 200, 40, 80, 0);
    QCOMPARE(cone.kind, Development::Kind::Sector);
    QVERIFY(qAbs(cone.slant - 200.9975124224178) < 1e-9);
    QVERIFY(qAbs(cone.outerRadius - 401.9950248448356) < 1e-9);
    QVERIFY(qAbs(cone.sweepDegrees - 35.82133884755961) < 1e-9);
    // On the mean diameter with 2 mm sheet: 42 -> 82, and a narrowing cone develops alike.
    const Development sheet = developFrustum(4, QStringLiteral("cono"), 200, 80, 40, 2);
    QVERIFY(qAbs(sheet.outerRadius - 401.9950248448356 * 41.0 / 40.0) < 1e-9);
    QCOMPARE(developFrustum(1, QString(), 100, 30, 30, 1).kind, Development::Kind::Rectangle);
    QCOMPARE(developFrustum(1, QString(), -5, 30, 30, 1).kind, Development::Kind::Skipped);
}

void TestWorkshop::developedEdges()
{
    QFETCH(Design, design);
    const WorkshopPlan plan = planFor(design);
    QVERIFY2(plan.refusal.kind == PartsRefusal::Kind::None, qPrintable(plan.refusal.text));
    const double t = design.sheet;
    QMap<QPair<int, int>, double> wholeBig, wholeSmall; // per segment and stretch
    for (const Part &p : plan.parts) {
        const auto [da, db] = segmentEnds(plan.dimensions, p.segment);
        // This stretch's end diameters, on the straight line between the segment's ends.
        const double f0 = double(p.stretch) / p.stretches, f1 = double(p.stretch + 1) / p.stretches;
        const double d0 = da + (db - da) * f0 + t, d1 = da + (db - da) * f1 + t;
        const QList<double> edges = curvedEdges(p);
        QCOMPARE(edges.size(), 2);
        QVERIFY2(qAbs(edges[0] - Pi * std::min(d0, d1) / p.pieces) < 0.01, qPrintable(p.name));
        QVERIFY2(qAbs(edges[1] - Pi * std::max(d0, d1) / p.pieces) < 0.01, qPrintable(p.name));
        wholeSmall[{p.segment, p.stretch}] += edges[0];
        wholeBig[{p.segment, p.stretch}] += edges[1];
        // The stretches add up to the segment's length.
        QVERIFY(qAbs(p.frustum.length * p.stretches - segmentLength(plan.dimensions, p.segment)) <
                1e-9);

        // The allowance: exactly `seam` beyond the bare seam edge, square to it.
        const QList<ContourVertex> &v = p.outline.vertices;
        QCOMPARE(v.size(), design.seam > 0 ? 6 : 4);
        QCOMPARE(p.allowance, design.seam);
        if (design.seam > 0) {
            const QPointF bareInner = v[3].p, bareOuter = v[0].p;
            const QPointF tabInner = v[4].p, tabOuter = v[5].p;
            QVERIFY(qAbs(test::len(tabInner - bareInner) - design.seam) < 1e-9);
            QVERIFY(qAbs(test::len(tabOuter - bareOuter) - design.seam) < 1e-9);
            const QPointF edge = bareOuter - bareInner, out = tabInner - bareInner;
            QVERIFY(qAbs(edge.x() * out.x() + edge.y() * out.y()) < 1e-6);
        }
    }
    // The pieces of a stretch add up to its whole circumferences.
    for (auto it = wholeBig.begin(); it != wholeBig.end(); ++it) {
        const auto [da, db] = segmentEnds(plan.dimensions, it.key().first);
        const Part *any = nullptr;
        for (const Part &p : plan.parts)
            if (p.segment == it.key().first && p.stretch == it.key().second)
                any = &p;
        const double f0 = double(any->stretch) / any->stretches;
        const double f1 = double(any->stretch + 1) / any->stretches;
        const double big = std::max(da + (db - da) * f0, da + (db - da) * f1) + t;
        QVERIFY(qAbs(it.value() - Pi * big) < 0.01);
    }
}

void TestWorkshop::nestingKeepsGaps()
{
    QFETCH(Design, design);
    const WorkshopPlan plan = planFor(design);
    const double gap = plan.options.gap;
    const QSizeF sheet = plan.options.sheetSize;
    QVERIFY(plan.nesting.unplaced.isEmpty());
    QCOMPARE(plan.nesting.placements.size(), plan.parts.size());
    QList<Contour> placed;
    QList<int> sheets;
    for (const PartPlacement &at : plan.nesting.placements) {
        const Contour c = transformed(plan.parts[at.part].outline, at.transform());
        // Inside the sheet, the gap from every edge, measured on the true arcs.
        const QRectF b = boundsOf(c);
        QVERIFY2(b.left() >= gap - 1e-6 && b.top() >= gap - 1e-6 &&
                     b.right() <= sheet.width() - gap + 1e-6 &&
                     b.bottom() <= sheet.height() - gap + 1e-6,
                 qPrintable(plan.parts[at.part].name));
        placed << c;
        sheets << at.sheet;
    }
    int pairs = 0;
    for (int i = 0; i < placed.size(); ++i) {
        for (int j = i + 1; j < placed.size(); ++j) {
            if (sheets[i] != sheets[j])
                continue;
            ++pairs;
            const double d = test::distance(placed[i], placed[j]);
            QVERIFY2(d >= gap - 1e-6, qPrintable(QStringLiteral("%1 %2: %3 mm")
                                                     .arg(plan.parts[i].name, plan.parts[j].name)
                                                     .arg(d)));
        }
    }
    QVERIFY(pairs > 0 || plan.parts.size() == 1);
    if (design.maxSweep < 180) {
        QVERIFY(plan.parts.size() >= 30);
        // Real outlines, not boxes: some parts sit within another's bounding box (in the
        // hollow of a sector, or across a slanted edge).
        int sharedBoxes = 0;
        for (int i = 0; i < placed.size(); ++i)
            for (int j = i + 1; j < placed.size(); ++j)
                sharedBoxes +=
                    sheets[i] == sheets[j] && boundsOf(placed[i]).intersects(boundsOf(placed[j]));
        QVERIFY(sharedBoxes > 0);
    }
    QVERIFY(plan.nesting.utilisation > 0 && plan.nesting.utilisation < 1);
}

void TestWorkshop::labelsInsideOutlines()
{
    QFETCH(Design, design);
    const WorkshopPlan plan = planFor(design);
    for (const Part &p : plan.parts) {
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
        for (const ContourVertex &corner : block.vertices)
            QVERIFY2(contains(p.outline, corner.p), qPrintable(p.name));
        double nearest = 1e9;
        for (const test::Edge &e : test::exactEdgesOf(block))
            for (const test::Edge &f : test::exactEdgesOf(p.outline))
                nearest = std::min(nearest, test::edgeToEdge(e, f));
        QVERIFY2(nearest >= 1.99, qPrintable(QStringLiteral("%1: %2").arg(p.name).arg(nearest)));
    }
}

void TestWorkshop::everyPieceNamed_data()
{
    QTest::addColumn<Design>("design");
    QTest::newRow("slivers of one degree") << Design{100, 10000, 4, 1, 0, 1};
    QTest::newRow("rings 5 mm long, seam 3") << Design{100, 10000, 4, 1, 3, 180, 5};
}

// However narrow, every piece carries at least its name, inside its outline and along its
// longer side; the warning names each piece whose label lost lines.
void TestWorkshop::everyPieceNamed()
{
    QFETCH(Design, design);
    const WorkshopPlan plan = planFor(design);
    QVERIFY(plan.parts.size() > 60);
    QStringList shortened;
    for (const Part &p : plan.parts) {
        const PartLabel &l = p.label;
        QVERIFY2(l.em > 0, qPrintable(p.name));
        QVERIFY2(l.lines.first() == p.name || l.lines.first().startsWith(p.name + ' '),
                 qPrintable(p.name));
        const QSizeF block = textBlockSize(l.lines, l.em);
        const double a = l.angle * Pi / 180;
        const QPointF u(std::cos(a), std::sin(a)), v(-std::sin(a), std::cos(a));
        for (int sx : {-1, 1})
            for (int sy : {-1, 1})
                QVERIFY2(contains(p.outline, l.centre + u * (sx * block.width() / 2) +
                                                 v * (sy * block.height() / 2)),
                         qPrintable(p.name));
        if (l.omitted > 0)
            shortened << p.name;
        if (l.lines.size() == 1) {
            // Along the longer side: the slant or the arc through the label, the rectangle's
            // width or its length.
            const double across = std::hypot(l.centre.x(), l.centre.y()) * p.sweepDegrees * Pi / 180;
            const bool wide = p.isSector() ? p.frustum.slant < across : p.width >= p.frustum.height;
            QVERIFY2(l.angle == (wide ? 0.0 : 90.0), qPrintable(p.name));
        }
    }
    QVERIFY(!shortened.isEmpty());
    QString listed;
    for (const BuilderWarning &w : plan.warnings)
        if (w.code == "LABEL_SHORTENED")
            listed = w.text;
    for (const QString &name : shortened.mid(0, 20))
        QVERIFY2(listed.contains(QRegularExpression("\\b" + name + "\\b")), qPrintable(name));
    if (shortened.size() > 20)
        QVERIFY(listed.contains(QStringLiteral("e altri %1").arg(shortened.size() - 20)));
}

void TestWorkshop::labelWidthsBoundFonts()
{
    // The model is never narrower than the fonts the writers name, so a label that fits by
    // the model fits on paper too.
    const WorkshopPlan plan = planFor(Design{125, 9000, 5, 1.5, 10});
    QStringList texts;
    for (const Part &p : plan.parts)
        texts << p.label.lines;
    texts << QStringLiteral("MWmw 0123456789 \u00d8\u00b0 ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    int checked = 0;
    for (const char *family : {"Liberation Sans", "DejaVu Sans"}) {
        QFont font(QString::fromLatin1(family));
        if (!QFontInfo(font).family().startsWith(QLatin1String(family)))
            continue;
        font.setPixelSize(100);
        const QFontMetricsF metrics(font);
        for (const QString &t : texts) {
            QVERIFY2(metrics.horizontalAdvance(t) / 100 <= textWidthEm(t) + 1e-9,
                     qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(family), t)));
            ++checked;
        }
    }
    QVERIFY(checked > 0);
}

void TestWorkshop::warnings_data()
{
    QTest::addColumn<QStringList>("overrides"); // FIELD=value, or sheet=, size=WxH
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("defaults: none") << QStringList() << QStringList();
    QTest::newRow("steep divergent") << QStringList{"DIV=9"} << QStringList{"DIVERGENT_ANGLE"};
    // The short convergent cone has no room for the whole label.
    QTest::newRow("steep convergent, low ratio")
        << QStringList{"CONV=25", "RAPPSEZ=3"}
        << QStringList{"CONVERGENT_ANGLE", "DIAMETER_RATIO", "LABEL_SHORTENED"};
    // The 1214 mm centre section fits no 1000 x 500 sheet unless a maximum length cuts it.
    QTest::newRow("very long") << QStringList{"RPM=4000"}
                               << QStringList{"TOTAL_LENGTH", "PART_TOO_LARGE", "LABEL_SHORTENED"};
    QTest::newRow("sweep over the maximum")
        << QStringList{"maxsweep=30"} << QStringList{"SWEEP_SPLIT"};
    QTest::newRow("thick sheet, short segment")
        << QStringList{"sheet=3", "ASP=179"}
        << QStringList{"SHORT_SEGMENT", "THICK_SHEET", "LABEL_SHORTENED"};
    QTest::newRow("skipped segment") << QStringList{"ASP=180"} << QStringList{"SKIPPED_SEGMENT"};
    QTest::newRow("part larger than the sheet")
        << QStringList{"size=100x100"} << QStringList{"PART_TOO_LARGE", "LABEL_SHORTENED"};
    QTest::newRow("no thickness") << QStringList{"sheet=0"} << QStringList{"NO_THICKNESS"};
    QTest::newRow("exhaust over a turn")
        << QStringList{"SC=400", "ASP=300"} << QStringList{"DURATION", "PART_TOO_LARGE"};
    QTest::newRow("transfers of 3932 degrees")
        << QStringList{"ASP=3932"}
        << QStringList{"DURATION", "TRANSFER_BEFORE_EXHAUST", "TOTAL_LENGTH", "SKIPPED_SEGMENT",
                       "PART_TOO_LARGE"};
    QTest::newRow("transfers open first")
        << QStringList{"ASP=190"} << QStringList{"TRANSFER_BEFORE_EXHAUST", "SKIPPED_SEGMENT"};
    QTest::newRow("slivers of one degree")
        << QStringList{"maxsweep=1"} << QStringList{"SWEEP_SPLIT", "LABEL_SHORTENED"};
}

void TestWorkshop::warnings()
{
    QFETCH(QStringList, overrides);
    QFETCH(QStringList, codes);
    DesignParameters p = defaultParameters();
    WorkshopOptions o;
    for (const QString &kv : overrides) {
        const QString key = kv.section('=', 0, 0), value = kv.section('=', 1);
        if (key == "sheet")
            o.sheetThickness = value.toDouble();
        else if (key == "maxsweep")
            o.maxSweepDegrees = value.toDouble();
        else if (key == "size")
            o.sheetSize =
                QSizeF(value.section('x', 0, 0).toDouble(), value.section('x', 1).toDouble());
        for (std::size_t i = 0; i < FieldCount; ++i)
            if (key == QLatin1String(fieldInfo(i).name))
                p.values[i] = value.toDouble();
    }
    const WorkshopPlan plan = planWorkshop(p, computeChamber(p), o);
    QStringList got;
    for (const BuilderWarning &w : plan.warnings) {
        if (!got.contains(w.code))
            got << w.code;
        QVERIFY(!w.text.isEmpty());
    }
    QCOMPARE(got, codes);
    // Every code comes from the one table.
    QStringList known;
    for (const WarningRule &r : warningRules())
        known << QLatin1String(r.code);
    for (const QString &c : got)
        QVERIFY(known.contains(c));
}

void TestWorkshop::cutListMass()
{
    WorkshopPlan plan = planFor(Design{100, 10000, 4, 1.5, 0});
    plan.options.density = 7.85;
    const QList<CutListRow> rows = cutList(plan);
    QCOMPARE(rows.size(), plan.parts.size());
    // The tail: a rectangle pi * (D3 + 1.5) by 200, 1.5 mm of steel.
    const CutListRow &tail = rows.last();
    QCOMPARE(tail.part, "5");
    const double area = Pi * (plan.dimensions.D3 + 1.5) * 200;
    QVERIFY(qAbs(tail.area - area) < 1e-6);
    QVERIFY(qAbs(tail.mass - area * 1.5 / 1000 * 7.85 / 1000) < 1e-9);
    QCOMPARE(tail.sheet, 1);
    const QList<QByteArray> csv = cutListCsv(plan).split('\n');
    QVERIFY(csv[0].startsWith("parte,segmento,nome,foglio,"));
    QCOMPARE(csv.size(), rows.size() + 2); // header, rows, and the final line end
}

void TestWorkshop::absurdPartCountRefused()
{
    // Millimetre stretches of a metre-long chamber: refused before the work, with the bound.
    const WorkshopPlan plan = planFor(Design{100, 10000, 4, 0, 0, 180, 1});
    QVERIFY(plan.parts.isEmpty());
    QVERIFY2(plan.refusal.text.contains(QString::number(MaxParts)), qPrintable(plan.refusal.text));
}

void TestWorkshop::dxfReadBack()
{
    QFETCH(Design, design);
    const WorkshopPlan plan = planFor(design);
    QTemporaryDir dir;
    const QString path = dir.filePath("parti.dxf");
    QVERIFY(test::writeBytes(path, workshopDxf(plan, layoutSheets(plan))));
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(WORKSHOP_TESTS "/read_dxf.py"), path});
    QVERIFY(python.waitForFinished(60000));
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QJsonObject dxf = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    QCOMPARE(dxf["errors"].toArray().size(), 0);
    for (const char *layer : {"CUT", "ETCH", "LABEL", "SHEET"})
        QVERIFY(dxf["layers"].toArray().contains(QLatin1String(layer)));
    QVERIFY(dxf["linetypes"].toArray().contains(QStringLiteral("DASHED")));
    QCOMPARE(dxf["counts"].toObject()["POLYLINE:SHEET"].toInt(), plan.nesting.sheets);
    const QJsonArray cut = dxf["cut"].toArray();
    QCOMPARE(cut.size(), plan.parts.size()); // one closed polyline per outline
    for (int i = 0; i < cut.size(); ++i) {
        const QJsonObject poly = cut[i].toObject();
        QVERIFY(poly["closed"].toBool());
        const Part &p = plan.parts[i];
        const QJsonArray arcs = poly["arcs"].toArray();
        QCOMPARE(arcs.size(), p.isSector() ? 2 : 0);
        for (const QJsonValue &arc : arcs) {
            // Radius and angle from the bulges, as a CAM program reads them.
            const double r = arc["radius"].toDouble(), deg = std::abs(arc["degrees"].toDouble());
            const double expected =
                r > p.frustum.innerRadius + 1 ? p.frustum.outerRadius : p.frustum.innerRadius;
            QVERIFY2(qAbs(r - expected) < 1e-3 * std::max(1.0, expected / 100), qPrintable(p.name));
            QVERIFY(qAbs(deg - p.sweepDegrees) < 1e-6);
        }
    }
    const QJsonArray max = dxf["extmax"].toArray();
    QVERIFY(max[0].toDouble() >= plan.options.sheetSize.width() - 1e-6);
}

void TestWorkshop::pdfPagesMeasured_data()
{
    QTest::addColumn<Design>("design");
    QTest::addColumn<int>("paper");
    QTest::newRow("defaults, A4") << Design{100, 10000, 4, 1.5, 10} << int(QPageSize::A4);
    // A 6000 RPM chamber: parts far larger than a page, tiled.
    QTest::newRow("250 cc at 6000, A4") << Design{250, 6000, 2, 1.5, 10} << int(QPageSize::A4);
    QTest::newRow("250 cc at 6000, A3") << Design{250, 6000, 2, 1.5, 10} << int(QPageSize::A3);
    QTest::newRow("defaults, Letter") << Design{100, 10000, 4, 0, 0} << int(QPageSize::Letter);
}

void TestWorkshop::pdfPagesMeasured()
{
    QFETCH(Design, design);
    QFETCH(int, paper);
    const WorkshopPlan plan = planFor(design);
    const PdfDocument pdf = workshopPdf(plan, QPageSize::PageSizeId(paper), QDate(2026, 12, 8));
    QVERIFY(pdf.ok());
    QTemporaryDir dir;
    const QString path = dir.filePath("sagome.pdf");
    QVERIFY(test::writeBytes(path, pdf.bytes));

    const QStringList streams = test::pdfPageContents(pdf.bytes);
    QVERIFY(!streams.isEmpty());
    for (double millimetres : test::pdfCheckBars(pdf.bytes))
        QVERIFY2(qAbs(millimetres - 100) < 0.1, qPrintable(QString::number(millimetres)));

    // "pagina x di y" on every page, as a reader extracts it.
    for (int i = 1; i <= streams.size(); ++i) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), QString::number(i), QStringLiteral("-l"),
                    QString::number(i), QStringLiteral("-layout"), path, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains(QStringLiteral("pagina %1 di %2").arg(i).arg(streams.size())),
                 qPrintable(words));
    }

    // No blank page: each shows something of a part above its title block.
    const QSizeF printable =
        QPageSize(QPageSize::PageSizeId(paper)).size(QPageSize::Millimeter) - QSizeF(20, 20);
    const TemplateBook book(plan, printable, QDate(2026, 12, 8));
    QCOMPARE(book.pageCount(), int(streams.size()));
    bool tiled = false;
    for (int i = 0; i < book.pageCount(); ++i) {
        QImage image(QSize(int(printable.width() * 2), int(printable.height() * 2)),
                     QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(2, 2);
        book.paintPage(painter, i);
        painter.end();
        int dark = 0;
        const int drawingRows = int((printable.height() - 30) * 2);
        for (int y = 0; y < drawingRows; ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY2(dark > 0, qPrintable(QString::number(i)));
        tiled |= book.pages()[i].kind == TemplateBook::Page::Kind::Tile;
        if (book.pages()[i].kind == TemplateBook::Page::Kind::Tile)
            QVERIFY(book.pages()[i].marks.size() >= 2); // paired marks in its overlaps
    }
    if (design.rpm == 6000)
        QVERIFY(tiled);
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestWorkshop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_workshop.moc"

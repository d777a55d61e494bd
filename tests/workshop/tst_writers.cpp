// Every writer read back by a reader of its own (an XML parser and an SVG path parser written
// here, ezdxf for the DXF, pdftotext, a CSV splitter) and compared with the design it was
// made from: outlines, arcs, layers, marks, labels, sheets and names.
#include "dxfwriter.h"
#include "exactgeometry.h"
#include "partsfile.h"
#include "sheetlayout.h"
#include "svgwriter.h"
#include "testfiles.h"
#include "usertext.h"
#include "workshopdesigns.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace velmorant;
using namespace velmorant::test;

namespace {

// A point of a path in drawing millimetres (y up), and the signed sweep of the arc that
// leaves it (radians, counter-clockwise positive; 0 for a straight edge).
struct PathVertex
{
    QPointF p;
    double sweep = 0;
    QPointF centre;
    double radius = 0;
};

struct SvgDrawing
{
    bool wellFormed = false;
    QString error;
    QRectF viewBox;
    QList<QList<PathVertex>> cuts; // layer CUT, in file order
    QList<QPair<QPointF, QString>> labels; // anchor (drawing mm) and text, layer LABEL
    QList<QRectF> sheets;
};

double angleBetween(QPointF u, QPointF v)
{
    return std::atan2(u.x() * v.y() - u.y() * v.x(), u.x() * v.x() + u.y() * v.y());
}

// Parses "M x y L x y A r r 0 large sweep x y ... Z" (absolute commands) into vertices in the
// SVG's own frame (y down), each arc resolved to its centre by the endpoint-to-centre
// conversion of the SVG standard (rx = ry, no rotation).
QList<PathVertex> parsePath(const QString &d)
{
    QStringList tokens = d.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<PathVertex> out;
    QPointF current;
    int i = 0;
    auto number = [&] { return tokens.value(i++).toDouble(); };
    while (i < tokens.size()) {
        const QString command = tokens[i++];
        if (command == QLatin1String("M") || command == QLatin1String("L")) {
            const double x = number(), y = number();
            current = QPointF(x, y);
            if (command == QLatin1String("M") || out.isEmpty() || out.last().p != current)
                out << PathVertex{current, 0, {}, 0};
        } else if (command == QLatin1String("A")) {
            double r = number();
            number(); // ry, equal
            number(); // rotation, 0
            const bool large = number() != 0, positive = number() != 0;
            const double x = number(), y = number();
            const QPointF to(x, y);
            const QPointF h = (current - to) / 2; // x1', y1'
            const double lambda = (h.x() * h.x() + h.y() * h.y()) / (r * r);
            if (lambda > 1)
                r *= std::sqrt(lambda);
            const double num = r * r * r * r - r * r * (h.x() * h.x() + h.y() * h.y());
            const double den = r * r * (h.x() * h.x() + h.y() * h.y());
            const double coef = (large != positive ? 1 : -1) * std::sqrt(std::max(0.0, num / den));
            const QPointF cp(coef * h.y(), -coef * h.x());
            const QPointF centre = cp + (current + to) / 2;
            const QPointF u = (h - cp) / r, v = (-h - cp) / r;
            double sweep = angleBetween(u, v);
            if (!positive && sweep > 0)
                sweep -= 2 * Pi;
            if (positive && sweep < 0)
                sweep += 2 * Pi;
            out.last().sweep = sweep;
            out.last().centre = centre;
            out.last().radius = r;
            current = to;
            out << PathVertex{current, 0, {}, 0};
        } else if (command == QLatin1String("Z")) {
            if (out.size() > 1 && out.last().p == out.first().p)
                out.removeLast();
        }
    }
    return out;
}

// Signed area of a chain of lines and arcs (in whatever frame its points are).
double chainArea(const QList<PathVertex> &v)
{
    double area = 0;
    for (int k = 0; k < v.size(); ++k) {
        const QPointF a = v[k].p, b = v[(k + 1) % v.size()].p;
        area += (a.x() * b.y() - a.y() * b.x()) / 2;
        area += v[k].radius * v[k].radius / 2 * (v[k].sweep - std::sin(v[k].sweep));
    }
    return area;
}

// The chain as a dense polygon, for point-in-outline checks.
QPolygonF chainPolygon(const QList<PathVertex> &v)
{
    QPolygonF poly;
    for (int k = 0; k < v.size(); ++k) {
        poly << v[k].p;
        if (v[k].sweep == 0)
            continue;
        const QPointF r = v[k].p - v[k].centre;
        const double start = std::atan2(r.y(), r.x());
        for (int j = 1; j < 256; ++j) {
            const double a = start + v[k].sweep * j / 256;
            poly << v[k].centre + v[k].radius * QPointF(std::cos(a), std::sin(a));
        }
    }
    return poly;
}

SvgDrawing readSvg(const QByteArray &bytes)
{
    SvgDrawing svg;
    QXmlStreamReader xml(bytes);
    QString group;
    QList<QList<PathVertex>> raw;
    QList<QPair<QPointF, QString>> rawLabels;
    QList<QRectF> rawSheets;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("svg")) {
            const QStringList box = a.value("viewBox").toString().split(' ');
            svg.viewBox = QRectF(0, 0, box.value(2).toDouble(), box.value(3).toDouble());
        } else if (xml.name() == QLatin1String("g")) {
            group = a.value("id").toString();
        } else if (xml.name() == QLatin1String("path") && group == QLatin1String("CUT")) {
            raw << parsePath(a.value("d").toString());
        } else if (xml.name() == QLatin1String("rect") && group == QLatin1String("SHEET")) {
            rawSheets << QRectF(a.value("x").toDouble(), a.value("y").toDouble(),
                                a.value("width").toDouble(), a.value("height").toDouble());
        } else if (xml.name() == QLatin1String("text") && group == QLatin1String("LABEL")) {
            const QString t = a.value("transform").toString();
            const QStringList xy = t.mid(10, t.indexOf(')') - 10).split(' ');
            const QPointF at(xy.value(0).toDouble(), xy.value(1).toDouble());
            rawLabels << qMakePair(at, xml.readElementText());
        }
    }
    svg.wellFormed = !xml.hasError();
    svg.error = xml.errorString();
    // Into drawing millimetres, y up: the page's height less y. Sweeps change sign with y.
    const double h = svg.viewBox.height();
    auto up = [h](QPointF p) { return QPointF(p.x(), h - p.y()); };
    for (QList<PathVertex> chain : raw) {
        for (PathVertex &v : chain) {
            v.p = up(v.p);
            v.centre = up(v.centre);
            v.sweep = -v.sweep;
        }
        svg.cuts << chain;
    }
    for (const auto &[at, text] : rawLabels)
        svg.labels << qMakePair(up(at), text);
    for (const QRectF &r : rawSheets)
        svg.sheets << QRectF(r.left(), h - r.bottom(), r.width(), r.height());
    return svg;
}

QJsonObject readDxf(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(WORKSHOP_TESTS "/read_dxf.py"), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qWarning() << python.readAllStandardError();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// A DXF polyline as a chain: bulges into sweeps, centres and radii.
QList<PathVertex> dxfChain(const QJsonArray &vertices)
{
    QList<PathVertex> out;
    for (const QJsonValue &v : vertices)
        out << PathVertex{QPointF(v[0].toDouble(), v[1].toDouble()), 0, {}, 0};
    for (int k = 0; k < vertices.size(); ++k) {
        const double bulge = vertices[k][2].toDouble();
        if (bulge == 0)
            continue;
        const QPointF a = out[k].p, b = out[(k + 1) % out.size()].p;
        const double sweep = 4 * std::atan(bulge), c = std::hypot(b.x() - a.x(), b.y() - a.y());
        const QPointF left(-(b.y() - a.y()) / c, (b.x() - a.x()) / c);
        out[k].sweep = sweep;
        out[k].radius = std::abs(c / (2 * std::sin(sweep / 2)));
        out[k].centre = (a + b) / 2 + left * (c / 2 / std::tan(sweep / 2));
    }
    return out;
}

QList<QJsonObject> entitiesOf(const QJsonObject &dxf, const QString &type, const QString &layer)
{
    QList<QJsonObject> out;
    for (const QJsonValue &v : dxf["entities"].toArray()) {
        const QJsonObject e = v.toObject();
        if (e["type"].toString() == type && (layer.isEmpty() || e["layer"].toString() == layer))
            out << e;
    }
    return out;
}

// The same point within `tolerance` millimetres.
bool near(QPointF a, QPointF b, double tolerance)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y()) <= tolerance;
}

// Splits one CSV line (quoted fields may hold commas and doubled quotes).
QStringList csvFields(const QString &line)
{
    QStringList out;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            out << field;
            field.clear();
        } else {
            field += c;
        }
    }
    return out << field;
}

void addWriterDesigns()
{
    QTest::addColumn<Design>("design");
    QTest::newRow("defaults, 1 mm") << Design{100, 10000, 4, 1, 0};
    QTest::newRow("seam 10, 40 degree pieces, 1.5 mm") << Design{125, 9000, 5, 1.5, 10, 40};
    QTest::newRow("three sheets of 400 x 300")
        << Design{250, 6000, 2, 1, 10, 60, 120, QSizeF(400, 300)};
}

} // namespace

class TestWriters : public QObject
{
    Q_OBJECT

private slots:
    void svgAgainstDxf_data() { addWriterDesigns(); }
    void svgAgainstDxf();
    void dxfAgainstDesign_data() { addWriterDesigns(); }
    void dxfAgainstDesign();
    void hostileNames_data();
    void hostileNames();
    void cutListFrames();
};

// The SVG's paths, read with an XML parser and resolved arc by arc, are the DXF's outlines:
// the same vertices, arcs bowing the same way, a sector's two arcs about one centre, and the
// enclosed area of every part; each label's anchor lies inside an outline.
void TestWriters::svgAgainstDxf()
{
    QFETCH(Design, design);
    const WorkshopPlan plan = planFor(design);
    const SheetLayout layout = layoutSheets(plan);
    const SvgDrawing svg = readSvg(workshopSvg(plan, layout));
    QVERIFY2(svg.wellFormed, qPrintable(svg.error));
    QTemporaryDir dir;
    const QString path = dir.filePath("parti.dxf");
    QVERIFY(writeBytes(path, workshopDxf(plan, layout)));
    const QJsonObject dxf = readDxf(path);
    const QList<QJsonObject> cuts = entitiesOf(dxf, "POLYLINE", "CUT");
    QCOMPARE(svg.cuts.size(), cuts.size());
    QCOMPARE(svg.cuts.size(), layout.items.size());
    // The SVG's page starts 10 mm outside the drawing's extent.
    const QPointF shift(dxf["extmin"][0].toDouble() - 10, dxf["extmin"][1].toDouble() - 10);
    QList<QPolygonF> outlines;
    for (int k = 0; k < cuts.size(); ++k) {
        const QList<PathVertex> d = dxfChain(cuts[k]["vertices"].toArray());
        QList<PathVertex> s = svg.cuts[k];
        for (PathVertex &v : s) {
            v.p += shift;
            v.centre += shift;
        }
        QCOMPARE(s.size(), d.size());
        const Part &part = plan.parts[layout.items[k].part];
        QList<QPointF> centres;
        for (int i = 0; i < d.size(); ++i) {
            QVERIFY2(near(s[i].p, d[i].p, 2e-4), qPrintable(part.name));
            QVERIFY2(qAbs(s[i].sweep - d[i].sweep) < 1e-4, qPrintable(part.name));
            if (d[i].sweep != 0) {
                QVERIFY(qAbs(s[i].radius - d[i].radius) < 1e-3 * std::max(1.0, d[i].radius / 100));
                centres << s[i].centre;
            }
        }
        if (part.isSector()) {
            QCOMPARE(centres.size(), 2);
            QVERIFY2(near(centres[0], centres[1], 1e-3 * std::max(1.0, part.frustum.outerRadius / 100)),
                     qPrintable(part.name));
        }
        QVERIFY2(qAbs(std::abs(chainArea(s)) - part.area) <= 1e-3 * part.area,
                 qPrintable(QStringLiteral("%1: %2 against %3")
                                .arg(part.name)
                                .arg(std::abs(chainArea(s)))
                                .arg(part.area)));
        outlines << chainPolygon(s);
    }
    QVERIFY(!svg.labels.isEmpty());
    for (const auto &[at, text] : svg.labels) {
        bool inside = false;
        for (const QPolygonF &o : outlines)
            inside |= o.containsPoint(at + shift, Qt::OddEvenFill);
        QVERIFY2(inside, qPrintable(text));
    }
    // Sheets as many as the nesting used, side by side and apart.
    QCOMPARE(svg.sheets.size(), plan.nesting.sheets);
    for (int i = 1; i < svg.sheets.size(); ++i)
        QVERIFY(svg.sheets[i].left() > svg.sheets[i - 1].right());
}

// The DXF as ezdxf reads it, against the design: one outline per part on CUT, each a sector of
// the area and arc directions computed here from the sizing, every mark on ETCH (two quarter
// marks per quarter of the circumference inside the piece), every label line on LABEL,
// upright and turned with its part, the sheets apart.
void TestWriters::dxfAgainstDesign()
{
    QFETCH(Design, design);
    const WorkshopPlan plan = planFor(design);
    const SheetLayout layout = layoutSheets(plan);
    QTemporaryDir dir;
    const QString path = dir.filePath("parti.dxf");
    QVERIFY(writeBytes(path, workshopDxf(plan, layout)));
    const QJsonObject dxf = readDxf(path);
    QCOMPARE(dxf["errors"].toArray().size(), 0);

    int marks = 0, lines = 0;
    for (const Part &p : plan.parts) {
        marks += int(p.marks.size());
        lines += int(p.label.lines.size());
    }
    const QJsonArray all = dxf["entities"].toArray();
    QCOMPARE(entitiesOf(dxf, "LINE", "ETCH").size(), marks);
    QCOMPARE(entitiesOf(dxf, "TEXT", "LABEL").size(), lines);
    QCOMPARE(entitiesOf(dxf, "POLYLINE", "SHEET").size(), plan.nesting.sheets);
    const QList<QJsonObject> cuts = entitiesOf(dxf, "POLYLINE", "CUT");
    QCOMPARE(cuts.size(), plan.parts.size());
    QCOMPARE(all.size(), marks + lines + plan.nesting.sheets + int(plan.parts.size()));

    // Sheets: one rectangle each, the given size, none touching the next.
    QList<QRectF> sheets;
    for (const QJsonObject &s : entitiesOf(dxf, "POLYLINE", "SHEET")) {
        QPolygonF poly;
        for (const QJsonValue &v : s["vertices"].toArray())
            poly << QPointF(v[0].toDouble(), v[1].toDouble());
        sheets << poly.boundingRect();
        QCOMPARE(sheets.last().size(), plan.options.sheetSize);
    }
    for (int i = 0; i < sheets.size(); ++i)
        for (int j = i + 1; j < sheets.size(); ++j)
            QVERIFY(!sheets[i].adjusted(-1, -1, 1, 1).intersects(sheets[j]));

    const QList<QJsonObject> etch = entitiesOf(dxf, "LINE", "ETCH");
    const QList<QJsonObject> texts = entitiesOf(dxf, "TEXT", "LABEL");
    int text = 0;
    for (int k = 0; k < cuts.size(); ++k) {
        const int index = layout.items[k].part;
        const Part &part = plan.parts[index];
        const QList<PathVertex> chain = dxfChain(cuts[k]["vertices"].toArray());
        const QPolygonF outline = chainPolygon(chain);
        // Placed parts lie inside one sheet.
        if (plan.placementOf(index)) {
            int holding = 0;
            for (const QRectF &s : sheets)
                holding += s.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(outline.boundingRect());
            QCOMPARE(holding, 1);
        }

        // The piece's development from the sizing, here: mean diameters at its ends.
        const auto [e1, e2] = segmentEnds(plan.dimensions, part.segment);
        const double length = segmentLength(plan.dimensions, part.segment) / part.stretches;
        const double t0 = double(part.stretch) / part.stretches,
                     t1 = double(part.stretch + 1) / part.stretches;
        const double m1 = e1 + (e2 - e1) * t0 + plan.options.sheetThickness,
                     m2 = e1 + (e2 - e1) * t1 + plan.options.sheetThickness;
        double area = 0;
        if (part.isSector()) {
            const double dr = std::abs(m1 - m2) / 2, slant = std::hypot(length, dr);
            const double R = slant * std::max(m1, m2) / 2 / dr, r = R - slant;
            const double sweep = 2 * Pi * dr / slant / part.pieces;
            area = sweep / 2 * (R * R - r * r) + part.allowance * slant;
            // Outer arc counter-clockwise, inner arc back clockwise: bulges of opposite signs,
            // the inner one negative.
            QList<double> arcs;
            for (const PathVertex &v : chain)
                if (v.sweep != 0)
                    arcs << v.sweep;
            QCOMPARE(arcs.size(), 2);
            QVERIFY(arcs[0] > 0 && arcs[1] < 0);
            QVERIFY(qAbs(arcs[0] - sweep) < 1e-9 && qAbs(arcs[1] + sweep) < 1e-9);
        } else {
            area = (Pi * m1 / part.pieces + part.allowance) * length;
        }
        QVERIFY2(qAbs(std::abs(chainArea(chain)) - area) <= 1e-6 * area,
                 qPrintable(QStringLiteral("%1: %2 against %3")
                                .arg(part.name)
                                .arg(std::abs(chainArea(chain)))
                                .arg(area)));

        // Quarter marks: the quarters of the whole circumference inside this piece, two ticks
        // each, each tick from the outline inwards. Other marks start or end inside, or are
        // the dashed centre line, or join two corners (the bare seam edge).
        int quarters = 0;
        for (int q = 1; q <= 3; ++q) {
            const double f = q / 4.0 * part.pieces - part.piece;
            quarters += f > 1e-9 && f < 1 - 1e-9;
        }
        const QRectF box = outline.boundingRect().adjusted(-1e-3, -1e-3, 1e-3, 1e-3);
        auto onOutline = [&](QPointF p) {
            for (const test::Edge &e : test::exactEdgesOf(transformed(part.outline,
                                                                 layout.items[k].toDrawing)))
                if (test::pointToEdge(p, e) < 1e-4)
                    return true;
            return false;
        };
        int ticks = 0;
        for (const QJsonObject &line : etch) {
            const QPointF a(line["start"][0].toDouble(), line["start"][1].toDouble()),
                b(line["end"][0].toDouble(), line["end"][1].toDouble());
            if (!box.contains(a) || !box.contains(b) || line["linetype"].toString() == "DASHED")
                continue;
            if (!outline.containsPoint((a + b) / 2, Qt::OddEvenFill))
                continue;
            ticks += onOutline(a) != onOutline(b);
        }
        QVERIFY2(ticks == 2 * quarters, qPrintable(QStringLiteral("%1: %2 ticks for %3 quarters")
                                                       .arg(part.name)
                                                       .arg(ticks)
                                                       .arg(quarters)));

        // Its label lines: inside the outline, upright, at the part's turn.
        const PartPlacement *at = plan.placementOf(index);
        double expected = part.label.angle + (at ? at->rotation : 0);
        const double c = std::cos(expected * Pi / 180), s = std::sin(expected * Pi / 180);
        if (c < -1e-9 || (std::abs(c) <= 1e-9 && s < 0))
            expected += 180;
        for (int l = 0; l < part.label.lines.size(); ++l, ++text) {
            const QJsonObject t = texts[text];
            const QPointF p(t["at"][0].toDouble(), t["at"][1].toDouble());
            QVERIFY2(outline.containsPoint(p, Qt::OddEvenFill), qPrintable(part.name));
            QVERIFY2(qAbs(std::remainder(t["rotation"].toDouble() - expected, 360.0)) < 1e-6,
                     qPrintable(QStringLiteral("%1: %2 against %3")
                                    .arg(part.name)
                                    .arg(t["rotation"].toDouble())
                                    .arg(expected)));
            QCOMPARE(t["text"].toString(), part.label.lines[l]);
        }
    }
}

void TestWriters::hostileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown"); // what every reader must find
    QTest::newRow("DXF end of file") << "X\n0\nEOF\n" << "X 0 EOF";
    QTest::newRow("control character") << "a\x01" "b" << "a b";
    QTest::newRow("outside the code page") << QStringLiteral("\u03a9\u20ac") << QStringLiteral("\u03a9\u20ac");
    QTest::newRow("markup") << "<g>&amp;\"'" << "<g>&amp;\"'";
    QTest::newRow("escapes of the formats") << "C:\\U+0041 ^J 50%" << "C:\\U+0041 ^J 50%";
    QTest::newRow("escape and delete") << "\x1b[31m\x7f" "rosso" << "[31m rosso";
}

// The same hostile names through every writer, each file read back by a real reader: the
// DXF keeps all its entities and the name, the SVG stays well-formed XML with the name, the
// PDF's text has it, the cut list still splits into its columns.
void TestWriters::hostileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, shown);
    QCOMPARE(plainUserText(name), shown);
    DesignParameters p = defaultParameters();
    WorkshopOptions o;
    o.designName = name;
    const WorkshopPlan plan = planWorkshop(p, computeChamber(p), o);
    QCOMPARE(plan.options.designName, shown);
    int entities = plan.nesting.sheets, withName = 0;
    for (const Part &part : plan.parts) {
        entities += 1 + int(part.marks.size() + part.label.lines.size());
        withName += part.label.lines.contains(shown);
    }
    QVERIFY(withName > 0);
    QTemporaryDir dir;
    PartsOutput output;
    output.date = QDate(2026, 12, 9);
    for (const char *file : {"n.dxf", "n.svg", "n.csv", "n.pdf"})
        QVERIFY(writeParts(dir.filePath(file), plan, output).ok());

    const QJsonObject dxf = readDxf(dir.filePath("n.dxf"));
    QCOMPARE(dxf["errors"].toArray().size(), 0);
    int named = 0;
    for (const QJsonObject &t : entitiesOf(dxf, "TEXT", "LABEL"))
        named += t["text"].toString() == shown;
    QCOMPARE(named, withName);
    QCOMPARE(dxf["entities"].toArray().size(), entities);

    const SvgDrawing svg = readSvg(readAll(dir.filePath("n.svg")));
    QVERIFY2(svg.wellFormed, qPrintable(svg.error));
    named = 0;
    for (const auto &[at, text] : svg.labels)
        named += text == shown;
    QCOMPARE(named, withName);

    const QStringList rows =
        QString::fromUtf8(readAll(dir.filePath("n.csv"))).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), plan.parts.size() + 1);
    for (const QString &row : rows)
        QCOMPARE(csvFields(row).size(), csvFields(rows[0]).size());

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {dir.filePath("n.pdf"), QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QVERIFY2(QString::fromUtf8(text.readAllStandardOutput()).contains(shown), qPrintable(shown));
}

// The cut list gives the placed part's box in the sheet's frame and its own box before it was
// turned, each computed here from the outline; a part on no sheet says so.
void TestWriters::cutListFrames()
{
    const WorkshopPlan plan = planFor(Design{100, 10000, 4, 1, 0, 180, 0, QSizeF(250, 160)});
    QVERIFY(!plan.nesting.unplaced.isEmpty() && !plan.nesting.placements.isEmpty());
    const QStringList rows = QString::fromUtf8(cutListCsv(plan)).split('\n', Qt::SkipEmptyParts);
    const QStringList header = csvFields(rows[0]);
    auto column = [&](const QStringList &row, const char *name) {
        return row[header.indexOf(QLatin1String(name))];
    };
    for (int i = 0; i < plan.parts.size(); ++i) {
        const QStringList row = csvFields(rows[i + 1]);
        const QPolygonF own = polygonOf(plan.parts[i].outline, 1e-4);
        QVERIFY(qAbs(column(row, "pezzo_larghezza_mm").toDouble() - own.boundingRect().width()) < 2e-3);
        QVERIFY(qAbs(column(row, "pezzo_altezza_mm").toDouble() - own.boundingRect().height()) < 2e-3);
        const PartPlacement *at = plan.placementOf(i);
        if (!at) {
            QCOMPARE(column(row, "foglio"), "fuori");
            for (const char *c : {"foglio_x_mm", "foglio_y_mm", "foglio_larghezza_mm"})
                QCOMPARE(column(row, c), QString());
            continue;
        }
        // Turned and moved here, by the placement's own numbers.
        const double a = at->rotation * Pi / 180;
        QPolygonF placed;
        for (QPointF p : own)
            placed << QPointF(p.x() * std::cos(a) - p.y() * std::sin(a) + at->offset.x(),
                              p.x() * std::sin(a) + p.y() * std::cos(a) + at->offset.y());
        const QRectF box = placed.boundingRect();
        QCOMPARE(column(row, "foglio").toInt(), at->sheet + 1);
        QVERIFY(qAbs(column(row, "foglio_x_mm").toDouble() - box.left()) < 2e-3);
        QVERIFY(qAbs(column(row, "foglio_y_mm").toDouble() - box.top()) < 2e-3);
        QVERIFY(qAbs(column(row, "foglio_larghezza_mm").toDouble() - box.width()) < 2e-3);
        QVERIFY(qAbs(column(row, "foglio_altezza_mm").toDouble() - box.height()) < 2e-3);
    }
}

QTEST_MAIN(TestWriters)
#include "tst_writers.moc"

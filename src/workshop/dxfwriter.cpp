#include "dxfwriter.h"

#include "textmodel.h"

#include <cmath>

namespace velmorant {

namespace {

// Windows-1252 where it differs from Latin-1: 0x80 to 0x9f (0 where the code page has none).
constexpr char16_t Cp1252High[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

// The Windows-1252 byte of `c`, or 0 when the code page has none.
char cp1252(char32_t c)
{
    if ((c >= 0x20 && c < 0x7f) || (c >= 0xa0 && c <= 0xff))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] != 0 && Cp1252High[i] == c)
            return char(0x80 + i);
    }
    return 0;
}

constexpr int MaxDxfString = 255;

class Dxf
{
public:
    void group(int code, const QByteArray &value)
    {
        m_out += QByteArray::number(code).rightJustified(3, ' ') + "\r\n" + value + "\r\n";
    }
    void group(int code, const char *value) { group(code, QByteArray(value)); }
    void number(int code, double v) { group(code, QByteArray::number(v, 'f', 6)); }
    void integer(int code, int v) { group(code, QByteArray::number(v)); }
    void point(int base, QPointF p)
    {
        number(base, p.x());
        number(base + 10, p.y());
        number(base + 20, 0);
    }
    QByteArray bytes() const { return m_out; }

private:
    QByteArray m_out;
};

} // namespace

QByteArray dxfText(const QString &text)
{
    QByteArray out;
    const QList<uint> chars = text.toUcs4();
    for (int i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        QByteArray piece;
        if (c == '\\')
            piece = "\\U+005C";
        else if (c == '^')
            piece = "^ ";
        else if (c == '%' && i + 1 < chars.size() && chars[i + 1] == '%') {
            piece = "%%%%%%";
            ++i;
        }
        else if (const char b = cp1252(c))
            piece = QByteArray(1, b);
        else if (c <= 0xffff)
            piece = "\\U+" + QByteArray::number(uint(c), 16).toUpper().rightJustified(4, '0');
        else
            piece = "?"; // beyond what the escape can name
        if (out.size() + piece.size() > MaxDxfString)
            break;
        out += piece;
    }
    return out;
}

namespace {

void polyline(Dxf &d, const char *layer, const Contour &c)
{
    d.group(0, "POLYLINE");
    d.group(8, layer);
    d.integer(66, 1);
    d.point(10, QPointF());
    d.integer(70, 1); // closed
    for (const ContourVertex &v : c.vertices) {
        d.group(0, "VERTEX");
        d.group(8, layer);
        d.point(10, v.p);
        if (v.bulge != 0) // the arc's angle, to well below a micrometre on any sheet
            d.group(42, QByteArray::number(v.bulge, 'f', 12));
    }
    d.group(0, "SEQEND");
    d.group(8, layer);
}

void table(Dxf &d, const char *name, int count)
{
    d.group(0, "TABLE");
    d.group(2, name);
    d.integer(70, count);
}

} // namespace

QByteArray workshopDxf(const WorkshopPlan &plan, const SheetLayout &layout)
{
    Dxf d;
    d.group(0, "SECTION");
    d.group(2, "HEADER");
    d.group(9, "$ACADVER");
    d.group(1, "AC1009");
    d.group(9, "$DWGCODEPAGE");
    d.group(3, "ANSI_1252");
    d.group(9, "$INSUNITS");
    d.integer(70, 4); // millimetres
    d.group(9, "$MEASUREMENT");
    d.integer(70, 1); // metric
    d.group(9, "$EXTMIN");
    d.point(10, layout.extent.topLeft());
    d.group(9, "$EXTMAX");
    d.point(10, layout.extent.bottomRight());
    d.group(9, "$LIMMIN");
    d.number(10, layout.extent.left());
    d.number(20, layout.extent.top());
    d.group(9, "$LIMMAX");
    d.number(10, layout.extent.right());
    d.number(20, layout.extent.bottom());
    d.group(0, "ENDSEC");

    d.group(0, "SECTION");
    d.group(2, "TABLES");
    table(d, "LTYPE", 2);
    d.group(0, "LTYPE");
    d.group(2, "CONTINUOUS");
    d.integer(70, 0);
    d.group(3, "Solid line");
    d.integer(72, 65);
    d.integer(73, 0);
    d.number(40, 0);
    d.group(0, "LTYPE");
    d.group(2, "DASHED");
    d.integer(70, 0);
    d.group(3, "Dashed __ __ __");
    d.integer(72, 65);
    d.integer(73, 2);
    d.number(40, 9);
    d.number(49, 6);
    d.number(49, -3);
    d.group(0, "ENDTAB");
    // Cut white/black, etch blue, labels green, sheets grey.
    const std::pair<const char *, int> layers[] = {
        {"CUT", 7}, {"ETCH", 5}, {"LABEL", 3}, {"SHEET", 8}};
    table(d, "LAYER", 4);
    for (const auto &[name, colour] : layers) {
        d.group(0, "LAYER");
        d.group(2, name);
        d.integer(70, 0);
        d.integer(62, colour);
        d.group(6, "CONTINUOUS");
    }
    d.group(0, "ENDTAB");
    table(d, "STYLE", 1);
    d.group(0, "STYLE");
    d.group(2, "STANDARD");
    d.integer(70, 0);
    d.number(40, 0);
    d.number(41, 1);
    d.number(50, 0);
    d.integer(71, 0);
    d.number(42, 2.5);
    d.group(3, "txt");
    d.group(4, "");
    d.group(0, "ENDTAB");
    d.group(0, "ENDSEC");

    d.group(0, "SECTION");
    d.group(2, "ENTITIES");
    for (const QRectF &sheet : layout.sheets) {
        Contour c;
        c.vertices = {{sheet.topLeft(), 0},
                      {QPointF(sheet.right(), sheet.top()), 0},
                      {sheet.bottomRight(), 0},
                      {QPointF(sheet.left(), sheet.bottom()), 0}};
        polyline(d, "SHEET", c);
    }
    for (const SheetLayout::Item &item : layout.items) {
        const Part &p = plan.parts[item.part];
        polyline(d, "CUT", transformed(p.cut, item.toDrawing));
        for (const Stroke &s : p.marks) {
            const Stroke t = transformed(s, item.toDrawing);
            d.group(0, "LINE");
            d.group(8, "ETCH");
            if (t.dashed)
                d.group(6, "DASHED");
            d.point(10, t.a);
            d.point(11, t.b);
        }
        double angle = p.label.angle + std::atan2(item.toDrawing.m12(), item.toDrawing.m11()) *
                                           180 / 3.14159265358979323846;
        const bool turned = upsideDown(angle);
        angle += turned ? 180 : 0;
        for (const LabelLine &line : labelLines(p.label, turned)) {
            d.group(0, "TEXT");
            d.group(8, "LABEL");
            const QPointF at = item.toDrawing.map(line.baselineCentre);
            d.point(10, at);
            d.number(40, p.label.em * DxfTextHeightPerEm);
            d.group(1, dxfText(line.text));
            d.number(50, angle);
            d.integer(72, 1); // centred on the alignment point
            d.point(11, at);
        }
    }
    d.group(0, "ENDSEC");
    d.group(0, "EOF");
    return d.bytes();
}

} // namespace velmorant

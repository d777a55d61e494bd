#include "sketch.h"

#include <cmath>

namespace velmorant {

namespace {

constexpr SketchPen wallPen{2, 0, true, false, PenStyle::Solid};
constexpr SketchPen dimensionPen{1, 0x808080, false, true, PenStyle::Solid};
constexpr SketchPen axisPen{1, 0, true, false, PenStyle::DashDot};
constexpr SketchPen captionPen{};

constexpr double X0 = 1080;
constexpr double AXIS_Y = 1800;
constexpr double DIMENSION_Y = 3280;
constexpr double EXTENSION_END_Y = 3350;
constexpr double LENGTH_ROW = 3050;
constexpr double DIAMETER_ROW = 1600;

// Every step reads back the single-precision value an earlier step stored, computes in
// double and stores in single precision again.
struct Line
{
    SketchCoords &c;
    double x1() const { return c.a; }
    double y1() const { return c.b; }
    double x2() const { return c.c; }
    double y2() const { return c.d; }
    void setX1(double v) { c.a = static_cast<float>(v); }
    void setY1(double v) { c.b = static_cast<float>(v); }
    void setX2(double v) { c.c = static_cast<float>(v); }
    void setY2(double v) { c.d = static_cast<float>(v); }
};

} // namespace

const std::array<SketchElementInfo, SketchElementCount> &sketchElements()
{
    static const std::array<SketchElementInfo, SketchElementCount> table{{
        {"Linea1", ElementKind::Line, wallPen},
        {"Linea2", ElementKind::Line, wallPen},
        {"Linea3", ElementKind::Line, wallPen},
        {"Linea4", ElementKind::Line, wallPen},
        {"Linea5", ElementKind::Line, wallPen},
        {"Linea1b", ElementKind::Line, wallPen},
        {"Linea2b", ElementKind::Line, wallPen},
        {"Linea3b", ElementKind::Line, wallPen},
        {"Linea4b", ElementKind::Line, wallPen},
        {"Linea5b", ElementKind::Line, wallPen},
        {"LineaD1", ElementKind::Line, wallPen},
        {"LineaD2", ElementKind::Line, wallPen},
        {"LineaD3", ElementKind::Line, wallPen},
        {"LineaD4", ElementKind::Line, wallPen},
        {"LineaD5", ElementKind::Line, wallPen},
        {"LineaD6", ElementKind::Line, wallPen},
        {"LineaQ0", ElementKind::Line, dimensionPen},
        {"LineaQ1", ElementKind::Line, dimensionPen},
        {"LineaQ2", ElementKind::Line, dimensionPen},
        {"LineaQ3", ElementKind::Line, dimensionPen},
        {"LineaQ4", ElementKind::Line, dimensionPen},
        {"LineaQ5", ElementKind::Line, dimensionPen},
        {"LineaQ6", ElementKind::Line, dimensionPen},
        {"LineaAsse", ElementKind::Line, axisPen},
        {"txtQL1", ElementKind::Caption, captionPen},
        {"txtQL2", ElementKind::Caption, captionPen},
        {"txtQL3", ElementKind::Caption, captionPen},
        {"txtQL4", ElementKind::Caption, captionPen},
        {"txtQL5", ElementKind::Caption, captionPen},
        {"txtQD1", ElementKind::Caption, captionPen},
        {"txtQD2", ElementKind::Caption, captionPen},
        {"txtQD3", ElementKind::Caption, captionPen},
        {"txtQDiv", ElementKind::Caption, captionPen},
        {"txtQConv", ElementKind::Caption, captionPen},
        {"shPistone", ElementKind::Rectangle, wallPen},
        {"shSpinotto", ElementKind::Circle, wallPen},
        {"Fascia1", ElementKind::Line, wallPen},
        {"Fascia2", ElementKind::Line, wallPen},
    }};
    return table;
}

void placeCaptions(SketchGeometry &g, const std::array<float, SketchCaptionCount> &widths)
{
    static constexpr std::size_t referenceSegment[SketchCaptionCount] = {0, 1, 2, 3, 4,
                                                                         0, 2, 4, 1, 3};
    for (std::size_t c = 0; c < SketchCaptionCount; ++c) {
        const SketchCoords &ref = g.elements[sk::Linea1 + referenceSegment[c]];
        SketchCoords &cap = g.elements[FirstCaption + c];
        const bool isDiv = FirstCaption + c == sk::txtQDiv;
        cap.c = isDiv ? DivCaptionWidth : widths[c];
        cap.d = isDiv ? DivCaptionHeight : CaptionHeight;
        cap.a = static_cast<float>((double(ref.a) + double(ref.c)) * 0.5 - double(cap.c) * 0.5);
        cap.b = static_cast<float>(c < 5 ? LENGTH_ROW : DIAMETER_ROW);
    }
}

SketchGeometry drawSketch(const ChamberDimensions &d, double frameWidth)
{
    SketchGeometry g;
    auto &e = g.elements;
    auto line = [&e](std::size_t i) { return Line{e[i]}; };

    // The piston never moves.
    e[sk::shPistone] = {120, 1180, 972, 1212};
    e[sk::shSpinotto] = {420, 1780, 372, 252};
    e[sk::Fascia1] = {120, 1420, 1080, 1420};
    e[sk::Fascia2] = {120, 1300, 1080, 1300};

    const double h = (frameWidth - 1200) / d.LTOT;
    const double s = 500 / d.D3;

    const double lengths[5] = {d.L1, d.L2, d.L3, d.L4, d.L5};
    const double upperChange[5] = {0, -((d.D2 - d.D1) / 2) * s, 0, ((d.D2 - d.D3) / 2) * s, 0};
    const double lowerChange[5] = {0, ((d.D2 - d.D1) / 2) * s, 0, -((d.D2 - d.D3) / 2) * s, 0};

    // Upper wall, left to right; each line continues the one before it.
    for (std::size_t k = 0; k < 5; ++k) {
        Line u = line(sk::Linea1 + k);
        if (k == 0) {
            u.setX1(X0);
        } else {
            u.setX1(line(sk::Linea1 + k - 1).x2());
        }
        u.setX2(u.x1() + lengths[k] * h);
        if (k == 0) {
            u.setY1(AXIS_Y - (d.D1 / 2) * s);
        } else {
            u.setY1(line(sk::Linea1 + k - 1).y2());
        }
        u.setY2(u.y1() + upperChange[k]);
    }

    // Lower wall: same stations, mirrored levels.
    for (std::size_t k = 0; k < 5; ++k) {
        Line upper = line(sk::Linea1 + k);
        Line l = line(sk::Linea1b + k);
        l.setX1(upper.x1());
        l.setX2(upper.x2());
        if (k == 0) {
            l.setY1(line(sk::Linea1).y1() + d.D1 * s);
        } else {
            l.setY1(line(sk::Linea1b + k - 1).y2());
        }
        l.setY2(l.y1() + lowerChange[k]);
    }

    // Section lines at the start of each segment, and at the end of the tail.
    for (std::size_t k = 0; k < 5; ++k) {
        Line upper = line(sk::Linea1 + k);
        Line lower = line(sk::Linea1b + k);
        Line sec = line(sk::LineaD1 + k);
        sec.setX1(upper.x1());
        sec.setX2(lower.x1());
        sec.setY1(upper.y1());
        sec.setY2(lower.y1());
    }
    {
        Line upper = line(sk::Linea1 + 4);
        Line lower = line(sk::Linea1b + 4);
        Line sec = line(sk::LineaD1 + 5);
        sec.setX1(upper.x2());
        sec.setX2(lower.x2());
        sec.setY1(upper.y2());
        sec.setY2(lower.y2());
    }

    // Dimension line and extension lines.
    {
        Line q0 = line(sk::LineaQ0);
        q0.setX1(line(sk::Linea1).x1());
        q0.setX2(line(sk::Linea1 + 4).x2());
        q0.setY1(DIMENSION_Y);
        q0.setY2(DIMENSION_Y);
    }
    for (std::size_t k = 0; k < 6; ++k) {
        Line lower = line(sk::Linea1b + (k < 5 ? k : 4));
        const double x = k < 5 ? lower.x1() : lower.x2();
        const double y = k < 5 ? lower.y1() : lower.y2();
        Line q = line(sk::LineaQ0 + 1 + k);
        q.setX1(x);
        q.setX2(x);
        q.setY1(y);
        q.setY2(EXTENSION_END_Y);
    }

    {
        Line axis = line(sk::LineaAsse);
        axis.setX1(line(sk::Linea1).x1());
        axis.setX2(line(sk::Linea1 + 4).x2());
        axis.setY1(AXIS_Y);
        axis.setY2(AXIS_Y);
    }

    placeCaptions(g, {});
    // A zero total length gives infinite or NaN stations, so this covers it too.
    g.drawable = true;
    for (const SketchCoords &c : e) {
        if (!std::isfinite(c.a) || !std::isfinite(c.b) || !std::isfinite(c.c) ||
            !std::isfinite(c.d))
            g.drawable = false;
    }
    return g;
}

} // namespace velmorant

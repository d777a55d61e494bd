#pragma once

#include "contour.h"
#include "development.h"
#include "obstacles.h"

#include <QLocale>
#include <QSizeF>

#include <QStringList>
#include <array>
#include <optional>
#include <utility>

namespace velmorant {

// What the builder chooses for cutting (millimetres, degrees, g/cm³).
struct WorkshopOptions
{
    double sheetThickness = 1.0; // the common choice for a hand-rolled pipe
    double seamAllowance = 0; // added on one seam edge of every part
    QSizeF sheetSize{1000, 500};
    double gap = 3;               // between parts, and between a part and the sheet's edge
    double maxSweepDegrees = 180; // a sector sweeping more is cut in pieces
    double maxLength = 0;         // a longer segment is cut in stretches; 0: no limit
    double density = 7.85;        // steel
    double kerf = 0; // width the cutting beam takes: the cut runs half of it outside the part
    QString designName;
    // The pipe cut, as the templates name it ("Blair, 2 stadi", "tubo misurato banco.csv",
    // "Tubo ottimizzato (media 9000-11000 giri/min)"); empty: by the pipe's method.
    QString pipeName;
    // How the labels and the templates write numbers: the window's own notation, so that a
    // part says what the cut list beside it says (Italian where nothing else is asked).
    QLocale numbers{QLocale::Italian, QLocale::Italy};
    // The pipe's way to the bike: its bends' joints cut the sections into mitred pieces. None,
    // or no bends: the pipe is cut straight, as it always was.
    std::optional<route::Route> route;
    route::SeamSide seamSide = route::SeamSide::Alternating;
    double maxJointDeg = 0; // the largest turn of a joint; 0: the builder's rules by section
    // A bend made as pressed or hydroformed halves: the sheet left beyond each seam for the
    // weld, and how much the sheet stretches round the half as it is formed (per cent).
    double halvesMargin = 5;
    double halvesStretch = 0;
    // The bike around the pipe: what it must keep clear of, and where its tail should end.
    std::optional<route::Surroundings> surroundings;
};
// The longest name of a design or a pipe the parts carry: a label, not a text.
constexpr int MaxNameLength = 200;

// The builder's numeric options, in one table: the command line's option and the settings'
// key, the caption of the window's box, the member, and the range a workshop can use (beyond
// it the result would be nonsense or unbounded work).
struct WorkshopNumber
{
    const char *key;
    const char *caption; // translatable
    double WorkshopOptions::*member;
    double low, high;
};
constexpr std::size_t WorkshopNumberCount = 9;
const std::array<WorkshopNumber, WorkshopNumberCount> &workshopNumbers();

// The most parts a design may make; beyond it the request is refused, not worked through.
constexpr int MaxParts = 1000;

// A label drawn inside its part.
struct PartLabel
{
    QStringList lines;
    double em = 0;    // font size in mm; 0 when nothing fits
    QPointF centre;   // of the text block, in the part's coordinates
    double angle = 0; // of the baselines, degrees counter-clockwise from +x
    int omitted = 0;  // lines of the full label left out for want of room
};

// One piece of sheet to cut, in its own coordinates (millimetres, y upwards). A sector has its
// apex at the origin and its bisector along +y; a rectangle starts at the origin, its width
// along x (the circumference) and its height along y (the axis, cylinder end at y = 0). The
// seam allowance, when there is one, lies beyond the seam edge at the start of the sweep (the
// sector's right-hand radial edge, the rectangle's left edge).
struct Part
{
    QString name; // "2", or "2a", "2b" ... when the segment is cut in several pieces
    int segment = 0;
    QString segmentName;
    int stretch = 0, stretches = 1; // along the axis
    int piece = 0, pieces = 1;      // around the circumference
    Development frustum;            // the stretch as one development
    double sweepDegrees = 0;        // of this piece (sectors)
    double width = 0;               // of this piece (rectangles)
    double allowance = 0;
    Contour outline;     // the part's own edge
    Contour cut;         // where the beam runs: the outline, or half the kerf outside it
    QList<Stroke> marks; // etch: bare seam edge, quarter marks, centre line, arrow
    PartLabel label;
    double area = 0; // of the cut outline, mm²
    double edgeUp = 0, edgeDown = 0; // developed lengths of a mitred piece's cut edges
    bool fitsSheet = true;
    double fitAngle = 0; // a rotation at which it fits on the sheet, degrees

    bool isSector() const { return frustum.kind == Development::Kind::Sector; }
    bool mitred() const { return frustum.mitre.has_value(); }
    bool halves() const { return frustum.halves.has_value(); }
    // The developed length of each curved edge (the sector's arcs, the rectangle's ends):
    // the piece's share of pi times the mean diameter at that end.
    double outerEdge() const;
    double innerEdge() const;
};

// Why a design makes no parts: an option that cannot be worked to (the key of
// workshopNumbers()), or geometry that cannot be drawn (a size beyond any workshop, or not a
// number at all).
struct PartsRefusal
{
    enum class Kind { None, Option, Geometry };
    Kind kind = Kind::None;
    QString text;
    QString optionKey;
    // The values the option may take for this design, for the caller to write in the user's
    // notation.
    std::optional<std::pair<double, double>> range;
};

struct PartsResult
{
    QList<Part> parts;
    PartsRefusal refusal;
};

// The largest part the workshop draws, in millimetres; a design beyond it (a cone kilometres
// long from an angle near zero) is refused instead of being written as nonsense.
constexpr double MaxPartExtent = 1e6;

// The parts of the developed segments: stretches by the maximum length, then pieces by the
// maximum sweep and by what fits the sheet (as few as possible), each with its allowance,
// marks and label. Skipped segments make no part. Refused, with no parts, when there would be
// more than MaxParts, when the seam allowance is as wide as a piece, or when a development
// or a part has a size that is not finite or beyond MaxPartExtent.
PartsResult makeParts(const QList<Development> &developments, const WorkshopOptions &options);

} // namespace velmorant

#pragma once

#include "chamber.h"
#include "halves.h"
#include "layout.h"
#include "pipe.h"

#include <QList>
#include <QString>

#include <optional>

namespace velmorant {

// The flat development of one chamber segment (or of a stretch of it), on the mean diameter,
// in millimetres.
struct Development
{
    enum class Kind { Sector, Rectangle, Skipped };

    int segment = 0; // 1..5, from the cylinder
    QString label;   // how parts are named when not by the segment's number: "2.1", ...
    QString name;    // Italian name of the segment
    Kind kind = Kind::Skipped;
    double length = 0;           // axial length L
    double d1 = 0, d2 = 0;       // inside diameters at the cylinder's end and at the far end
    double mean1 = 0, mean2 = 0; // mean diameters (inside + sheet thickness)
    // Sector (cone): slant s, outer radius R, inner radius R - s, sweep angle in degrees.
    double slant = 0, outerRadius = 0, innerRadius = 0, sweepDegrees = 0;
    // Rectangle (pipe, or cone with equal ends): width pi * d, height L.
    double width = 0, height = 0;
    // A piece of a bent pipe between its cuts, one of them (or both) oblique at a mitre joint:
    // the frustum above is the straight one between the piece's joints on its centreline.
    std::optional<route::Piece> mitre;
    // A bend made as two pressed or hydroformed halves: the frustum above is the straight one
    // between its ends on the centreline.
    std::optional<route::HalvesBend> halves;
};

// The true pi for the workshop: these are lengths of sheet, not the sizing's own constants.
constexpr double TruePi = 3.14159265358979323846;

// A frustum of axial length `length` from inside diameter d1 to d2, developed on the mean
// diameter. A length that is not positive gives Skipped; equal ends give a rectangle.
Development developFrustum(int segment, const QString &name, double length, double d1, double d2,
                           double sheetThickness);

// The five segments, from the cylinder: initial pipe, divergent cone, centre section,
// convergent cone, tail.
QList<Development> developSegments(const ChamberDimensions &d, double sheetThickness);

// Any pipe, a development per section from the port: sections numbered from 1 (or by their
// labels, "2.1" for a diffuser's stages) and named by their shape and place. Laid on a route,
// a section its joints cut gives a development per piece ("3-1", "3-2", ...), and the pieces of
// a bend made as halves one development together.
QList<Development> developPipe(const Pipe &pipe, double sheetThickness,
                               const route::RouteLayout *layout = nullptr);

} // namespace velmorant

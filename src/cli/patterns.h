#pragma once

#include "chamber.h"

#include <QList>
#include <QString>

namespace velmorant {

// The flat development of one chamber segment, for cutting from sheet, in millimetres.
struct Pattern
{
    enum class Kind { Sector, Rectangle, Skipped };

    int segment = 0; // 1..5, from the cylinder
    QString name;    // Italian name of the segment
    Kind kind = Kind::Skipped;
    double length = 0;           // axial length L
    double d1 = 0, d2 = 0;       // inside diameters at the two ends
    double mean1 = 0, mean2 = 0; // mean diameters (inside + sheet thickness)
    // Sector (cone): slant s, outer radius R, inner radius R - s, sweep angle in degrees.
    double slant = 0, outerRadius = 0, innerRadius = 0, sweepDegrees = 0;
    // Rectangle (pipe, or cone with equal ends): width pi * d, height L.
    double width = 0, height = 0;

    QString label() const;
};

// Developments of the five segments on the mean diameter. A segment whose length is not
// positive is Skipped.
QList<Pattern> computePatterns(const ChamberDimensions &d, double sheetThickness);

} // namespace velmorant

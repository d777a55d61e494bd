#pragma once

#include "layout.h"

#include <QByteArray>

#include <vector>

namespace velmorant::route {

struct Triangle
{
    Vec3 a, b, c; // counter-clockwise seen from outside
};

// The pipe's body as a closed surface: the outer surface of every piece between its cuts (the
// inside radius plus the sheet), an annulus at each step of diameter, a disc closing the port
// and one the tail. Neighbouring pieces share their rings' vertices exactly, so every edge
// belongs to two triangles; every vertex lies on its piece's outer surface.
struct BodyMesh
{
    std::vector<Triangle> triangles;
    std::vector<QString> pieceOf; // each triangle's piece by name; empty for the ends and steps
    QString problem; // the route's, when it cannot be laid
};

// `around` points on every ring.
BodyMesh pipeBody(const Pipe &pipe, const Route &route, double sheetMm, int around = 120);

// Binary STL, millimetres: an 80-byte header, the count, then each facet's normal and corners.
QByteArray stlBytes(const BodyMesh &mesh);

// The enclosed volume and the surface's area, for checks.
double volumeOf(const BodyMesh &mesh);
double areaOf(const BodyMesh &mesh);

} // namespace velmorant::route

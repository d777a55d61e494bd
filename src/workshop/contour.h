#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

namespace velmorant {

// Geometry of the workshop, in millimetres with y upwards (as in DXF). A contour is a closed
// chain of edges; each vertex starts one edge, which is a straight line when its bulge is 0 and
// otherwise a circular arc: bulge = tan(included angle / 4), positive when the arc turns
// counter-clockwise. This is DXF's own form, so outlines reach a CAM program as they are.
struct ContourVertex
{
    QPointF p;
    double bulge = 0;
};

struct Contour
{
    QList<ContourVertex> vertices;
};

// A straight mark on the etch layer; the centre line is dashed.
struct Stroke
{
    QPointF a, b;
    bool dashed = false;
};

// One arc edge, resolved: centre, radius, start angle and signed sweep (radians).
struct ArcEdge
{
    QPointF centre;
    double radius = 0;
    double start = 0;
    double sweep = 0; // positive counter-clockwise
};
ArcEdge arcOf(QPointF from, QPointF to, double bulge);

// Whether the direction `angle` (radians) from the centre lies on the arc's sweep.
bool onSweep(const ArcEdge &arc, double angle);

// The bulge of an arc that turns by `sweep` radians.
double bulgeFor(double sweep);

// Rigid motions only (rotation and translation): bulges keep their meaning.
Contour transformed(const Contour &c, const QTransform &t);
Stroke transformed(const Stroke &s, const QTransform &t);

// The contour as a polygon whose every point lies within `tolerance` of the true outline
// (arcs cut into chords whose sagitta is at most `tolerance`).
QPolygonF polygonOf(const Contour &c, double tolerance);

// Exact bounds, arcs included.
QRectF boundsOf(const Contour &c);

// Enclosed area, arcs included (positive for counter-clockwise contours).
double areaOf(const Contour &c);

// The outline as a painter path, its arcs as curves that stay within a micrometre of the
// true arc at any workshop radius (pieces of at most 10 degrees).
QPainterPath pathOf(const Contour &c);

// Whether `p` lies inside the exact outline.
bool contains(const Contour &c, QPointF p);

} // namespace velmorant

#pragma once

#include "contour.h"

#include <QRectF>

#include <vector>

namespace velmorant {

// One edge of a contour, resolved once: a segment, or an arc with its circle and sweep.
struct Edge
{
    QPointF a, b;
    bool arc = false;
    ArcEdge circle; // when arc
    QRectF bounds;  // exact, arcs included
};
std::vector<Edge> edgesOf(const Contour &c);

// The shortest distance between two edges (0 where they touch or cross), exact for segments
// and arcs alike: the closest pair is an end of one edge, or a pair joined by the common
// normal, which passes through an arc's centre.
double edgeDistance(const Edge &e, const Edge &f);

// The shortest distance between two outlines' edges, or `atMost` when none is nearer than that
// (edges whose boxes are that far apart are not measured). The outlines are taken as curves:
// one lying inside the other is not seen here.
double outlineDistance(const std::vector<Edge> &a, const std::vector<Edge> &b,
                       double atMost = 1e300);

} // namespace velmorant

#pragma once

#include "vec3.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmorant::route {

// One bend of the pipe: `joints` mitre joints, the first `atMm` along the centreline from the
// port and each next one `spacingMm` further (or, with a radius, the spacing that keeps the
// polyline through the joints tangent to that circle), each turning the axis by angle / joints.
// It turns towards the "up" of the bend before it, turned by `planeDeg` about the axis.
struct Bend
{
    double atMm = 0;
    double angleDeg = 0;
    double planeDeg = 0;
    int joints = 1;
    std::optional<double> radiusMm;
    std::optional<double> spacingMm;
    // Made as two pressed or hydroformed halves welded along the bend's plane instead of
    // mitred segments: the joints still describe its centreline.
    bool halves = false;

    // The distance between two joints along the centreline.
    double spacing() const;
};

// The pipe's way through space from the port flange: where it starts, the way it leaves the
// port, a vector across it called "up", then its bends in order along the pipe. Millimetres.
struct Route
{
    Vec3 point{0, 0, 0};
    Vec3 direction{0, 0, -1};
    Vec3 up{1, 0, 0};
    QList<Bend> bends;

    bool straight() const { return bends.isEmpty(); }
};

// The most bends and joints a route may hold; a route file is small.
constexpr int MaxBends = 50;
constexpr int MaxJointsPerBend = 36;
constexpr qint64 MaxRouteFileBytes = 1 << 20;

// A route read from its JSON, or why it cannot be: a key it does not know, a wrong version, a
// number that is not finite, a vector of zero length, a direction along "up", a bend of no
// joints or with both a radius and a spacing (or neither).
struct RouteRead
{
    Route route;
    QString error; // Italian; empty when read
    bool ok() const { return error.isEmpty(); }
};
RouteRead readRoute(const QByteArray &json);

// The route as its file holds it (version 1), so that what is written reads back the same.
QByteArray routeJson(const Route &route);

} // namespace velmorant::route

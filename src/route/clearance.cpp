#include "clearance.h"

#include "cut.h"

#include <fcl/narrowphase/distance.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace velmorant::route {

namespace {

constexpr double Pi = 3.14159265358979323846;
// Points on each cut edge: the hull's chords stay within r (1 - cos(pi / n)) of the surface,
// 3 micrometres at a radius of 40 mm.
constexpr int EdgePoints = 256;

using Vector = fcl::Vector3d;

Vector vec(const Vec3 &v)
{
    return {v.x, v.y, v.z};
}

// The piece between its cuts as a convex polytope: the two edges' points, the side's triangles
// and the two end polygons.
std::shared_ptr<fcl::Convexd> hullOf(const Piece &p)
{
    auto points = std::make_shared<std::vector<Vector>>();
    auto faces = std::make_shared<std::vector<int>>();
    points->reserve(2 * EdgePoints);
    for (const CutPlane *c : {&p.upstream, &p.downstream}) {
        for (int k = 0; k < EdgePoints; ++k) {
            const double phi = 2 * Pi * k / EdgePoints;
            points->push_back(vec(surfacePoint(p, phi, cutZ(p, *c, phi))));
        }
    }
    int count = 0;
    for (int k = 0; k < EdgePoints; ++k) {
        const int k1 = (k + 1) % EdgePoints;
        faces->insert(faces->end(), {3, k, k1, EdgePoints + k});
        faces->insert(faces->end(), {3, k1, EdgePoints + k1, EdgePoints + k});
        count += 2;
    }
    for (int end = 0; end < 2; ++end) {
        faces->push_back(EdgePoints);
        for (int k = 0; k < EdgePoints; ++k)
            faces->push_back(end == 0 ? EdgePoints - 1 - k : EdgePoints + k);
        ++count;
    }
    return std::make_shared<fcl::Convexd>(points, count, faces);
}

std::shared_ptr<fcl::CollisionGeometryd> shapeOf(const Obstacle &o, fcl::Transform3d &pose)
{
    pose = fcl::Transform3d::Identity();
    if (o.kind == Obstacle::Kind::Box) {
        const Vec3 size = o.max - o.min, centre = (o.min + o.max) * 0.5;
        pose.translation() = vec(centre);
        return std::make_shared<fcl::Boxd>(size.x, size.y, size.z);
    }
    // FCL's cylinder stands on its z axis about its centre.
    const Vec3 axis = o.b - o.a;
    const double length = norm(axis);
    pose.linear() = Eigen::Quaterniond::FromTwoVectors(Vector::UnitZ(), vec(axis) / length)
                        .toRotationMatrix();
    pose.translation() = vec((o.a + o.b) * 0.5);
    return std::make_shared<fcl::Cylinderd>(o.radius, length);
}

double distanceBetween(const fcl::CollisionObjectd &a, const fcl::CollisionObjectd &b)
{
    fcl::DistanceRequestd request;
    request.enable_signed_distance = true;
    request.gjk_solver_type = fcl::GST_LIBCCD;
    request.distance_tolerance = 1e-9;
    fcl::DistanceResultd result;
    fcl::distance(&a, &b, request, result);
    return result.min_distance;
}

double outsideBox(const TargetBox &box, const Vec3 &p)
{
    const double dx = std::max({box.min.x - p.x, 0.0, p.x - box.max.x});
    const double dy = std::max({box.min.y - p.y, 0.0, p.y - box.max.y});
    const double dz = std::max({box.min.z - p.z, 0.0, p.z - box.max.z});
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

} // namespace

RouteLayout outerLayout(const Pipe &pipe, const Route &route, double sheetMm)
{
    // Twice the sheet makes the "mid-surface" the outer one, its joint planes its own.
    LayoutRules rules;
    rules.sheetMm = 2 * sheetMm;
    rules.maxJointDeg = 180;
    rules.minWallMm = 0;
    return layRoute(pipe, route, rules);
}

Clearance clearanceOf(const RouteLayout &layout, const Surroundings &s)
{
    Clearance c;
    std::vector<std::unique_ptr<fcl::CollisionObjectd>> pieces;
    for (const Piece &p : layout.pieces)
        pieces.push_back(std::make_unique<fcl::CollisionObjectd>(hullOf(p)));
    for (const Obstacle &o : s.obstacles) {
        fcl::Transform3d pose;
        const std::shared_ptr<fcl::CollisionGeometryd> shape = shapeOf(o, pose);
        const fcl::CollisionObjectd obstacle(shape, pose);
        ObstacleDistance d{o.name, std::numeric_limits<double>::infinity(), QString()};
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const double di = distanceBetween(*pieces[i], obstacle);
            if (di < d.distanceMm) {
                d.distanceMm = di;
                d.piece = layout.pieces[int(i)].name;
            }
        }
        c.distances << d;
    }
    if (s.target) {
        c.tailOutsideMm = outsideBox(*s.target, layout.endPoint);
        c.tailInTarget = c.tailOutsideMm == 0;
    }
    return c;
}

} // namespace velmorant::route

#include "cut.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velmorant::route {

namespace {

constexpr double Pi = 3.14159265358979323846;
// Below this slope a cone is drawn as a tube: its apex would lie kilometres away.
constexpr double TubeTaper = 1e-6;

double sinAlpha(const Piece &p)
{
    return std::abs(p.taper) / std::sqrt(1 + p.taper * p.taper);
}

} // namespace

double cutZ(const Piece &p, const CutPlane &plane, double phi)
{
    const double q = plane.nu * std::cos(phi) + plane.nv * std::sin(phi);
    return (plane.d - p.r0 * q) / (plane.nz + p.taper * q);
}

Vec3 surfacePoint(const Piece &p, double phi, double z, double radialOffset)
{
    const Vec3 v = cross(p.axis, p.ref);
    const double r = radiusAt(p, z) + radialOffset;
    return p.origin + p.ref * (r * std::cos(phi)) + v * (r * std::sin(phi)) + p.axis * z;
}

double azimuthOf(const Piece &p, const Vec3 &x)
{
    const Vec3 d = x - p.origin;
    return std::atan2(dot(d, cross(p.axis, p.ref)), dot(d, p.ref));
}

bool isCone(const Piece &p)
{
    return std::abs(p.taper) > TubeTaper;
}

QPointF flatPoint(const Piece &p, double phi0, double phi1, double phi, double z)
{
    const double r = radiusAt(p, z);
    if (!isCone(p))
        return {r * (phi - phi0), z};
    const double k = sinAlpha(p);
    const double s = r / k, sweep = (phi1 - phi0) * k;
    // Seen from outside, azimuth runs clockwise on a cone opening downstream, anticlockwise on
    // one closing.
    const double theta = p.taper > 0 ? Pi / 2 + sweep / 2 - (phi - phi0) * k
                                     : Pi / 2 - sweep / 2 + (phi - phi0) * k;
    return {s * std::cos(theta), s * std::sin(theta)};
}

Flat develop(const Piece &p, double phi0, double phi1)
{
    Flat f;
    f.cone = isCone(p);
    f.sweep = f.cone ? (phi1 - phi0) * sinAlpha(p) : 0;
    const int n = std::max(2, int(std::ceil(std::abs(phi1 - phi0) / (Pi / 180)))) + 1;
    for (int i = 0; i < n; ++i) {
        const double phi = phi0 + (phi1 - phi0) * i / (n - 1);
        f.phis << phi;
        f.up << flatPoint(p, phi0, phi1, phi, cutZ(p, p.upstream, phi));
        f.down << flatPoint(p, phi0, phi1, phi, cutZ(p, p.downstream, phi));
    }
    return f;
}

double shortestWall(const Piece &p, double *at)
{
    constexpr int Samples = 720;
    double least = std::numeric_limits<double>::infinity();
    for (int i = 0; i < Samples; ++i) {
        const double phi = 2 * Pi * i / Samples;
        // Along the surface's generator, not the axis: what the welder sees.
        const double w = (cutZ(p, p.downstream, phi) - cutZ(p, p.upstream, phi)) *
                         std::sqrt(1 + p.taper * p.taper);
        if (w < least) {
            least = w;
            if (at)
                *at = phi;
        }
    }
    return least;
}

} // namespace velmorant::route

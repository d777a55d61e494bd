#pragma once

#include "layout.h"

#include <QList>
#include <QPointF>

namespace velmorant::route {

// The axial position z (from the piece's start) where the plane crosses the piece's surface
// at azimuth phi: z = (d - r0 q) / (nz + taper q), q = nu cos phi + nv sin phi.
double cutZ(const Piece &p, const CutPlane &plane, double phi);

// The surface's radius at z.
inline double radiusAt(const Piece &p, double z)
{
    return p.r0 + p.taper * z;
}

// The point of the surface at azimuth phi and axial position z, in space.
Vec3 surfacePoint(const Piece &p, double phi, double z, double radialOffset = 0);

// The azimuth of point X around the piece's axis.
double azimuthOf(const Piece &p, const Vec3 &x);

// Whether the piece develops as a cone (a sector) or as a tube (a rectangle).
bool isCone(const Piece &p);

// A piece's flat development from azimuth phi0 to phi1, as seen from outside: a tube opens to
// x = r (phi - phi0), y = z; a cone to the sector about its apex at the origin, the slant
// distance r / |sin alpha| from it, the sector's bisector along +y. Each cut edge sampled at
// least a point a degree, both from phi0 to phi1.
struct Flat
{
    QList<QPointF> up, down;
    QList<double> phis;
    bool cone = false;
    double sweep = 0; // of the sector, radians; 0 for a tube
};
Flat develop(const Piece &p, double phi0, double phi1);

// The flat point of azimuth phi and axial position z, on the development from phi0 to phi1.
QPointF flatPoint(const Piece &p, double phi0, double phi1, double phi, double z);

// The shortest wall between the piece's two cuts, and its azimuth.
double shortestWall(const Piece &p, double *phi = nullptr);

} // namespace velmorant::route

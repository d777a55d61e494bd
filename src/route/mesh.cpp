#include "mesh.h"

#include "clearance.h"
#include "cut.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace velmorant::route {

namespace {

constexpr double Pi = 3.14159265358979323846;

using Ring = std::vector<Vec3>;

// The quad strip from ring a to ring b, the same azimuths in both.
void strip(std::vector<Triangle> &out, const Ring &a, const Ring &b)
{
    const std::size_t n = a.size();
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t k1 = (k + 1) % n;
        out.push_back({a[k], a[k1], b[k]});
        out.push_back({a[k1], b[k1], b[k]});
    }
}

void put(QByteArray &bytes, float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    const quint32 le = qToLittleEndian(bits);
    bytes.append(reinterpret_cast<const char *>(&le), 4);
}

} // namespace

BodyMesh pipeBody(const Pipe &pipe, const Route &route, double sheetMm, int around)
{
    BodyMesh mesh;
    // The outer surface cut on its own joint planes, so both cones of a joint meet there point
    // for point.
    const RouteLayout l = outerLayout(pipe, route, sheetMm);
    if (!l.ok() || l.pieces.isEmpty()) {
        mesh.problem = l.problem;
        return mesh;
    }
    std::vector<double> phis(static_cast<std::size_t>(around));
    for (int k = 0; k < around; ++k)
        phis[std::size_t(k)] = 2 * Pi * k / around;
    auto ring = [&](const Piece &p, const CutPlane &c) {
        Ring r(phis.size());
        for (std::size_t k = 0; k < phis.size(); ++k)
            r[k] = surfacePoint(p, phis[k], cutZ(p, c, phis[k]));
        return r;
    };
    const Piece &first = l.pieces.first();
    Ring previous = ring(first, first.upstream);
    // The port's disc, facing back into the port.
    for (std::size_t k = 0; k < previous.size(); ++k)
        mesh.triangles.push_back({first.origin, previous[(k + 1) % previous.size()], previous[k]});
    for (int i = 0; i < l.pieces.size(); ++i) {
        const Piece &p = l.pieces[i];
        Ring up;
        if (i > 0 && p.mitredUp) {
            // Across a joint the next piece starts on the very points the last one ended on.
            up = previous;
            for (std::size_t k = 0; k < up.size(); ++k)
                phis[k] = azimuthOf(p, up[k]);
        } else if (i > 0 && std::abs(radiusAt(p, 0) - radiusAt(l.pieces[i - 1],
                                                          l.pieces[i - 1].length)) < 1e-9) {
            up = previous; // the diameter runs on: the same ring
        } else {
            up = ring(p, p.upstream);
            if (i > 0)
                strip(mesh.triangles, previous, up); // a step of diameter
        }
        const Ring down = ring(p, p.downstream);
        strip(mesh.triangles, up, down);
        mesh.pieceOf.resize(mesh.triangles.size() - 2 * up.size());
        mesh.pieceOf.resize(mesh.triangles.size(), p.name);
        previous = down;
    }
    const Piece &last = l.pieces.last();
    const Vec3 tail = last.origin + last.axis * last.length;
    for (std::size_t k = 0; k < previous.size(); ++k)
        mesh.triangles.push_back({tail, previous[k], previous[(k + 1) % previous.size()]});
    mesh.pieceOf.resize(mesh.triangles.size());
    return mesh;
}

QByteArray stlBytes(const BodyMesh &mesh)
{
    QByteArray bytes(80, ' ');
    const QByteArray title("Velmorant: corpo del tubo, mm");
    bytes.replace(0, title.size(), title);
    const quint32 count = qToLittleEndian(quint32(mesh.triangles.size()));
    bytes.append(reinterpret_cast<const char *>(&count), 4);
    bytes.reserve(bytes.size() + qsizetype(mesh.triangles.size()) * 50);
    for (const Triangle &t : mesh.triangles) {
        const Vec3 n = cross(t.b - t.a, t.c - t.a);
        const double l = norm(n);
        const Vec3 u = l > 0 ? n * (1 / l) : Vec3{0, 0, 0};
        for (const Vec3 &v : {u, t.a, t.b, t.c}) {
            put(bytes, float(v.x));
            put(bytes, float(v.y));
            put(bytes, float(v.z));
        }
        bytes.append(2, '\0');
    }
    return bytes;
}

double volumeOf(const BodyMesh &mesh)
{
    double v = 0;
    for (const Triangle &t : mesh.triangles)
        v += dot(t.a, cross(t.b, t.c)) / 6;
    return v;
}

double areaOf(const BodyMesh &mesh)
{
    double a = 0;
    for (const Triangle &t : mesh.triangles)
        a += norm(cross(t.b - t.a, t.c - t.a)) / 2;
    return a;
}

} // namespace velmorant::route

#pragma once

#include "pipe.h"
#include "route.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace velmorant::route {

// A plane in a piece's own frame: nu u + nv v + nz e is its normal and n . (X - O) = d, O being
// the piece's start on the centreline, e its axis, u and v = e x u across it.
struct CutPlane
{
    double nu = 0, nv = 0, nz = 1, d = 0;
};

// A quarter mark on a cut edge: its azimuth on the piece, and whether it is the inside of the
// bend (drawn double).
struct Tick
{
    double phi = 0;
    bool inside = false;
};

// One straight piece of the pipe between two cuts: a section's end (square) or a mitre joint.
// Its surface is the sheet's mid-surface, radius r0 + taper z at z mm along its axis.
struct Piece
{
    int section = 0; // of the pipe, from 0
    int number = 1;  // within the section, from 1 at the port's end
    int count = 1;   // pieces of that section
    QString name;    // the section's name, then "-2" when the section is mitred
    double startMm = 0, length = 0; // along the centreline
    double r0 = 0, taper = 0;
    Vec3 origin, axis, ref;
    CutPlane upstream, downstream{0, 0, 1, 0};
    bool mitredUp = false, mitredDown = false;
    double seam = 0;        // azimuth of the seam, radians
    QList<Tick> ticksUp, ticksDown;
    int halves = -1; // the bend whose pressed halves make this piece, or -1

    bool mitred() const { return mitredUp || mitredDown; }
};

struct Joint
{
    int bend = 0;  // from 0
    int index = 0; // within the bend, from 0
    double atMm = 0;
    double angleDeg = 0;
    Vec3 point, in, out;
};

// Where the seam of a mitred piece runs.
enum class SeamSide { Inside, Outside, Alternating };

struct LayoutRules
{
    double sheetMm = 1;        // the mid-surface is cut: inside radius + half the sheet
    double minWallMm = 3;      // the shortest wall a segment may keep between its cuts
    double maxJointDeg = 0;    // the largest turn of a joint; 0: by section (see jointLimit)
    SeamSide seam = SeamSide::Alternating;
};

// The builder's largest turn at one joint in section `i` of `pipe`: 30 degrees in the header,
// 25 in a diffuser cone, 20 in the belly and the baffle, 15 in the stinger.
double jointLimit(const Pipe &pipe, int i);

// Where a bend made as halves begins and ends along the centreline: half a joint spacing
// before its first joint and after its last, where its arc meets the straight pipe.
struct HalvesSpan
{
    int bend = 0;
    double fromMm = 0, toMm = 0;
};

struct RouteLayout
{
    QList<Joint> joints;
    QList<HalvesSpan> halves;
    QList<Piece> pieces;            // every section's, in order from the port
    QList<double> sectionCentreline; // each section's length along the centreline
    QStringList sectionNames;
    Vec3 endPoint, endDirection;
    Vec3 boxMin, boxMax;            // of the pipe's outer surface
    QString problem;                // Italian, naming the bend; empty when the route is laid

    bool ok() const { return problem.isEmpty(); }
};

// The route laid along the pipe: joints where its bends fall, each section cut into pieces at
// its joints, each joint's plane (bisecting the turn on a tube; on a cone the plane of the
// sphere both cones share, so the cut edges meet point for point). Refused, naming the bend,
// when a joint falls beyond the pipe or at a change of taper, when a bend overlaps the next,
// when a joint turns more than the rules allow, or when a piece's cuts leave a wall shorter than
// the rules' minimum. A bend made as halves is cut square where its arc begins and ends, which
// must fall inside one section; its joints are not mitres, so the joint and wall limits do not
// bind it.
RouteLayout layRoute(const Pipe &pipe, const Route &route, const LayoutRules &rules = {});

} // namespace velmorant::route

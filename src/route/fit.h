#pragma once

#include "clearance.h"

#include <atomic>
#include <functional>

namespace velmorant::route {

// What the fit may use: how many bends, how many routes it tries, and the builders' limits.
struct FitLimits
{
    int bends = 4;
    int evaluations = 2000;
    // Every joint turns at most this (the stinger's rule, within every section's); the joints
    // of a bend lie on a radius of twice the pipe's outer diameter there.
    double jointDeg = 15;
    // The shortest segment between two joints: a bend whose radius would cut them shorter
    // takes the radius that gives this; 0, the radius alone.
    double segmentMm = 0;
};

struct FitResult
{
    Route route;           // the best found: clear and on target when `fits`
    bool fits = false;
    double clashMm = 0;     // the most any obstacle comes within the clearance
    double tailOutsideMm = 0;
    double totalAngleDeg = 0;
    int evaluations = 0;
    bool cancelled = false;
};

// The bends that make the pipe fit the bike: the flange fixed (the start of `start`), every
// section's length along the centreline kept, every obstacle cleared by the clearance, the
// tail's end in the target, and among such routes the least total bend angle. Searched by
// NLopt (a global pass with a fixed seed, then a local one), each bend in its own stretch of
// the pipe; a route that cannot be laid counts as far from fitting. Without a fit, the route
// that misses by least. `stop` ends it early with the best so far.
FitResult fitRoute(const Pipe &pipe, const Route &start, const Surroundings &around,
                   double sheetMm, const FitLimits &limits = {},
                   const std::atomic<bool> *stop = nullptr,
                   const std::function<void(int done, int total)> &progress = {});

} // namespace velmorant::route

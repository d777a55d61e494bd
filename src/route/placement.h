#pragma once

// Where a route's joints fall along the pipe; used by the layout alone.
#include "layout.h"

namespace velmorant::route::placement {

// Two positions along the centreline closer than this are one.
constexpr double SamePlace = 1e-6;

int sectionAt(const Pipe &pipe, double x);
double taperOf(const PipeSection &s);
QString mm(double v);
QString tr(const char *s);

// Each joint of the route in `out.joints` (its bend, place and turn) and each bend made as
// halves in `out.halves`; false, with `out.problem` saying why, when a bend cannot be laid.
bool placeJoints(const Pipe &pipe, const Route &route, const LayoutRules &rules, RouteLayout &out);

} // namespace velmorant::route::placement

#pragma once

// The route's part of the workshop's plan: the pipe laid along it, its distances to the bike,
// the warnings and the JSON they give.
#include "plan.h"

namespace velmorant {

// Lays the options' route when it bends, or the straight pipe when there are surroundings, on
// `laid`
// and measures the clearance; false, with the plan refused naming the bend, when the route
// cannot be laid.
bool layRouteOnPlan(WorkshopPlan &plan, const Pipe &laid);

// A warning for each obstacle the pipe comes nearer than the clearance (ROUTE_CLEARANCE, naming
// it, the piece and the depth) and for a tail outside its target (ROUTE_TARGET).
QList<BuilderWarning> clearanceWarnings(const WorkshopPlan &plan);

// The bent pipe in space for the JSON: its joints, its end, each section's length along the
// centreline, the box around its outer surface, and the clearance when measured.
QJsonObject routeJson(const WorkshopPlan &plan);

} // namespace velmorant

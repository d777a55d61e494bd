#pragma once

#include "inputs.h"

#include <optional>

namespace velmorant::engine {

// A measured cylinder's scavenging: the fit SE = 1 - exp(M SR + C) of its scavenging efficiency
// against its scavenge ratio (single-cycle rig, Blair and Kenny, SAE 800038).
struct ScavengingCurve
{
    double m = -1, c = 0;
    double fitted(double sr) const { return 1 - std::exp(m * sr + c); }
};
std::optional<ScavengingCurve> curveOf(Scavenging s);

// What a scavenging model keeps of the fresh charge delivered: the scavenging efficiency after
// a scavenge ratio `sr`. A fit is used as measured where it can hold physically: no more can
// be kept than was delivered, nor more than comes in at each instant, so below the point past
// which its slope stays under 1 the kept charge grows in proportion to SR (and never above SR).
// Perfect displacement keeps everything up to SR 1; perfect mixing keeps 1 - exp(-SR).
double keptCharge(Scavenging s, double sr);

// The purity of what leaves through the exhaust port while the cylinder is at `sr`: 1 minus the
// slope of keptCharge, between 0 and 1. (Perfect mixing is the cylinder's own purity, which
// this equals in a fixed volume.)
double outflowPurity(Scavenging s, double sr);

// The fresh charge that leaves with `outflow` kg through the exhaust port, out of a cylinder
// holding `fresh` of `mass` kg once this step's inflow is in, at scavenge ratio `sr` after it:
// perfect mixing lets out the cylinder's own purity; perfect displacement burnt gas while there
// is any; a measured cylinder the fresh charge that leaves it holding keptCharge(sr) of its
// charge, which in a fixed volume at one temperature is outflowPurity(sr) of the outflow. Never
// more fresh charge nor burnt gas than the cylinder holds.
double freshReleased(Scavenging s, double sr, double fresh, double mass, double outflow);

} // namespace velmorant::engine

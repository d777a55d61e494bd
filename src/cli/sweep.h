#pragma once

#include "cliargs.h"

#include <cstdio>

namespace velmorant {

// CSV of the sizing as one field runs from `from` to `to` by `step`, the other fields fixed:
// a header, then one row per value with the eight parameters, the nine results and a status
// ("ok", or the refusal message). A refused row never stops the sweep.
// Returns 0, or the error number of the first write that failed (the rest is not written).
int writeSweep(std::FILE *out, const DesignParameters &base, const SweepSpec &spec);

// The most rows a sweep may have (a CSV of about 2 GB); a larger sweep is refused.
constexpr double MaxSweepRows = 10'000'000;

// Number of rows the sweep has (NaN when the step leads away from the end, infinite when it
// never gets there).
double sweepRowCount(const SweepSpec &spec);

} // namespace velmorant

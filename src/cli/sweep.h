#pragma once

#include "cliargs.h"

#include <cstdio>

namespace velmorant {

// CSV of the sizing as one field runs from `from` to `to` by `step`, the other fields fixed:
// a header, then one row per value with the eight parameters, the nine results and a status
// ("ok", or the refusal message). A refused row never stops the sweep.
void writeSweep(std::FILE *out, const DesignParameters &base, const SweepSpec &spec);

// Number of rows the sweep has.
long long sweepRowCount(const SweepSpec &spec);

} // namespace velmorant

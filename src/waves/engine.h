#pragma once

#include "geometry.h"
#include "parameters.h"

namespace velmorant::waves {

// The engine around the pipe is the engine library's; the model puts it on the design.
using engine::EngineGeometry;
using engine::EngineInputs;
using engine::EngineRange;
using engine::engineGeometry;
using engine::engineProblem;
using engine::engineRanges;
using engine::LargestBoreMm;
using engine::SmallestBoreMm;

// `engine` on the design: its displacement, its exhaust and transfer durations, and its gas
// temperature for the pipe at the start.
EngineInputs onDesign(EngineInputs engine, const DesignParameters &p);

} // namespace velmorant::waves

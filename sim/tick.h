#pragma once

namespace murinex {

class Run;

// One tick of the simulation: terrain, the three passes over the mice, deaths,
// births, the statistics row and the dumps at their cadence. Returns false
// when the tick was skipped because another one is still running. An error
// abandons the tick and leaves the run ready for the next one.
bool Tick(Run& run);

}  // namespace murinex

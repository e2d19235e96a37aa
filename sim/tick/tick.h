#pragma once

#include <cstddef>
#include <vector>

namespace murinex {

class Run;

// One tick of the simulation: terrain, the three passes over the mice, deaths,
// births, the statistics row and the dumps at their cadence. Returns false
// when the tick was skipped because another one is still running. An error
// abandons the tick and leaves the run ready for the next one.
bool Tick(Run& run);

// The phases after the three passes over the mice, in their order.
// The indexes of the mice that die in this tick: the death test of every
// mouse, and death by age with its one draw only for mice older than DeathAge.
std::vector<std::size_t> CollectTheDead(Run& run);
// Removes the listed mice, keeping the later indexes of the list valid.
void RemoveTheDead(Run& run, std::vector<std::size_t> dead);
// Births over the mice left after the removals; children are not visited.
void GiveBirths(Run& run);
// The statistics row and the population dump at their cadence.
void WriteCadencedOutput(Run& run);

}  // namespace murinex

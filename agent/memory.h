#pragma once

#include <cstdint>

#include "agent/goal_memory.h"
#include "world/geometry.h"

namespace murinex {

class Run;
class TMaus;

// The place's strength faded by the time since its last recall; stamps LastRecall.
double FadeRetention(Run& run, TGoalAvLoc& place, double rate);
// Fades the place, draws whether it comes to mind and reinforces it if so.
bool Recall(Run& run, TMaus& m, TGoalAvLoc& place);

}  // namespace murinex

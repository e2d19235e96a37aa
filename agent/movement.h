#pragma once

#include <cstdint>

#include "agent/maus.h"
#include "world/geometry.h"

namespace murinex {

class Run;
struct TTerra;

// The third phase of a mouse's tick: the goal is chosen again, needs and
// emotions are brought up to date, the mouse moves one step (unless it has
// acted) and the tick is closed: its track, its memories, the statistics and
// the cost of its action.
void MoveStep(Run& run, TMaus& m);

void SetTarget(TMaus& m, PlaceHandle place);
TTerra* FindExploreTerra(Run& run, TMaus& m, double width, double heading);
TRect KnownArea(Run& run, TMaus& m, double width, double heading);
double Braveness(const TMaus& m);
// The hunger and thirst an action costs in one tick.
void MoveCost(const Run& run, TMaus& m, std::uint8_t act);
// The drawing direction (0..7) nearest to the direction from `from` to `to`.
std::uint8_t FacingIndex(TPoint from, TPoint to);

}  // namespace murinex

#pragma once

#include <string>

#include "agent/maus.h"
#include "world/geometry.h"

namespace murinex {

class Run;

// Whether a step leads nearer to a remembered danger, and that danger place.
struct DangerCheck {
  bool danger = false;
  TPoint place = NoPoint;
};

struct StepCheck {
  bool free = false;
  TPoint dangerPlace = NoPoint;
};

// A short chain of points around an obstacle towards target (or, with target
// (-1, -1), in a roughly kept heading). Empty when the mouse is stuck.
// `heading` is read and left at the search's last heading.
TPlan PlanSearch(Run& run, TMaus& m, TPoint start, TPoint target, double& heading, double step);

struct RingStep {
  TPoint point = NoPoint;
  double heading = NoDirection;
};
// The usable step in a ring of directions nearest to refHeading; point
// (-1, -1) when there is none.
RingStep FreeStepAround(Run& run, TMaus& m, TPoint from, double step, double refHeading);
// A step ending on terrain, not on stones (if avoided), not towards a danger,
// not next to another mouse.
StepCheck FreeStep(Run& run, TMaus& m, TPoint from, TPoint to, bool avoidStones);
DangerCheck DangerAhead(Run& run, TMaus& m, TPoint from, TPoint to, const char* label);
DangerCheck NearDanger(Run& run, TMaus& m);
// Follows a route from place while its places come to mind, up to a place of
// the kind, sign and quality asked for.
bool ChainFind(Run& run, TMaus& m, TGoalAvLoc& start, goal::Goal kind, double minQuality, char sign,
               TPoint& found);
inline bool IsStuckAt(const TMaus& m, TPoint p) {
  return p == m.StuckAt;
}

}  // namespace murinex

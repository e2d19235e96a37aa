#include "agent/planning.h"

#include <algorithm>

#include "agent/memory.h"
#include "agent/movement.h"
#include "agent/needs.h"
#include "agent/neighbours.h"
#include "model/run.h"
#include "world/input_ranges.h"
#include "world/inside.h"

namespace murinex {

TPlan PlanSearch(Run& run, TMaus& m, TPoint start, TPoint target, double& heading, double step) {
  TPlan plan;
  TPoint cur = start;
  double ringHeading = NoDirection;
  for (;;) {
    if (target.x >= 0)
      heading = Direction(cur, target);
    else
      heading = NormalizeAngle(heading + (run.random.Uniform() - 0.5) * Pi);
    const TPoint next = PolarOffset(cur, heading, step);
    const StepCheck direct = FreeStep(run, m, cur, next, true);
    if (direct.free) {
      plan.push_back(next);
      run.Stats.Add(stat::SuccessfulPlan, 1);
      return plan;
    }
    m.StuckAt = direct.dangerPlace;
    run.Stats.Add(stat::Plan, 1);
    const double ref = plan.empty() ? heading : ringHeading;
    const RingStep alt = FreeStepAround(run, m, cur, step, ref);
    ringHeading = alt.heading;
    if (alt.point.x < 0) {
      Dissatisfy(run, m, need::Comp, "Plan stucked", -m.Comp().BasMeta);
      return {};
    }
    plan.push_back(alt.point);
    cur = alt.point;
    run.Stats.Add(stat::PlanSteps, 1);
    // How far a mouse can plan grows with the length of its remembered path.
    if (static_cast<double>(plan.size()) > static_cast<double>(m.Protocol.size()) / 10) return plan;
  }
}

RingStep FreeStepAround(Run& run, TMaus& m, TPoint from, double step, double refHeading) {
  RingStep result;
  double best = 10.0;
  // Bounded: an extreme InhibW set in an editor must not stall the tick.
  const int n = std::min(RoundHalfEven((1 - m.Inhib) * 10), MaxRingProbes);
  for (int k = 1; k <= n; ++k) {
    const double theta = static_cast<double>(k) / n * TwoPi;
    const TPoint p = PolarOffset(from, theta, step);
    const bool avoid = run.random.Uniform() > m.Inhib;
    if (FreeStep(run, m, from, p, avoid).free && AngleDiff(theta, refHeading) < best) {
      best = AngleDiff(theta, refHeading);
      result = {p, theta};
    }
  }
  return result;
}

StepCheck FreeStep(Run& run, TMaus& m, TPoint from, TPoint to, bool avoidStones) {
  StepCheck result;
  const TTerra* patch = run.World->Inside().TerraAt(to.x, to.y);
  if (!patch) return result;
  if (patch->Kind == KindStones && avoidStones) return result;
  const DangerCheck danger = DangerAhead(run, m, from, to, "ToDanger: Free Loc without danger?");
  result.dangerPlace = danger.place;
  if (danger.danger) return result;
  if (Occupied(run, m, to)) return result;
  result.free = true;
  return result;
}

DangerCheck DangerAhead(Run& run, TMaus& m, TPoint from, TPoint to, const char* label) {
  DangerCheck near = NearDanger(run, m);
  const TPoint d = near.place;
  const bool danger = near.danger && Distance(to, d) < Distance(from, d);
  const double factor = IsStuckAt(m, d) ? 0 : 1;
  if (danger)
    Satisfy(run, m, goal::Uncertainty, run.FirstTerra(),
            std::string(label) + " " + std::to_string(d.x) + "," + std::to_string(d.y),
            m.P(param::GainCert) * factor);
  return {danger, d};
}

DangerCheck NearDanger(Run& run, TMaus& m) {
  // Nothing here changes the list; places outside the candidates would end
  // their walk at once, without a draw.
  m.Places.Update(m.GoalLocations);
  for (const std::uint32_t i : m.Places.DangerCandidates()) {
    TGoalAvLoc& place = m.GoalLocations[i];
    TPoint q;
    if (!ChainFind(run, m, place, goal::Stones, 0.5, '-', q)) continue;
    if (!(Distance(m.Position, q) < 15)) continue;
    if (run.random.Uniform() > m.Inhib) return {true, place.Pos};
    run.Stats.Add(stat::DangerNotSeen, 1);
  }
  return {false, NoPoint};
}

bool ChainFind(Run& run, TMaus& m, TGoalAvLoc& start, goal::Goal kind, double minQuality, char sign,
               TPoint& found) {
  found = NoPoint;
  // Links only lead to earlier places, so the walk ends; nothing is deleted on the way.
  TGoalAvLoc* place = &start;
  for (;;) {
    if (place->Kind() == kind && place->Sign == sign && place->Quality >= minQuality &&
        run.random.Uniform() > m.Inhib) {
      found = place->Pos;
      return true;
    }
    if (!place->Next) return false;
    place = &m.GoalLocations.Linked(place->Next);
    if (!Recall(run, m, *place)) return false;
  }
}

}  // namespace murinex

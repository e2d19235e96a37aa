#include "agent/intention.h"

#include <algorithm>
#include <vector>

#include "agent/event_protocol.h"
#include "agent/memory.h"
#include "agent/needs.h"
#include "agent/neighbours.h"
#include "model/run.h"
#include "world/inside.h"

namespace murinex {

namespace {

// What reaching the element's goal is worth, weighed by the chance of reaching it.
double GoalValue(const TMaus& m, const TGoalMemEl& el, double comp0) {
  double sum = 0;
  for (int i = 0; i < need::Count; ++i)
    sum = sum + el.Values[i] * m.Motives[i].Urgency;
  return std::min(el.Expectation + comp0, 1.0) * sum;
}

// What weighing the goals reads again and again while the mouse stands still:
// the patch under it, and its places by goal kind. Weighing recalls places but
// never adds or removes one.
class GoalScene {
 public:
  GoalScene(const Run& run, TMaus& m) : patch_(PatchUnder(run, m)) {
    m.Places.Update(m.GoalLocations);
  }
  TTerra* Patch() const { return patch_; }
  // The goal memory holds an element of the patch's kind: looked up (and
  // created if missing) the first time only, as the memory keeps its elements.
  void EnsurePatchElement(Run& run, TMaus& m) {
    if (patchElementKnown_) return;
    FindElement(m.GoalMemory, run.settings, GoalOfKind(patch_->Kind));
    patchElementKnown_ = true;
  }

 private:
  TTerra* patch_;
  bool patchElementKnown_ = false;
};

double Expectation(Run& run, TMaus& m, goal::Goal kind, GoalScene& scene);

}  // namespace

goal::Goal ChooseGoal(Run& run, TMaus& m) {
  GoalScene scene(run, m);
  const double comp0 = m.Comp().Ist;
  double best = 0.2;
  m.Need = need::NoNeed;
  for (int i = 0; i < need::Count; ++i) {
    if (m.Motives[i].Urgency > best) {
      best = m.Motives[i].Urgency;
      m.Need = static_cast<need::Need>(i);
    }
  }
  double value = 0.2, hysteresis = 0;
  if (m.Goal != goal::NoGoal) {
    TGoalMemEl& el = FindElement(m.GoalMemory, run.settings, m.Goal);
    el.Expectation = Expectation(run, m, m.Goal, scene);
    value = GoalValue(m, el, comp0);
    hysteresis = m.KeepConsuming ? m.Inhib * 2 * 0.5 : m.Inhib * 0.5;
  }
  goal::Goal chosen = m.Goal;
  // Elements that the walk itself creates are not weighed in this call.
  const std::size_t count = m.GoalMemory.size();
  for (std::size_t k = 0; k < count; ++k) {
    TGoalMemEl& el = *m.GoalMemory[k];
    if (m.Goal != goal::NoGoal && el.GoalKind == m.Goal) continue;
    el.Expectation = Expectation(run, m, el.GoalKind, scene);
    const double v = GoalValue(m, el, comp0);
    if (v - hysteresis > value) {
      value = v;
      chosen = el.GoalKind;
    }
  }
  if (value <= 0.05) chosen = goal::NoGoal;
  return chosen;
}

namespace {

bool ResourceGoal(goal::Goal kind) {
  return kind == goal::Food || kind == goal::Water || kind == goal::Vorarazav ||
         kind == goal::HealingHerbs;
}

double MeanProgressOfUsablePlaces(Run& run, TMaus& m, goal::Goal kind) {
  double sum = 0;
  int count = 0;
  const double sight = m.P(param::SightWidth);
  for (const PlaceIndex::Entry& e : m.Places.Of(kind)) {
    // Out of sight, LocUsable is false without a draw: decided here from the
    // position at hand, without visiting the place.
    if (Distance(m.Position, e.pos) > sight) continue;
    if (!LocUsable(run, m, *e.place)) continue;
    sum += e.place->Progress;
    count += 1;
  }
  return count > 0 ? sum / count : 0;
}

double MeanFriendshipInView(Run& run, TMaus& m) {
  LookForNeighbours(run, m, m.Heading, (1 - m.Inhib) * Pi, (1 - m.Inhib) * m.P(param::SightWidth));
  if (m.SeenFriends.empty()) return 0;
  double sum = 0;
  int count = 0;
  for (const TFrinEn& e : m.Relations) {
    if (std::find(m.SeenFriends.begin(), m.SeenFriends.end(), e.Other) == m.SeenFriends.end())
      continue;
    sum += e.Friendship;
    count += 1;
  }
  return count > 0 ? sum / count : 0;
}

Opportunity WhatIsOn(Run& run, TMaus& m, TTerra* patch) {
  if (patch && run.random.Uniform() > m.Inhib)
    return {GoalOfKind(patch->Kind), patch, BestNeedOf(run, m, GoalOfKind(patch->Kind))};
  return {goal::NoGoal, run.FirstTerra(), need::NoNeed};
}

// The kind WhatIsOn would report for the patch under the mouse, with the same
// draw and the same goal element looked up; the need it would name is not asked.
goal::Goal NoticedKind(Run& run, TMaus& m, GoalScene& scene) {
  if (!scene.Patch() || !(run.random.Uniform() > m.Inhib)) return goal::NoGoal;
  scene.EnsurePatchElement(run, m);
  return GoalOfKind(scene.Patch()->Kind);
}

double Expectation(Run& run, TMaus& m, goal::Goal kind, GoalScene& scene) {
  if (kind == NoticedKind(run, m, scene)) return 1;
  if (ResourceGoal(kind)) return MeanProgressOfUsablePlaces(run, m, kind);
  if (kind == goal::Friend || kind == goal::HelpRequest) return MeanFriendshipInView(run, m);
  return 0;
}

}  // namespace

double GoalExpectation(Run& run, TMaus& m, goal::Goal kind) {
  GoalScene scene(run, m);
  return Expectation(run, m, kind, scene);
}

Opportunity WhatIsHere(Run& run, TMaus& m) {
  return WhatIsOn(run, m, PatchUnder(run, m));
}

TTerra* PatchUnder(const Run& run, TMaus& m) {
  const TInside& inside = run.World->Inside();
  if (!run.Busy) return inside.TerraAt(m.Position.x, m.Position.y);
  TMaus::PatchMemo& memo = m.PatchHere;
  if (memo.tick != run.TickSerial || !(memo.at == m.Position))
    memo = {m.Position, run.TickSerial, inside.TerraAt(m.Position.x, m.Position.y)};
  return memo.patch;
}

void ChangeIntention(Run& run, TMaus& m, int reason) {
  m.TargetLoc = {};
  ClearTargets(m);
  m.KeepConsuming = false;
  m.Plan.clear();
  m.PrevGoal = m.Goal;
  Log(run, m, 4,
      [&] { return std::string("Change of Intention! New Goal: ") + GoalNames[m.Goal]; });
  run.Stats.Slot(reason) += 1;
}

}  // namespace murinex

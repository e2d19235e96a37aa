#include "agent/intention.h"

#include <algorithm>

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

}  // namespace

std::uint8_t ChooseGoal(Run& run, TMaus& m) {
  const double comp0 = m.Comp().Ist;
  double best = 0.2;
  m.Need = need::NoNeed;
  for (int i = 0; i < need::Count; ++i) {
    if (m.Motives[i].Urgency > best) {
      best = m.Motives[i].Urgency;
      m.Need = static_cast<std::uint8_t>(i);
    }
  }
  double value = 0.2, hysteresis = 0;
  if (m.Goal != goal::NoGoal) {
    TGoalMemEl& el = FindElement(m.GoalMemory, run.settings, m.Goal);
    el.Expectation = GoalExpectation(run, m, m.Goal);
    value = GoalValue(m, el, comp0);
    hysteresis = m.KeepConsuming ? m.Inhib * 2 * 0.5 : m.Inhib * 0.5;
  }
  std::uint8_t chosen = m.Goal;
  // Elements that the walk itself creates are not weighed in this call.
  const std::size_t count = m.GoalMemory.size();
  for (std::size_t k = 0; k < count; ++k) {
    TGoalMemEl& el = *m.GoalMemory[k];
    if (m.Goal != goal::NoGoal && el.GoalKind == m.Goal) continue;
    el.Expectation = GoalExpectation(run, m, el.GoalKind);
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

bool ResourceGoal(std::uint8_t kind) {
  return kind == goal::Food || kind == goal::Water || kind == goal::Vorarazav ||
         kind == goal::HealingHerbs;
}

double MeanProgressOfUsablePlaces(Run& run, TMaus& m, std::uint8_t kind) {
  double sum = 0;
  int count = 0;
  const std::size_t places = m.GoalLocations.size();
  for (std::size_t i = 0; i < places; ++i) {
    TGoalAvLoc& place = *m.GoalLocations[i];
    if (place.Kind() != kind || !LocUsable(run, m, place)) continue;
    sum += place.Progress;
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
    if (std::find(m.SeenFriends.begin(), m.SeenFriends.end(), e.OtherMaus) == m.SeenFriends.end())
      continue;
    sum += e.Friendship;
    count += 1;
  }
  return count > 0 ? sum / count : 0;
}

}  // namespace

double GoalExpectation(Run& run, TMaus& m, std::uint8_t kind) {
  const Opportunity here = WhatIsHere(run, m);
  if (kind == here.kind) return 1;
  if (ResourceGoal(kind)) return MeanProgressOfUsablePlaces(run, m, kind);
  if (kind == goal::Friend || kind == goal::HelpRequest) return MeanFriendshipInView(run, m);
  return 0;
}

Opportunity WhatIsHere(Run& run, TMaus& m) {
  TTerra* patch = run.World->Inside().TerraAt(m.Position.x, m.Position.y);
  if (patch && run.random.Uniform() > m.Inhib)
    return {patch->Kind, patch, BestNeedOf(run, m, patch->Kind)};
  return {0, run.FirstTerra(), 0};
}

void ChangeIntention(Run& run, TMaus& m, int reason) {
  m.TargetLoc.reset();
  ClearTargets(m);
  m.KeepConsuming = false;
  m.Plan.clear();
  m.PrevGoal = m.Goal;
  Log(run, m, 4,
      [&] { return std::string("Change of Intention! New Goal: ") + GoalNames[m.Goal]; });
  run.Stats.Slot(reason) += 1;
}

}  // namespace murinex

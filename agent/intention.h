#pragma once

// The intention: which need dominates, which goal is worth most given what
// the mouse expects to find, what lies under its feet, and what a change of
// intention drops.

#include <cstdint>

#include "agent/names.h"

namespace murinex {

class Run;
class TMaus;
struct TTerra;

// The goal worth most now (also sets the dominant need).
goal::Goal ChooseGoal(Run& run, TMaus& m);
// How likely the mouse thinks it is to reach a goal of this kind.
double GoalExpectation(Run& run, TMaus& m, goal::Goal kind);

// What the mouse notices on the ground under it.
struct Opportunity {
  goal::Goal kind = goal::NoGoal;
  TTerra* patch = nullptr;
  need::Need need = need::NoNeed;
};
Opportunity WhatIsHere(Run& run, TMaus& m);
// The patch under the mouse (none off the patches). Within a tick the answer
// is kept until the mouse moves: the raster does not change while a tick runs.
TTerra* PatchUnder(const Run& run, TMaus& m);

// Drops the current targets and plan; reason is the statistics column counted.
void ChangeIntention(Run& run, TMaus& m, int reason);

}  // namespace murinex

#pragma once

#include <cstdint>
#include <memory>

#include "agent/maus.h"

namespace murinex {

class Run;
struct TTerra;

// The first phase of a mouse's tick: private clocks advance, the mouse looks
// around, weighs danger against backing and decides its social intention,
// which it leaves in its flags for the action step.
void Perceive(Run& run, TMaus& m);

// Fills the four seen lists with the other mice within depth and width of heading.
void LookForNeighbours(Run& run, TMaus& m, double heading, double width, double depth);
TValueDir ComputeThreat(const Run& run, const TMaus& m);
TValueDir ComputeSupport(const Run& run, const TMaus& m);
double Courage(const TMaus& m);
bool Engaged(const TMaus& m);
// The first other mouse in list order closer than 25 within the view of heading.
TMaus* CloseMouse(const Run& run, const TMaus& m, double heading);
bool CompetitorClose(const TMaus& m, double heading);
TMaus* HeardHelpCry(Run& run, TMaus& m);
// Whether the other mouse is open for contact; lowers the mouse's affiliation.
bool WillingForContact(TMaus& m, const TMaus& other);
// The goal worth most now (also sets the dominant need).
std::uint8_t ChooseGoal(Run& run, TMaus& m);
double GoalExpectation(Run& run, TMaus& m, std::uint8_t kind);

// What the mouse notices on the ground under it.
struct Opportunity {
  std::uint8_t kind = 0;
  TTerra* patch = nullptr;
  std::uint8_t need = 0;
};
Opportunity WhatIsHere(Run& run, TMaus& m);

// Drops the current targets and plan; reason is the statistics column counted.
void ChangeIntention(Run& run, TMaus& m, int reason);

// The child's genome mixed from both parents, gene by gene, with mutation.
std::unique_ptr<TGenom> MakeEmbryo(Run& run, const TMaus& mother, const TMaus& father,
                                   double mutationRate);

inline constexpr double CloseDistance = 25;

}  // namespace murinex

#pragma once

#include "agent/maus.h"

namespace murinex {

class Run;

// The first phase of a mouse's tick: private clocks advance, the mouse looks
// around, weighs danger against backing and decides its social intention,
// which it leaves in its flags for the action step.
void Perceive(Run& run, TMaus& m);

TValueDir ComputeThreat(const Run& run, const TMaus& m);
TValueDir ComputeSupport(const Run& run, const TMaus& m);
double Courage(const TMaus& m);
bool Engaged(const TMaus& m);
// Whether the other mouse is open for contact; lowers the mouse's affiliation.
bool WillingForContact(TMaus& m, const TMaus& other);
}  // namespace murinex

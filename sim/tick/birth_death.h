#pragma once

#include <cstdint>

namespace murinex {

class Run;
class TMaus;

// Counts the hunger, thirst and pain reserves down or up; returns the need
// that killed the mouse (1 hunger, 2 thirst, 3 pain) or 0.
int DeathTest(TMaus& m);

// A pregnant mouse whose time has come gives birth next to itself, if there is
// a free place; the child joins the end of the list.
void Birth(Run& run, TMaus& mother);

// The child's share of its mother's memory: all goal elements, and each final
// place (with the route leading to it) with probability p.
void InheritMemory(Run& run, const TMaus& mother, TMaus& child, double p);

}  // namespace murinex

#pragma once

#include "agent/maus.h"

namespace murinex {

class Run;

// The second phase of a mouse's tick: the intention left by perception becomes
// one action (reacting to a bite or to fear, a tender contact, a help mission,
// a competence attack), or the mouse uses what lies under it.
void Manipulate(Run& run, TMaus& m);

// The nearest mouse of the list that the mouse dislikes, or none.
TMaus* NearestEnemy(const Run& run, const TMaus& m, const TMausRefs& list);
// The mouse of the list whose hunger, thirst or pain is most urgent, or none.
TMaus* NeediestFriend(const Run& run, const TMausRefs& list);

}  // namespace murinex

#pragma once

#include <string>

namespace murinex {

class Run;

// After a tick: every real of every mouse and patch must be a finite number
// and no counter may be about to overflow. Otherwise an InputError names the
// tick, the mouse or patch and the field, so a run stops before any protocol
// or dump holds "nan" or "inf".
void CheckRunState(const Run& run);

// Before a tick: the tick counter must have room for one more.
void CheckTickRoom(const Run& run);

}  // namespace murinex

#pragma once

#include <cstdint>
#include <unordered_map>

#include "model/run.h"

namespace murinex {

class StateReader;
class StateWriter;
class TMaus;

namespace checkpoint {

// The position of every mouse in the run's list.
using MouseIndex = std::unordered_map<const TMaus*, std::int64_t>;
MouseIndex IndexMice(const TMausList& mice);
// The position of a mouse of the run, -1 for none; `m` is the mouse that refers to it.
std::int64_t IndexOfMouse(const MouseIndex& index, const TMaus* other, const TMaus& m);
// The mouse at the position read next, none for -1.
TMaus* MouseAt(StateReader& in, const TMausList& mice, const char* what);

// Every field of one mouse, its places and its links to other mice.
void SaveMouse(StateWriter& out, const MouseIndex& index, const TMaus& m);
// Fills a new mouse; the other mice of the list exist already (they may still be empty).
void LoadMouse(StateReader& in, const TMausList& mice, TMaus& m);

}  // namespace checkpoint
}  // namespace murinex

#pragma once

#include <cstdint>
#include <unordered_map>

#include "model/run.h"

namespace murinex {

class StateReader;
class StateWriter;
class TMaus;

namespace checkpoint {

// The position of every mouse in the run's list, by the mouse's handle.
class MouseIndex {
 public:
  explicit MouseIndex(const TMausList& mice);
  // The position of the mouse a handle names, -1 for none or a mouse that died.
  std::int64_t Of(MouseHandle handle) const;

 private:
  static std::uint64_t Key(MouseHandle h) { return std::uint64_t{h.slot} << 32 | h.generation; }
  std::unordered_map<std::uint64_t, std::int64_t> positions_;
};
// The handle of the mouse at the position read next, none for -1.
MouseHandle MouseAt(StateReader& in, const TMausList& mice, const char* what);

// Every field of one mouse, its places and its links to other mice.
void SaveMouse(StateWriter& out, const MouseIndex& index, const TMaus& m);
// Fills a new mouse; the other mice of the list exist already (they may still be empty).
void LoadMouse(StateReader& in, const TMausList& mice, TMaus& m);

}  // namespace checkpoint
}  // namespace murinex

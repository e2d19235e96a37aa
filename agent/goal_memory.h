#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "agent/names.h"
#include "world/geometry.h"

namespace murinex {

struct Settings;

// What reaching one goal kind does to each need of a mouse.
struct TGoalMemEl {
  goal::Goal GoalKind = goal::NoGoal;
  std::array<double, need::Count> Values{};  // index = need
  double Expectation = 0;                    // availability estimate, rewritten by the intention
};

// One element per goal kind met, in order of creation; the mouse owns them and
// places refer to them for as long as the mouse lives.
using TGoalMemory = std::vector<std::unique_ptr<TGoalMemEl>>;

// Names a place in its mouse's PlaceList (agent/place_list.h): a slot of the
// pool and the generation of the place in it.
struct PlaceHandle {
  static constexpr std::uint32_t NoSlot = UINT32_MAX;
  std::uint32_t slot = NoSlot;
  std::uint32_t generation = 0;

  explicit operator bool() const { return slot != NoSlot; }
  bool operator==(const PlaceHandle&) const = default;
};

// A remembered place: a goal found ('+'), a painful place ('-') or a waypoint
// of a route ('0').
struct TGoalAvLoc {
  TGoalMemEl* Element = nullptr;  // the goal kind served; an element of the same mouse
  double Quality = 0;
  char Sign = 0;
  // Index of Next in the list; -1 for a final place, -2 once Next was deleted.
  std::int32_t NextIndex = -1;
  TPoint Pos;
  // The next place towards the goal; always the place at NextIndex when that is >= 0.
  PlaceHandle Next;
  double Retention = 0;
  std::int32_t LastRecall = 0;
  double Progress = 0;

  goal::Goal Kind() const { return Element ? Element->GoalKind : goal::NoGoal; }
};

class PlaceList;

// The element of a kind, created from the goal-need matrix when missing.
TGoalMemEl& FindElement(TGoalMemory& memory, const Settings& settings, goal::Goal kind);
TGoalMemEl& NewElement(TGoalMemory& memory, const Settings& settings, goal::Goal kind);

// Removes the place at index and repairs the links of the places after it.
void DeleteLoc(PlaceList& places, std::size_t index);
// Deletes every place whose Retention is at or below ForgottenRetention.
void PurgeLocs(PlaceList& places);

inline constexpr double ForgottenRetention = 1e-10;

}  // namespace murinex

#pragma once

// A mouse's remembered places grouped for the scans that run many times a tick:
// by goal kind with their positions inline (goal weighing), and the places a
// danger check has to visit. Bookkeeping only, never part of the mouse's state:
// it is rebuilt from the list whenever the list has changed.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "agent/goal_memory.h"
#include "agent/place_list.h"

namespace murinex {

class PlaceIndex {
 public:
  struct Entry {
    TGoalAvLoc* place;
    TPoint pos;
  };

  // Brings the index up to date with `places`. Only the list's version is
  // compared: a place keeps its kind, sign, position and link for as long as it
  // is listed (a deletion repairs links, and changes the list).
  void Update(PlaceList& places) {
    if (places.Version() != version_) Rebuild(places);
  }

  // The places of a goal kind, in list order.
  std::span<const Entry> Of(goal::Goal kind) const;
  // List indices, ascending, of the places where a danger check may draw: a
  // painful stone place, or a waypoint with a next place to recall. Any other
  // place ends the check without a draw.
  std::span<const std::uint32_t> DangerCandidates() const { return danger_; }

 private:
  // Goal kinds are below goal::Count; anything else shares the last bucket.
  static constexpr std::size_t Buckets = 16;
  static std::size_t Bucket(goal::Goal kind);
  void Rebuild(PlaceList& places);

  // The version of the list the index was built from. A place is freed only
  // after it has left the list, which changes the version, so the pointers
  // below never outlive their places.
  std::uint64_t version_ = UINT64_MAX;
  std::vector<Entry> entries_;
  std::array<std::uint32_t, Buckets + 1> start_{};
  std::vector<std::uint32_t> danger_;
};

}  // namespace murinex

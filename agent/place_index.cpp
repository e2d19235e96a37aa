#include "agent/place_index.h"

#include <algorithm>

#include "agent/names.h"

namespace murinex {

std::size_t PlaceIndex::Bucket(goal::Goal kind) {
  return std::min<std::size_t>(kind, Buckets - 1);
}

std::span<const PlaceIndex::Entry> PlaceIndex::Of(goal::Goal kind) const {
  const std::size_t k = Bucket(kind);
  return {entries_.data() + start_[k], entries_.data() + start_[k + 1]};
}

void PlaceIndex::Rebuild(PlaceList& places) {
  version_ = places.Version();
  std::array<std::uint32_t, Buckets + 1> next{};
  for (const TGoalAvLoc& place : places)
    next[Bucket(place.Kind()) + 1] += 1;
  for (std::size_t k = 1; k < next.size(); ++k)
    next[k] += next[k - 1];
  start_ = next;
  entries_.resize(places.size());
  danger_.clear();
  for (std::size_t i = 0; i < places.size(); ++i) {
    TGoalAvLoc& place = places[i];
    entries_[next[Bucket(place.Kind())]++] = {&place, place.Pos};
    if ((place.Kind() == goal::Stones && place.Sign == '-') || place.Next)
      danger_.push_back(static_cast<std::uint32_t>(i));
  }
}

}  // namespace murinex

#include "agent/place_list.h"

#include <algorithm>
#include <stdexcept>

namespace murinex {

namespace {

// Below this many places out of the list since the last sweep, a sweep waits.
constexpr std::uint32_t SweepAfter = 32;

}  // namespace

PlaceList::PlaceList() : version_(0) {}
PlaceList::~PlaceList() = default;
PlaceList::PlaceList(PlaceList&& other) noexcept : version_(0) {
  *this = std::move(other);
}

PlaceList& PlaceList::operator=(PlaceList&& other) noexcept {
  // A new list under a version this one had before would pass for it.
  const std::uint64_t version = std::max(version_, other.version_) + 1;
  list_ = std::move(other.list_);
  blocks_ = std::move(other.blocks_);
  free_ = std::move(other.free_);
  slotsUsed_ = other.slotsUsed_;
  unlisted_ = other.unlisted_;
  version_ = version;
  other.list_.clear();
  other.blocks_.clear();
  other.free_.clear();
  other.slotsUsed_ = 0;
  other.unlisted_ = 0;
  return *this;
}

std::int32_t PlaceList::IndexOf(PlaceHandle handle) const {
  const auto at = std::find(list_.begin(), list_.end(), handle);
  return at == list_.end() ? -1 : static_cast<std::int32_t>(at - list_.begin());
}

void PlaceList::Append(PlaceHandle handle) {
  At(handle);  // throws for a handle that names nothing
  list_.push_back(handle);
  ++version_;
}

void PlaceList::Erase(std::size_t index) {
  list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(index));
  ++unlisted_;
  ++version_;
}

void PlaceList::Clear() {
  unlisted_ += static_cast<std::uint32_t>(list_.size());
  list_.clear();
  ++version_;
}

PlaceHandle PlaceList::New() {
  std::uint32_t slot;
  if (!free_.empty()) {
    slot = free_.back();
    free_.pop_back();
  } else {
    if (slotsUsed_ == blocks_.size() * BlockSize) blocks_.push_back(std::make_unique<Block>());
    slot = slotsUsed_++;
  }
  PlaceSlot& s = Slot(slot);
  s.place = TGoalAvLoc{};
  s.held = true;
  return {slot, s.generation};
}

void PlaceList::NoPlace() {
  throw std::logic_error("a place handle names no place of this mouse");
}

void PlaceList::Free(std::uint32_t slot) {
  PlaceSlot& s = Slot(slot);
  s.held = false;
  ++s.generation;
  free_.push_back(slot);
}

void PlaceList::Sweep(std::span<const PlaceHandle> roots) {
  if (unlisted_ < SweepAfter) return;
  std::vector<bool> reached(slotsUsed_, false);
  std::vector<PlaceHandle> todo(list_.begin(), list_.end());
  todo.insert(todo.end(), roots.begin(), roots.end());
  while (!todo.empty()) {
    const PlaceHandle h = todo.back();
    todo.pop_back();
    const TGoalAvLoc* place = Find(h);
    if (!place || reached[h.slot]) continue;
    reached[h.slot] = true;
    todo.push_back(place->Next);
  }
  for (std::uint32_t slot = 0; slot < slotsUsed_; ++slot)
    if (Slot(slot).held && !reached[slot]) Free(slot);
  unlisted_ = 0;
}

}  // namespace murinex

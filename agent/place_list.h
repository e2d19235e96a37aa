#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "agent/goal_memory.h"

namespace murinex {

// A mouse's remembered places: a pool of slots, each holding one place, and
// the list, the order in which the mouse knows them.
//
// A place leaves the list when it is forgotten, but it stays in its slot while
// the mouse still heads for it, rates it or reaches it as another place's Next;
// Sweep frees the slots nothing reaches any more. A handle names a slot and the
// generation of its place, so a handle kept past its place's end finds nothing
// instead of a newer place in the same slot.
//
// Slots come in blocks that never move, so a reference to a place stays good
// until a sweep frees it; sweeps run only between ticks.
class PlaceList {
 public:
  PlaceList();
  ~PlaceList();
  PlaceList(PlaceList&&) noexcept;
  PlaceList& operator=(PlaceList&&) noexcept;

  // The list.
  std::size_t size() const { return list_.size(); }
  bool empty() const { return list_.empty(); }
  TGoalAvLoc& operator[](std::size_t index) { return Slot(list_[index].slot).place; }
  const TGoalAvLoc& operator[](std::size_t index) const { return Slot(list_[index].slot).place; }
  PlaceHandle HandleAt(std::size_t index) const { return list_[index]; }
  std::span<const PlaceHandle> Handles() const { return list_; }
  // The position of a place in the list, or -1.
  std::int32_t IndexOf(PlaceHandle handle) const;
  // Lists a place of the pool at the end; it must not be listed already.
  void Append(PlaceHandle handle);
  // Takes the place at index out of the list; its slot stays until a sweep.
  void Erase(std::size_t index);
  // Empties the list; its places stay in the pool until a sweep.
  void Clear();
  // Changes whenever the list does: equal versions mean an equal list.
  std::uint64_t Version() const { return version_; }

  template <class List, class Place>
  class Iterator {
   public:
    Iterator(List* list, const PlaceHandle* at) : list_(list), at_(at) {}
    Place& operator*() const { return list_->Slot(at_->slot).place; }
    Place* operator->() const { return &**this; }
    Iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    List* list_;
    const PlaceHandle* at_;
  };
  using iterator = Iterator<PlaceList, TGoalAvLoc>;
  using const_iterator = Iterator<const PlaceList, const TGoalAvLoc>;
  iterator begin() { return {this, list_.data()}; }
  iterator end() { return {this, list_.data() + list_.size()}; }
  const_iterator begin() const { return {this, list_.data()}; }
  const_iterator end() const { return {this, list_.data() + list_.size()}; }

  // The pool.
  // A new place with every field zero, in the pool but not in the list.
  PlaceHandle New();
  // The place a handle names, or nullptr for no handle or a freed place.
  const TGoalAvLoc* Find(PlaceHandle handle) const {
    if (handle.slot >= slotsUsed_) return nullptr;
    const PlaceSlot& s = Slot(handle.slot);
    return s.held && s.generation == handle.generation ? &s.place : nullptr;
  }
  TGoalAvLoc* Find(PlaceHandle handle) {
    return const_cast<TGoalAvLoc*>(std::as_const(*this).Find(handle));
  }
  // The place a handle names; throws std::logic_error when it names none.
  const TGoalAvLoc& At(PlaceHandle handle) const {
    if (const TGoalAvLoc* place = Find(handle)) return *place;
    NoPlace();
  }
  TGoalAvLoc& At(PlaceHandle handle) {
    return const_cast<TGoalAvLoc&>(std::as_const(*this).At(handle));
  }
  // The place of a handle the list's own bookkeeping keeps valid: a link of a
  // place reached from the list or from a target. Only the validation build
  // checks it; the route walks run many times a tick.
  TGoalAvLoc& Linked(PlaceHandle handle) {
#ifdef MURINEX_VALIDATE
    return At(handle);
#else
    return Slot(handle.slot).place;
#endif
  }
  // Frees every place that is neither listed nor reachable from `roots`
  // through Next links. Cheap to call when little has left the list.
  void Sweep(std::span<const PlaceHandle> roots);
  // Places held in the pool, listed or not.
  std::size_t Held() const { return slotsUsed_ - free_.size(); }

 private:
  struct PlaceSlot {
    TGoalAvLoc place;
    std::uint32_t generation = 0;
    bool held = false;
  };
  static constexpr std::uint32_t BlockSize = 64;
  using Block = std::array<PlaceSlot, BlockSize>;

  PlaceSlot& Slot(std::uint32_t slot) { return (*blocks_[slot / BlockSize])[slot % BlockSize]; }
  const PlaceSlot& Slot(std::uint32_t slot) const {
    return (*blocks_[slot / BlockSize])[slot % BlockSize];
  }
  void Free(std::uint32_t slot);
  [[noreturn]] static void NoPlace();

  std::vector<PlaceHandle> list_;
  std::vector<std::unique_ptr<Block>> blocks_;
  std::vector<std::uint32_t> free_;
  std::uint32_t slotsUsed_ = 0;
  // Places taken out of the list since the last sweep; below a threshold a
  // sweep is not worth its walk.
  std::uint32_t unlisted_ = 0;
  std::uint64_t version_;
};

}  // namespace murinex

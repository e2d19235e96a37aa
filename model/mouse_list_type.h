#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace murinex {

class TMaus;

// How one mouse names another: a slot of the run's mouse list and the slot's
// generation when the mouse was put there. A mouse that died leaves its slot
// with a newer generation, so every handle to it finds nothing from then on,
// without anyone sweeping it; the default handle names no mouse.
struct MouseHandle {
  static constexpr std::uint32_t NoSlot = UINT32_MAX;
  std::uint32_t slot = NoSlot;
  std::uint32_t generation = 0;

  bool operator==(const MouseHandle&) const = default;
};

// The run's mice in their order of turns, owned, and the slots their handles
// name. Every way in (push_back, assignment of a new list) gives the mouse a
// handle; every way out (erase, clear) ends it. Defined in agent/mouse_list.cpp,
// where a mouse is a complete type.
class MouseList {
 public:
  using Owned = std::unique_ptr<TMaus>;
  using Storage = std::vector<Owned>;

  MouseList();
  ~MouseList();
  MouseList(MouseList&&) noexcept;
  MouseList& operator=(MouseList&&) noexcept;
  // Replaces every mouse; handles to the former ones find nothing.
  MouseList& operator=(Storage&& mice);

  std::size_t size() const { return mice_.size(); }
  bool empty() const { return mice_.empty(); }
  const Owned& operator[](std::size_t index) const { return mice_[index]; }
  const Owned& at(std::size_t index) const { return mice_.at(index); }
  const Owned& front() const { return mice_.front(); }
  const Owned& back() const { return mice_.back(); }
  Storage::const_iterator begin() const { return mice_.begin(); }
  Storage::const_iterator end() const { return mice_.end(); }

  void push_back(Owned mouse);
  void erase(std::size_t index);
  void clear();

  // The living mouse a handle names, or none.
  TMaus* Find(MouseHandle handle) const {
    if (handle.slot >= slots_.size()) return nullptr;
    const Slot& s = slots_[handle.slot];
    return s.generation == handle.generation ? s.mouse : nullptr;
  }

 private:
  struct Slot {
    TMaus* mouse = nullptr;  // the owner is mice_; null while the slot is free
    std::uint32_t generation = 0;
  };
  void Register(TMaus& mouse);
  void Release(const TMaus& mouse);

  Storage mice_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> freeSlots_;
};

}  // namespace murinex

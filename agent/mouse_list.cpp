#include "agent/mouse_list.h"

#include <algorithm>
#include <limits>

#include "agent/chart_lines.h"
#include "agent/maus.h"
#include "model/run.h"
#include "world/error.h"

namespace murinex {

// The run holds its mice by unique_ptr; they can only be destroyed where the
// mouse is a complete type, and a constructor must be able to destroy them too.
Run::Run(std::filesystem::path workDir) : WorkDir(std::move(workDir)) {}
Run::~Run() = default;

std::unique_ptr<TMaus> NewMaus(Run& run) {
  if (run.IdCounter == std::numeric_limits<std::int32_t>::max())
    throw InputError("", 0,
                     "tick " + std::to_string(run.TickCount) +
                         ": no ID is left for a new mouse (the largest integer is taken)");
  run.IdCounter += 1;
  auto mouse = std::make_unique<TMaus>(run.IdCounter);
  BindLines(run, *mouse);
  return mouse;
}

TMaus* MausById(const Run& run, std::int32_t id) {
  for (const auto& m : run.Mice)
    if (m->ID == id) return m.get();
  return nullptr;
}

MouseList::MouseList() = default;
MouseList::~MouseList() = default;
MouseList::MouseList(MouseList&&) noexcept = default;
MouseList& MouseList::operator=(MouseList&&) noexcept = default;

MouseList& MouseList::operator=(Storage&& mice) {
  clear();
  mice_ = std::move(mice);
  for (const Owned& m : mice_)
    Register(*m);
  return *this;
}

void MouseList::push_back(Owned mouse) {
  Register(*mouse);
  mice_.push_back(std::move(mouse));
}

void MouseList::erase(std::size_t index) {
  Release(*mice_.at(index));
  mice_.erase(mice_.begin() + static_cast<std::ptrdiff_t>(index));
}

void MouseList::clear() {
  for (const Owned& m : mice_)
    Release(*m);
  mice_.clear();
}

void MouseList::Register(TMaus& mouse) {
  std::uint32_t slot;
  if (!freeSlots_.empty()) {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    slot = static_cast<std::uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  slots_[slot].mouse = &mouse;
  mouse.Handle = {slot, slots_[slot].generation};
}

void MouseList::Release(const TMaus& mouse) {
  Slot& s = slots_.at(mouse.Handle.slot);
  s.mouse = nullptr;
  s.generation += 1;
  freeSlots_.push_back(mouse.Handle.slot);
}

namespace {

void Forget(TMausRefs& list, MouseHandle gone) {
  list.erase(std::remove(list.begin(), list.end(), gone), list.end());
}

// Partner, Competitor and Miserablemaus find nothing once their mouse is gone;
// the lists must lose it, since their lengths count (a relation is dumped, a
// seen list is counted and averaged over).
void ForgetInLists(TMaus& m, MouseHandle gone) {
  auto& rel = m.Relations;
  rel.erase(
      std::remove_if(rel.begin(), rel.end(), [gone](const TFrinEn& e) { return e.Other == gone; }),
      rel.end());
  // The seen lists are refilled by each look-around, but a mouse that skips
  // its look-around would keep the dead one there.
  Forget(m.SeenMice, gone);
  Forget(m.SeenFriends, gone);
  Forget(m.SeenEnemies, gone);
  Forget(m.SeenStrangers, gone);
}

}  // namespace

void RemoveMaus(Run& run, std::size_t index) {
  const MouseHandle gone = run.Mice.at(index)->Handle;
  for (const auto& m : run.Mice)
    ForgetInLists(*m, gone);
  // The window that shows the picked mouse learns of its death from the count of changes.
  if (run.SelectedMaus == gone) run.SelectMaus({});
  run.Mice.erase(index);
}

}  // namespace murinex

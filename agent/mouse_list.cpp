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

namespace {

void Forget(TMausRefs& list, const TMaus* gone) {
  list.erase(std::remove(list.begin(), list.end(), gone), list.end());
}

// Every non-owning reference that m may hold to the mouse gone.
void ClearReferences(TMaus& m, const TMaus* gone) {
  auto& rel = m.Relations;
  rel.erase(std::remove_if(rel.begin(), rel.end(),
                           [gone](const TFrinEn& e) { return e.OtherMaus == gone; }),
            rel.end());
  if (m.Partner == gone) m.Partner = nullptr;
  if (m.Competitor == gone) m.Competitor = nullptr;
  if (m.Miserablemaus == gone) m.Miserablemaus = nullptr;
  // The seen lists are refilled by each look-around, but a mouse that skips
  // its look-around would keep the dead one there.
  Forget(m.SeenMice, gone);
  Forget(m.SeenFriends, gone);
  Forget(m.SeenEnemies, gone);
  Forget(m.SeenStrangers, gone);
}

}  // namespace

void RemoveMaus(Run& run, std::size_t index) {
  TMaus* gone = run.Mice.at(index).get();
  for (auto& m : run.Mice)
    ClearReferences(*m, gone);
  if (run.SelectedMaus == gone) run.SelectMaus(nullptr);
  run.Mice.erase(run.Mice.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace murinex

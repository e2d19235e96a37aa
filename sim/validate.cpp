#include "sim/validate.h"

#include <algorithm>
#include <unordered_set>

#include "agent/maus.h"
#include "model/run.h"

namespace murinex {

namespace {

using LivingSet = std::unordered_set<const TMaus*>;

[[noreturn]] void Broken(const TMaus* m, const std::string& what) {
  const std::string who = m ? "mouse " + std::to_string(m->ID) + ": " : "";
  throw InvariantError("invariant broken: " + who + what);
}

void CheckMouseRef(const LivingSet& living, const TMaus& m, const TMaus* ref, const char* name) {
  if (ref && !living.count(ref)) Broken(&m, std::string(name) + " names a mouse no longer alive");
}

void CheckSeenList(const LivingSet& living, const TMaus& m, const TMausRefs& list,
                   const char* name) {
  for (const TMaus* o : list) {
    if (!o || !living.count(o)) Broken(&m, std::string(name) + " holds a mouse no longer alive");
    if (o == &m) Broken(&m, std::string(name) + " holds the mouse itself");
  }
}

void CheckRelations(const LivingSet& living, const TMaus& m) {
  for (const TFrinEn& e : m.Relations) {
    if (!e.OtherMaus) continue;
    if (!living.count(e.OtherMaus)) Broken(&m, "a relation names a mouse no longer alive");
    if (e.OtherMaus->ID != e.OtherID)
      Broken(&m, "relation to " + std::to_string(e.OtherID) + " links mouse " +
                     std::to_string(e.OtherMaus->ID));
  }
}

bool OwnElement(const TMaus& m, const TGoalMemEl* element) {
  return std::any_of(m.GoalMemory.begin(), m.GoalMemory.end(),
                     [element](const auto& el) { return el.get() == element; });
}

// A waypoint leads to an earlier place of the same list, and its link and its
// index name the same place.
void CheckPlaces(const TMaus& m) {
  const TGoalLocList& places = m.GoalLocations;
  for (std::size_t i = 0; i < places.size(); ++i) {
    const TGoalAvLoc& place = *places[i];
    const std::string row = "place " + std::to_string(i);
    if (place.Element && !OwnElement(m, place.Element))
      Broken(&m, row + " serves a goal element of another mouse");
    if (place.NextIndex >= static_cast<std::int32_t>(i))
      Broken(&m, row + " leads to a later place (" + std::to_string(place.NextIndex) + ")");
    if (place.NextIndex >= 0 && place.Next.get() != places[place.NextIndex].get())
      Broken(&m, row + ": its link does not name place " + std::to_string(place.NextIndex));
    if (place.NextIndex < 0 && place.Next) Broken(&m, row + " has a link but no index");
  }
}

void CheckMouse(const Run& run, const LivingSet& living, const TMaus& m) {
  if (m.ID > run.IdCounter) Broken(&m, "ID above the ID counter");
  CheckMouseRef(living, m, m.Partner, "Partner");
  CheckMouseRef(living, m, m.Competitor, "Competitor");
  CheckMouseRef(living, m, m.Miserablemaus, "Miserablemaus");
  CheckSeenList(living, m, m.SeenMice, "SeenMice");
  CheckSeenList(living, m, m.SeenFriends, "SeenFriends");
  CheckSeenList(living, m, m.SeenEnemies, "SeenEnemies");
  CheckSeenList(living, m, m.SeenStrangers, "SeenStrangers");
  CheckRelations(living, m);
  CheckPlaces(m);
  if (!m.Genom) Broken(&m, "no genome");
  if (!m.Lines) Broken(&m, "no chart lines");
}

}  // namespace

void CheckInvariants(const Run& run) {
  LivingSet living;
  std::unordered_set<std::int32_t> ids;
  for (const auto& m : run.Mice) {
    if (!m) Broken(nullptr, "an empty slot in the list of mice");
    living.insert(m.get());
    if (!ids.insert(m->ID).second) Broken(m.get(), "two living mice share this ID");
  }
  for (const auto& m : run.Mice)
    CheckMouse(run, living, *m);
  if (run.SelectedMaus && !living.count(run.SelectedMaus))
    Broken(nullptr, "the picked mouse is no longer alive");
  if (run.Busy) Broken(nullptr, "the run is still marked busy between ticks");
  if (run.Births < 0 || std::any_of(std::begin(run.DeathsBy), std::end(run.DeathsBy),
                                    [](std::int64_t d) { return d < 0; }))
    Broken(nullptr, "a negative count of births or deaths");
}

}  // namespace murinex

#include "sim/checks/validation_build.h"

#include <algorithm>
#include <unordered_set>

#include "agent/maus.h"
#include "model/run.h"

namespace murinex {

namespace {

[[noreturn]] void Broken(const TMaus* m, const std::string& what) {
  const std::string who = m ? "mouse " + std::to_string(m->ID) + ": " : "";
  throw InvariantError("invariant broken: " + who + what);
}

// A handle of Partner, Competitor or Miserablemaus may name a mouse that has
// died (it then finds nothing); the seen lists and relations lose the dead.
void CheckSeenList(const Run& run, const TMaus& m, const TMausRefs& list, const char* name) {
  for (MouseHandle handle : list) {
    const TMaus* o = run.Mice.Find(handle);
    if (!o) Broken(&m, std::string(name) + " holds a mouse no longer alive");
    if (o == &m) Broken(&m, std::string(name) + " holds the mouse itself");
  }
}

void CheckRelations(const Run& run, const TMaus& m) {
  for (const TFrinEn& e : m.Relations) {
    if (e.Other == MouseHandle{}) continue;
    const TMaus* o = run.Mice.Find(e.Other);
    if (!o) Broken(&m, "a relation names a mouse no longer alive");
    if (o->ID != e.OtherID)
      Broken(&m,
             "relation to " + std::to_string(e.OtherID) + " links mouse " + std::to_string(o->ID));
  }
}

bool OwnElement(const TMaus& m, const TGoalMemEl* element) {
  return std::any_of(m.GoalMemory.begin(), m.GoalMemory.end(),
                     [element](const auto& el) { return el.get() == element; });
}

// Every handle names a place of the pool; a waypoint leads to an earlier place
// of the same list, and its link and its index name the same place.
void CheckPlaces(const TMaus& m) {
  const PlaceList& places = m.GoalLocations;
  if (!places.Find(m.ExploreTarget)) Broken(&m, "its exploration target is gone");
  if (m.TargetLoc && !places.Find(m.TargetLoc)) Broken(&m, "its TargetLoc names no place");
  if (m.RatedLoc && !places.Find(m.RatedLoc)) Broken(&m, "its RatedLoc names no place");
  for (std::size_t i = 0; i < places.size(); ++i) {
    const TGoalAvLoc& place = places[i];
    const std::string row = "place " + std::to_string(i);
    if (place.Element && !OwnElement(m, place.Element))
      Broken(&m, row + " serves a goal element of another mouse");
    if (place.NextIndex >= static_cast<std::int32_t>(i))
      Broken(&m, row + " leads to a later place (" + std::to_string(place.NextIndex) + ")");
    if (place.Next && !places.Find(place.Next)) Broken(&m, row + ": its link names no place");
    if (place.NextIndex >= 0 && place.Next != places.HandleAt(place.NextIndex))
      Broken(&m, row + ": its link does not name place " + std::to_string(place.NextIndex));
    if (place.NextIndex < 0 && place.Next) Broken(&m, row + " has a link but no index");
  }
}

void CheckMouse(const Run& run, const TMaus& m) {
  if (m.ID > run.IdCounter) Broken(&m, "ID above the ID counter");
  if (run.Mice.Find(m.Handle) != &m) Broken(&m, "its handle does not find it");
  CheckSeenList(run, m, m.SeenMice, "SeenMice");
  CheckSeenList(run, m, m.SeenFriends, "SeenFriends");
  CheckSeenList(run, m, m.SeenEnemies, "SeenEnemies");
  CheckSeenList(run, m, m.SeenStrangers, "SeenStrangers");
  CheckRelations(run, m);
  CheckPlaces(m);
  if (!m.Genom) Broken(&m, "no genome");
  if (!m.Lines) Broken(&m, "no chart lines");
}

}  // namespace

void CheckInvariants(const Run& run) {
  std::unordered_set<std::int32_t> ids;
  for (const auto& m : run.Mice) {
    if (!m) Broken(nullptr, "an empty slot in the list of mice");
    if (!ids.insert(m->ID).second) Broken(m.get(), "two living mice share this ID");
  }
  for (const auto& m : run.Mice)
    CheckMouse(run, *m);
  if (run.SelectedMaus != MouseHandle{} && !run.Selected())
    Broken(nullptr, "the picked mouse is no longer alive");
  if (run.Busy) Broken(nullptr, "the run is still marked busy between ticks");
  if (run.Births < 0 || std::any_of(std::begin(run.DeathsBy), std::end(run.DeathsBy),
                                    [](std::int64_t d) { return d < 0; }))
    Broken(nullptr, "a negative count of births or deaths");
}

}  // namespace murinex

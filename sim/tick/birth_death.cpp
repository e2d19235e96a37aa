#include "sim/tick/birth_death.h"

#include "agent/genome.h"
#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "agent/planning.h"
#include "model/run.h"
#include "sim/persistence/life_records.h"
#include "world/format.h"

namespace murinex {

int DeathTest(TMaus& m) {
  for (int n = need::Hunger; n <= need::Pain; ++n) {
    TMotiv& motive = m.Motives[n];
    if (motive.Ist < 0.1) {
      motive.Reserve -= 1;
    } else {
      if (motive.Ist > 0.5) motive.Reserve += 1;
      if (motive.Reserve > motive.MaxReserve) motive.Reserve = motive.MaxReserve;
    }
    m.Dying = motive.Reserve <= 0;
    if (m.Dying) return n;
  }
  return 0;
}

namespace {

constexpr double BirthDistance = 20;

// Nine tries around the mother, the last at the full turn, which probes the
// first point again.
bool FindBirthPlace(Run& run, TMaus& mother, TPoint& place) {
  double angle = 0;
  for (int attempt = 0; attempt < 9; ++attempt) {
    const TPoint candidate = PolarOffset(mother.Position, angle, BirthDistance);
    const bool free = FreeStep(run, mother, mother.Position, candidate, false).free;
    angle = angle + Pi / 4;
    if (free) {
      place = candidate;
      return true;
    }
  }
  return false;
}

TGoalAvLoc& InheritedPlace(Run& run, const TMaus& mother, TMaus& child, const TGoalAvLoc& from,
                           TGoalMemEl& element) {
  const PlaceHandle handle = child.GoalLocations.New();
  TGoalAvLoc& place = child.GoalLocations.At(handle);
  place.Element = &element;
  place.Pos = from.Pos;
  place.Retention = MinReal(4 * mother.P(param::RateReinforce), 1);
  place.NextIndex = -1;
  place.Progress = 1.0;
  place.LastRecall = run.TickCount;
  child.GoalLocations.Append(handle);
  return place;
}

}  // namespace

void InheritMemory(Run& run, const TMaus& mother, TMaus& child, double p) {
  for (const auto& el : mother.GoalMemory)
    child.GoalMemory.push_back(std::make_unique<TGoalMemEl>(*el));
  const PlaceList& places = mother.GoalLocations;
  for (std::size_t j = 0; j < places.size(); ++j) {
    const TGoalAvLoc& final = places[j];
    if (final.NextIndex != -1) continue;
    if (!(run.random.Uniform() < p)) continue;
    TGoalMemEl& element = FindElement(child.GoalMemory, run.settings, final.Kind());
    TGoalAvLoc& end = InheritedPlace(run, mother, child, final, element);
    end.Quality = final.Quality;
    end.Sign = final.Sign;
    // The route that leads to it: its first branch, waypoint by waypoint.
    auto cur = static_cast<std::int32_t>(j);
    for (std::size_t k = j + 1; k < places.size(); ++k) {
      if (places[k].NextIndex != cur) continue;
      const PlaceHandle last = child.GoalLocations.HandleAt(child.GoalLocations.size() - 1);
      TGoalAvLoc& waypoint = InheritedPlace(run, mother, child, places[k], element);
      waypoint.Next = last;
      waypoint.NextIndex = static_cast<std::int32_t>(child.GoalLocations.size()) - 2;
      waypoint.Sign = '0';
      cur = static_cast<std::int32_t>(k);
    }
  }
}

void Birth(Run& run, TMaus& mother) {
  TPoint place;
  if (!FindBirthPlace(run, mother, place)) return;
  // The child joins the list first: its handle names it in its mother's relations.
  run.Mice.push_back(NewMaus(run));
  TMaus& c = *run.Mice.back();
  run.BirthLog.Write(FormatInt(run.TickCount, 8) + ":  " + FormatInt(mother.ID, 6) + " -> " +
                     FormatInt(c.ID, 6) + "\n");
  run.Stats.Add(stat::Birthrate, 1);
  run.Births += 1;
  InheritGenome(c, mother);
  UpdateRelation(c.Relations, mother, 1.0);
  UpdateRelation(mother.Relations, c, 1.0);
  mother.Pregnant() = 0;
  mother.Embryo.reset();
  c.SumWeights = 0;
  for (const TMotiv& motive : c.Motives)
    c.SumWeights += motive.Weight;
  c.Position = place;
  c.BirthTick = run.TickCount;
  c.MotherID = mother.ID;
  c.FatherID = mother.EmbryoFatherID;
  mother.EmbryoFatherID = 0;
  mother.Children += 1;
  InheritMemory(run, mother, c, mother.P(param::Carefactor));
  RecordBirth(run, mother, c);
}

}  // namespace murinex

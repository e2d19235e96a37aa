#include "sim/tick/tick.h"

#include <vector>

#include "agent/action.h"
#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "agent/movement.h"
#include "agent/perception.h"
#include "model/run.h"
#include "sim/checks/every_tick.h"
#include "sim/checks/validation_build.h"
#include "sim/persistence/life_records.h"
#include "sim/persistence/mouse_table.h"
#include "sim/persistence/population_files.h"
#include "sim/tick/birth_death.h"
#include "sim/tick/statistics.h"
#include "world/inside.h"
#include "world/terrain.h"

namespace murinex {

namespace {

// Clears the busy flag however the tick ends.
class BusyGuard {
 public:
  explicit BusyGuard(Run& run) : run_(run) {
    run_.Busy = true;
    run_.TickSerial += 1;
  }
  ~BusyGuard() { run_.Busy = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  Run& run_;
};

// The grid of mouse places for one pass, forgotten however the pass ends.
class PassGrid {
 public:
  explicit PassGrid(Run& run) : run_(run) {
    std::vector<TPoint> places;
    places.reserve(run.Mice.size());
    for (std::size_t i = 0; i < run.Mice.size(); ++i) {
      TMaus& m = *run.Mice[i];
      m.PassIndex = static_cast<std::uint32_t>(i);
      places.push_back(m.Position);
    }
    // Cells about as wide as a mouse sees.
    run.MouseGrid.Build(places, run.World->WorldWidth, run.World->WorldHeight, 128);
  }
  ~PassGrid() { run_.MouseGrid.Clear(); }
  PassGrid(const PassGrid&) = delete;
  PassGrid& operator=(const PassGrid&) = delete;

 private:
  Run& run_;
};

// Each pass visits the mice present when it starts, in list order. Only the
// mouse whose turn it is moves, so the grid knows where all others stand.
template <class Phase>
void EveryMouse(Run& run, Phase phase) {
  constexpr std::size_t PrefetchAhead = 4;
  const std::size_t n = run.Mice.size();
  PassGrid grid(run);
  for (std::size_t i = 0; i < PrefetchAhead && i < n; ++i)
    run.World->Inside().Prefetch(run.Mice[i]->Position);
  for (std::size_t i = 0; i < n; ++i) {
    TMaus& m = *run.Mice[i];
    // The patch under a mouse is read early in its turn: fetched a few turns
    // ahead, as short turns take less time than a fetch from memory.
    if (i + PrefetchAhead < n) run.World->Inside().Prefetch(run.Mice[i + PrefetchAhead]->Position);
    run.MouseGrid.Unsettle(static_cast<std::uint32_t>(i));
    phase(run, m);
    run.MouseGrid.Settle(static_cast<std::uint32_t>(i), m.Position);
  }
}

}  // namespace

std::vector<std::size_t> CollectTheDead(Run& run) {
  std::vector<std::size_t> dead;
  const std::size_t n = run.Mice.size();
  for (std::size_t i = 0; i < n; ++i) {
    TMaus& m = *run.Mice[i];
    const int cause = DeathTest(m);
    if (m.Dying) {
      m.DeathCause = static_cast<std::uint8_t>(cause);
      dead.push_back(i);
      run.Stats.Add(StatSums::DeathColumn(cause), 1);
      run.DeathsBy[cause] += 1;
    } else if (m.Age > run.settings.DeathAge() &&
               run.random.Uniform() < run.settings.DeathProbability()) {
      m.DeathCause = 4;
      dead.push_back(i);
      run.Stats.Add(stat::DAge, 1);
      run.DeathsBy[4] += 1;
    }
  }
  return dead;
}

void RemoveTheDead(Run& run, std::vector<std::size_t> dead) {
  for (std::size_t e = 0; e < dead.size(); ++e) {
    const std::size_t k = dead[e];
    run.Stats.Add(stat::LifeLength, run.Mice[k]->Age);
    RecordDeath(run, *run.Mice[k]);
    RemoveMaus(run, k);
    run.Stats.Add(stat::Deathrate, 1);
    for (std::size_t later = e + 1; later < dead.size(); ++later)
      if (dead[later] > k) dead[later] -= 1;
  }
}

void GiveBirths(Run& run) {
  const std::size_t n = run.Mice.size();
  for (std::size_t i = 0; i < n; ++i) {
    TMaus& m = *run.Mice[i];
    if (m.Pregnant() > 0 && !(m.BirthCountdown() > 0)) Birth(run, m);
  }
}

void WriteCadencedOutput(Run& run) {
  if (run.TickCount % run.model.StatisticsInterval == 0) {
    run.StatRowCount += 1;
    // The traits first: the row of the statistics flushes every file.
    RecordTraits(run);
    WriteStatRow(run);
  }
  if (run.TickCount % run.model.DumpInterval == 0) {
    DumpPopulation(run);
    DumpGenomes(run);
    run.DumpNumber += 1;
  }
  ObserveMiceIfDue(run);
}

namespace {

// The stages of one tick, in their order.
void RunStages(Run& run) {
  BusyGuard busy(run);
  CheckTickRoom(run);
  run.TickCount += 1;
  run.World->UpdateSeasons(run.TickCount);
  EveryMouse(run, Perceive);
  EveryMouse(run, Manipulate);
  EveryMouse(run, MoveStep);
  RemoveTheDead(run, CollectTheDead(run));
  GiveBirths(run);
  for (const auto& m : run.Mice)
    m->SweepPlaces();
  CheckRunState(run);
  WriteCadencedOutput(run);
}

}  // namespace

bool Tick(Run& run) {
  if (run.Busy) return false;
  RunStages(run);
  if constexpr (ValidatingBuild()) CheckInvariants(run);
  return true;
}

}  // namespace murinex

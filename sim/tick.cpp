#include "sim/tick.h"

#include "agent/population_files.h"
#include "sim/run.h"
#include "sim/statistics.h"

namespace murinex {

namespace {

// Clears the busy flag however the tick ends.
class BusyGuard {
 public:
  explicit BusyGuard(Run& run) : run_(run) { run_.Busy = true; }
  ~BusyGuard() { run_.Busy = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  Run& run_;
};

void WriteCadencedOutput(Run& run) {
  if (run.TickCount % run.StatInterval == 0) {
    run.StatRowCount += 1;
    WriteStatRow(run);
  }
  if (run.TickCount % 10000 == 0) {
    DumpPopulation(run);
    DumpGenomes(run);
    run.DumpNumber += 1;
  }
}

}  // namespace

bool Tick(Run& run) {
  if (run.Busy) return false;
  BusyGuard busy(run);
  run.TickCount += 1;
  if (run.World) run.World->UpdateSeasons(run.TickCount);
  WriteCadencedOutput(run);
  return true;
}

}  // namespace murinex

#include "app/runner_start.h"

#include <iostream>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "app/run_manifest.h"
#include "app/runner_checkpoint.h"
#include "app/runner_options.h"
#include "model/run.h"
#include "sim/persistence/checkpoint.h"
#include "sim/startup.h"
#include "world/error.h"

namespace murinex {

void StartFromPopulation(Run& run, const RunnerOptions& options, RunManifest& manifest) {
  try {
    StartUp(run, options.task);
  } catch (...) {
    manifest.RecordInputs(run);
    throw;
  }
  manifest.RecordInputs(run);
  run.Identity = RunIdentity(run, options);
  if (options.checkId) run.CheckMausId = *options.checkId;
  run.PopulationSeed = options.seed;
  SetUpPopulation(run, [&](Run& r) { options.overrides.ApplyToSettingsAndMice(r); });
  LoadWorld(run);
  options.overrides.ApplyToWorld(run);
  options.overrides.RecordAtStart(run);
  if (options.select) {
    TMaus* picked = MausById(run, *options.select);
    run.SelectMaus(HandleOf(picked));
    if (picked) run.CheckMausId = picked->ID;
    // The run goes on without a picked mouse, as after a click beside every mouse;
    // but an empty behaviour protocol should not come as a surprise.
    else
      std::cerr << "murinex-run: warning: --select " << *options.select
                << ": the population has no mouse with this ID; none is picked\n";
  }
}

void ContinueFromCheckpoint(Run& run, const RunnerOptions& options, RunManifest& manifest) {
  manifest.RecordInputs(run);
  manifest.RecordResume(run);
  std::cerr << "murinex-run: resumed at tick " << run.TickCount << " (" << TicksDone(run)
            << " ticks done) from " << CheckpointName(run.TaskName) << "\n";
  std::vector<Override> applied;
  try {
    applied = options.overrides.ApplyAtFork(run);
  } catch (const InputError& e) {
    // A value that may not change at a fork: the command line has to change.
    throw ResumeRefused(e.what());
  }
  if (applied.empty()) return;
  std::cerr << "murinex-run: forked at tick " << run.TickCount << ":";
  for (const Override& o : applied)
    std::cerr << " " << o.name << "=" << o.text;
  std::cerr << "\n";
}

}  // namespace murinex

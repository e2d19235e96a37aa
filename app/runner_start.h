#pragma once

namespace murinex {

class Run;
class RunManifest;
struct RunnerOptions;

// How the headless runner and the Python module begin a run, so that both write
// the same bytes from the same options.

// Start-up, population (with the overrides before dump 0), world, and the picked mouse.
void StartFromPopulation(Run& run, const RunnerOptions& options, RunManifest& manifest);

// A resumed run holds the --set values of its start and of earlier forks: those
// are not applied again, so one command line serves every restart. Any other
// value of the command line is applied now, at the checkpoint's tick: a fork.
void ContinueFromCheckpoint(Run& run, const RunnerOptions& options, RunManifest& manifest);

}  // namespace murinex

#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace murinex {

class Run;
struct IdentityRecord;
struct RunnerOptions;

// The runner's options for long runs that may be interrupted.
struct CheckpointOptions {
  long long every = 0;  // write a checkpoint after every tick that is a multiple of this; 0 never
  bool resume = false;  // continue from the checkpoint in the run folder, if there is one
  std::optional<long long> stopAfter;  // stop as on SIGTERM once this many ticks are done
};

inline constexpr int InterruptedStatus = 75;

// From now on SIGTERM, SIGINT and SIGUSR1 stop the run after the tick in
// progress. A second signal of the same kind ends the program at once.
void CatchStopSignals();

// A resume whose command line asks for another run than the checkpoint's: a
// usage error, for the command line is what has to change.
class ResumeRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a run of the runner is, as its checkpoint records it: the inputs' SHA-256
// (read from the run's folder now), the task, seed, picked and check mouse as
// given, and the ticks asked. --set values are not part of it: at a resume they fork.
std::vector<IdentityRecord> RunIdentity(const Run& run, const RunnerOptions& options);

// With --resume and a checkpoint of the task in the run folder: the run
// continues from it and true is returned. Otherwise nothing happens. A
// checkpoint of another run (see RunIdentity; only more --ticks may be asked)
// is refused with ResumeRefused, one with more ticks done than asked with an
// InputError; either way nothing has changed.
bool ResumeIfAsked(Run& run, const RunnerOptions& options);

// The ticks done since the run's start.
long long TicksDone(const Run& run);

// Called after every tick: writes the periodic checkpoint and tells whether the
// run must stop now (a stop signal came, or --stop-after was reached).
bool AfterTick(Run& run, const CheckpointOptions& options);
// Whether a stop signal has come.
bool StopRequested();

// Ends an interrupted run: checkpoint, files closed, no final dumps; tells the
// tick reached and the command that resumes on stderr. Returns the exit status.
int Interrupt(Run& run, const std::vector<std::string>& commandLine);

}  // namespace murinex

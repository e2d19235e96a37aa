#pragma once

#include <optional>
#include <string>
#include <vector>

namespace murinex {

class Run;

// The runner's options for long runs that may be interrupted.
struct CheckpointOptions {
  long long every = 0;  // write a checkpoint after every tick that is a multiple of this; 0 never
  bool resume = false;  // continue from the checkpoint in the run folder, if there is one
  std::optional<long long> stopAfter;  // stop as on SIGTERM once this many ticks are done
};

inline constexpr int InterruptedStatus = 75;

// The usage lines of these options.
extern const char* const CheckpointUsage;

// Takes the option args[i] (and its value) when it is one of these; returns how
// many arguments it used, 0 when it is none of them. Bad values raise
// std::invalid_argument with a message for the user.
int ParseCheckpointOption(const std::vector<std::string>& args, std::size_t i,
                          CheckpointOptions& options);

// From now on SIGTERM, SIGINT and SIGUSR1 stop the run after the tick in
// progress. A second signal of the same kind ends the program at once.
void CatchStopSignals();

// With --resume and a checkpoint of the task in the run folder: the run
// continues from it and true is returned. Otherwise nothing happens. A
// checkpoint with more than `ticks` ticks done is refused.
bool ResumeIfAsked(Run& run, const CheckpointOptions& options, const std::string& taskName,
                   long long ticks);

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

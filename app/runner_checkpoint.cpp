#include "app/runner_checkpoint.h"

#include <csignal>
#include <iostream>

#include "model/run.h"
#include "sim/checkpoint.h"
#include "world/error.h"

namespace murinex {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal) {
  stopSignal = signal;
}

// Quotes an argument for a POSIX shell where it needs it.
std::string ShellWord(const std::string& word) {
  if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789_-./=:,+@%") == std::string::npos)
    return word;
  std::string quoted = "'";
  for (char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ResumeCommand(const std::vector<std::string>& commandLine) {
  std::string command;
  bool hasResume = false;
  for (const std::string& word : commandLine) {
    if (!command.empty()) command += ' ';
    command += ShellWord(word);
    hasResume = hasResume || word == "--resume";
  }
  return hasResume ? command : command + " --resume";
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // Writes in progress go on; a second signal finds the default again and ends the program.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int signal : {SIGTERM, SIGINT, SIGUSR1})
    sigaction(signal, &action, nullptr);
}

bool StopRequested() {
  return stopSignal != 0;
}

bool ResumeIfAsked(Run& run, const CheckpointOptions& options, const std::string& taskName,
                   long long ticks) {
  if (!options.resume || !HasCheckpoint(run.OutputDir(), taskName)) return false;
  ResumeFromCheckpoint(run, taskName, [&](const Run& saved) {
    if (TicksDone(saved) > ticks)
      throw InputError(CheckpointName(taskName), 0,
                       "the checkpoint is " + std::to_string(TicksDone(saved)) +
                           " ticks into the run, beyond --ticks " + std::to_string(ticks));
  });
  return true;
}

long long TicksDone(const Run& run) {
  return static_cast<long long>(run.TickCount) - run.StartTick;
}

bool AfterTick(Run& run, const CheckpointOptions& options) {
  const bool stop = StopRequested() || (options.stopAfter && TicksDone(run) == *options.stopAfter);
  // The checkpoint of a stop is written by Interrupt.
  if (!stop && options.every > 0 && run.TickCount % options.every == 0) WriteCheckpoint(run);
  return stop;
}

int Interrupt(Run& run, const std::vector<std::string>& commandLine) {
  WriteCheckpoint(run);
  run.CloseProtocols();
  std::cerr << "murinex-run: stopped at tick " << run.TickCount << " (" << TicksDone(run)
            << " ticks done); the checkpoint is " << CheckpointName(run.TaskName) << " in "
            << run.OutputDir().string() << "\n"
            << "resume with: " << ResumeCommand(commandLine) << "\n";
  return InterruptedStatus;
}

}  // namespace murinex

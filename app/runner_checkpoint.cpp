#include "app/runner_checkpoint.h"

#include <csignal>
#include <iostream>
#include <stdexcept>

#include "model/run.h"
#include "sim/checkpoint.h"
#include "world/error.h"

namespace murinex {

const char* const CheckpointUsage =
    "  --checkpoint-every K  write data/checkpoint-TASK.mxc after every tick that is\n"
    "                  a multiple of K\n"
    "  --resume        continue from data/checkpoint-TASK.mxc until N ticks are done in\n"
    "                  all (files are cut back to where the checkpoint left them);\n"
    "                  without a checkpoint the run starts from the beginning\n"
    "  --stop-after K  stop as on SIGTERM once K ticks are done\n"
    "  On SIGTERM, SIGINT or SIGUSR1 the run finishes its tick, writes the checkpoint,\n"
    "  closes its files and exits with status 75 (no final dumps).\n";

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int signal) {
  stopSignal = signal;
}

long long PositiveNumber(const std::string& option, const std::string& text) {
  std::size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (...) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value <= 0)
    throw std::invalid_argument(option + " expects a whole number above 0, got \"" + text + "\"");
  return value;
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

int ParseCheckpointOption(const std::vector<std::string>& args, std::size_t i,
                          CheckpointOptions& options) {
  const std::string& arg = args[i];
  if (arg == "--resume") {
    options.resume = true;
    return 1;
  }
  if (arg != "--checkpoint-every" && arg != "--stop-after") return 0;
  if (i + 1 >= args.size()) throw std::invalid_argument("missing value after " + arg);
  const long long value = PositiveNumber(arg, args[i + 1]);
  if (arg == "--checkpoint-every")
    options.every = value;
  else
    options.stopAfter = value;
  return 2;
}

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
  if (!options.resume || !HasCheckpoint(run.WorkDir, taskName)) return false;
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
            << run.WorkDir.string() << "\n"
            << "resume with: " << ResumeCommand(commandLine) << "\n";
  return InterruptedStatus;
}

}  // namespace murinex

#include "app/runner_checkpoint.h"

#include <csignal>
#include <iostream>

#include "app/run_manifest.h"
#include "app/runner_options.h"
#include "model/run.h"
#include "sim/persistence/checkpoint.h"
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

constexpr const char* TicksRecord = "--ticks";
constexpr const char* NotGiven = "(not given)";

std::string Given(const std::optional<int>& value) {
  return value ? std::to_string(*value) : NotGiven;
}

const std::string* Find(const std::vector<IdentityRecord>& records, const std::string& name) {
  for (const IdentityRecord& r : records)
    if (r.name == name) return &r.value;
  return nullptr;
}

// An input file's record names the option that chose the folder it came from.
std::string OptionOf(const std::string& record) {
  return record.rfind("--", 0) == 0 ? record : "--dir (" + record + ")";
}

// Whether the ticks asked now may continue a run asked for `saved` ticks: more
// ticks lengthen the run, fewer would make another one.
bool TicksAgree(const std::string& saved, const std::string& asked) {
  try {
    return std::stoll(asked) >= std::stoll(saved);
  } catch (const std::exception&) {
    return false;
  }
}

// The first fact of the run asked for that the checkpoint's run does not share,
// in the order of `asked`; a fact the checkpoint does not record disagrees too,
// for nothing vouches for it.
void RefuseAnotherRun(const std::vector<IdentityRecord>& saved,
                      const std::vector<IdentityRecord>& asked, const std::string& checkpoint) {
  if (saved.empty())
    throw ResumeRefused(checkpoint +
                        ": cannot resume: the checkpoint does not record what its run was started "
                        "as (the desktop program's checkpoints do not), so nothing vouches that "
                        "this command line asks for the same run");
  for (const IdentityRecord& a : asked) {
    const std::string* s = Find(saved, a.name);
    if (s && (*s == a.value || (a.name == TicksRecord && TicksAgree(*s, a.value)))) continue;
    const bool option = a.name.rfind("--", 0) == 0;
    throw ResumeRefused(checkpoint + ": cannot resume another run: " + OptionOf(a.name) + " is " +
                        (s ? *s : "not recorded") + " in the checkpoint but " + a.value +
                        (option ? " on this command line" : " in the run folder given") +
                        " (start afresh without --resume, or ask for the checkpoint's run)");
  }
}

void AskTicks(std::vector<IdentityRecord>& identity, long long ticks) {
  for (IdentityRecord& r : identity)
    if (r.name == TicksRecord) r.value = std::to_string(ticks);
}

}  // namespace

std::vector<IdentityRecord> RunIdentity(const Run& run, const RunnerOptions& options) {
  std::vector<IdentityRecord> identity;
  for (const auto& [file, sha] : HashInputs(run))
    identity.push_back({file, sha ? "SHA-256 " + *sha : "unreadable"});
  identity.push_back({"--task", options.task});
  identity.push_back({"--seed", std::to_string(options.seed)});
  identity.push_back({"--select", Given(options.select)});
  identity.push_back({"--check-id", Given(options.checkId)});
  identity.push_back({TicksRecord, std::to_string(options.ticks)});
  // The table of every mouse is part of what the run writes: a resume must keep it.
  std::string columns;
  for (const std::string& name : options.observe)
    columns += (columns.empty() ? "" : ",") + name;
  identity.push_back({"--observe-every", std::to_string(options.observeEvery)});
  identity.push_back({"--observe", columns.empty() ? "all" : columns});
  return identity;
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

bool ResumeIfAsked(Run& run, const RunnerOptions& options) {
  const std::string& task = options.task;
  if (!options.checkpoint.resume || !HasCheckpoint(run.OutputDir(), task)) return false;
  ResumeFromCheckpoint(run, task, [&](const Run& saved) {
    RefuseAnotherRun(saved.Identity, RunIdentity(saved, options), CheckpointName(task));
    if (TicksDone(saved) > options.ticks)
      throw InputError(CheckpointName(task), 0,
                       "the checkpoint is " + std::to_string(TicksDone(saved)) +
                           " ticks into the run, beyond --ticks " + std::to_string(options.ticks));
  });
  // From here on the run is one of the ticks now asked, and its next checkpoint says so.
  AskTicks(run.Identity, options.ticks);
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

// murinex-run: runs the simulation without windows, for long runs whose
// protocols and dumps are analysed afterwards.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "app/runner_checkpoint.h"
#include "model/run.h"
#include "sim/startup.h"
#include "sim/tick.h"
#include "world/error.h"

namespace {

const char* const Usage =
    "usage: murinex-run --dir DIR --ticks N [--task NAME] [--select ID] [--check-id ID]\n"
    "\n"
    "Runs the simulation of the run folder DIR (with DIR/data/inimaus.ini) for N ticks\n"
    "without windows, then writes the final population and genome dumps.\n"
    "\n"
    "  --dir DIR       the run folder; outputs go to DIR/Proto and DIR/data\n"
    "  --ticks N       number of ticks to run (N >= 0)\n"
    "  --task NAME     the task name, part of every output file name (default NN)\n"
    "  --select ID     pick the mouse with this ID, as a click on it would: its\n"
    "                  decisions go to the behaviour and competence protocols\n"
    "  --check-id ID   the check mouse ID (default 35)\n"
    "  --help          show this text\n"
    "\n"
    "Long runs (a resumed run takes its state, the picked mouse and the check mouse\n"
    "included, from the checkpoint):\n";

struct Options {
  std::string dir;
  long long ticks = -1;
  std::string task = "NN";
  std::optional<int> select;
  std::optional<int> checkId;
  murinex::CheckpointOptions checkpoint;
  std::vector<std::string> commandLine;
};

[[noreturn]] void BadUsage(const std::string& message) {
  std::cerr << "murinex-run: " << message << "\n\n" << Usage << murinex::CheckpointUsage;
  std::exit(2);
}

long long ParseNumber(const std::string& option, const std::string& text) {
  std::size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (...) {
    used = 0;
  }
  if (used == 0 || used != text.size())
    BadUsage(option + " expects a whole number, got \"" + text + "\"");
  return value;
}

int ParseId(const std::string& option, const std::string& text) {
  const long long value = ParseNumber(option, text);
  if (value < INT32_MIN || value > INT32_MAX) BadUsage(option + " is out of range");
  return static_cast<int>(value);
}

int ParseCheckpointOption(Options& o, int i) {
  try {
    return murinex::ParseCheckpointOption(o.commandLine, static_cast<std::size_t>(i), o.checkpoint);
  } catch (const std::invalid_argument& error) {
    BadUsage(error.what());
  }
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  o.commandLine.assign(argv, argv + argc);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << Usage << murinex::CheckpointUsage;
      std::exit(0);
    }
    if (const int used = ParseCheckpointOption(o, i)) {
      i += used - 1;
      continue;
    }
    if (i + 1 >= argc) BadUsage("missing value after " + arg);
    const std::string value = argv[++i];
    if (arg == "--dir")
      o.dir = value;
    else if (arg == "--ticks")
      o.ticks = ParseNumber(arg, value);
    else if (arg == "--task")
      o.task = value;
    else if (arg == "--select")
      o.select = ParseId(arg, value);
    else if (arg == "--check-id")
      o.checkId = ParseId(arg, value);
    else
      BadUsage("unknown option " + arg);
  }
  if (o.dir.empty()) BadUsage("--dir is required");
  if (o.ticks < 0) BadUsage("--ticks is required and must not be negative");
  return o;
}

// A progress bar on stderr with ticks per second, only on a terminal.
class Progress {
 public:
  explicit Progress(long long total) : total_(total), enabled_(isatty(STDERR_FILENO) && total > 0) {
    start_ = std::chrono::steady_clock::now();
  }
  void Update(long long done, std::size_t mice) {
    if (!enabled_ || (done % 200 != 0 && done != total_)) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = seconds > 0 ? done / seconds : 0;
    const int width = 40;
    const int filled = static_cast<int>(width * done / total_);
    std::fprintf(stderr, "\r[%s%s] %lld/%lld ticks  %.0f ticks/s  %zu mice ",
                 std::string(filled, '#').c_str(), std::string(width - filled, '.').c_str(), done,
                 total_, rate, mice);
    if (done == total_) std::fprintf(stderr, "\n");
  }

 private:
  long long total_;
  bool enabled_;
  std::chrono::steady_clock::time_point start_;
};

// The simulation is headless here: nothing is heard.
class SilentSound : public murinex::SoundSink {
 public:
  void PlayWave(const std::string&) override {}
};

void PrintSummary(const murinex::Run& run) {
  const auto* d = run.DeathsBy;
  std::printf("Run %s ended at tick %d with %zu mice.\n", run.TaskName.c_str(), run.TickCount,
              run.Mice.size());
  std::printf("Births: %lld. Deaths: %lld (hunger %lld, thirst %lld, pain %lld, age %lld).\n",
              static_cast<long long>(run.Births), static_cast<long long>(d[1] + d[2] + d[3] + d[4]),
              static_cast<long long>(d[1]), static_cast<long long>(d[2]),
              static_cast<long long>(d[3]), static_cast<long long>(d[4]));
  std::printf("Protocols are in %s, population and genome dumps in %s.\n",
              run.ProtoDir().string().c_str(), run.DataDir().string().c_str());
}

// A summary lost on a full or closed standard output is a failure too.
bool SummaryDelivered() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::cerr << "murinex-run: cannot write the summary to the standard output\n";
  return false;
}

// A new run from the population file.
void StartFromPopulation(murinex::Run& run, const Options& options) {
  murinex::StartUp(run, options.task);
  if (options.checkId) run.CheckMausId = *options.checkId;
  murinex::SetUpPopulation(run);
  murinex::LoadWorld(run);
  if (options.select) {
    murinex::TMaus* picked = MausById(run, *options.select);
    run.SelectMaus(picked);
    if (picked) run.CheckMausId = picked->ID;
  }
}

}  // namespace

int main(int argc, char** argv) try {
  const Options options = ParseOptions(argc, argv);
  murinex::Run run(options.dir);
  SilentSound silence;
  run.Sound = &silence;
  run.RecordLines = false;  // no chart records anything here
  murinex::CatchStopSignals();
  try {
    if (!murinex::ResumeIfAsked(run, options.checkpoint, options.task, options.ticks))
      StartFromPopulation(run, options);
    Progress progress(options.ticks);
    while (murinex::TicksDone(run) < options.ticks) {
      if (murinex::StopRequested()) return murinex::Interrupt(run, options.commandLine);
      murinex::Tick(run);
      progress.Update(murinex::TicksDone(run), run.Mice.size());
      if (murinex::AfterTick(run, options.checkpoint))
        return murinex::Interrupt(run, options.commandLine);
    }
    murinex::FinishRun(run);
    PrintSummary(run);
  } catch (const std::exception& error) {
    // Input errors and anything else (memory, the file system): a message, never an abort.
    std::cerr << "murinex-run: " << error.what() << "\n";
    return 1;
  }
  return SummaryDelivered() ? 0 : 1;
} catch (const std::exception& error) {
  // Nothing may end the program with an abort: a message and a failure status.
  std::fprintf(stderr, "%s: %s\n", "murinex-run", error.what());
  return 1;
}

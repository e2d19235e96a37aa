// murinex-run: runs the simulation without windows, for long runs whose
// protocols and dumps are analysed afterwards.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "app/run_manifest.h"
#include "app/runner_checkpoint.h"
#include "app/runner_options.h"
#include "app/runner_start.h"
#include "model/run.h"
#include "sim/persistence/checkpoint.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "world/error.h"

namespace {

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
              run.ProtoDir().string().c_str(), run.DumpDir().string().c_str());
}

// The run from its start or its checkpoint up to --ticks ticks and the final dumps; or,
// when stopped by a signal or --stop-after, a checkpoint and no final dumps. With
// --stop-when-extinct a run without mice ends at once, as if --ticks had said so.
// Returns the exit status.
int Simulate(murinex::Run& run, const murinex::RunnerOptions& options,
             murinex::RunManifest& manifest) {
  if (murinex::ResumeIfAsked(run, options))
    ContinueFromCheckpoint(run, options, manifest);
  else
    StartFromPopulation(run, options, manifest);
  Progress progress(options.ticks);
  while (murinex::TicksDone(run) < options.ticks) {
    if (murinex::StopRequested()) return murinex::Interrupt(run, options.commandLine);
    murinex::Tick(run);
    manifest.TickDone();
    progress.Update(murinex::TicksDone(run), run.Mice.size());
    if (options.stopWhenExtinct && run.Mice.empty()) {
      manifest.MarkExtinct();
      break;
    }
    if (murinex::AfterTick(run, options.checkpoint))
      return murinex::Interrupt(run, options.commandLine);
  }
  murinex::FinishRun(run);
  return 0;
}

// A summary lost on a full or closed standard output is a failure too.
bool SummaryDelivered() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::cerr << "murinex-run: cannot write the summary to the standard output\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) try {
  const murinex::RunnerOptions options = murinex::ParseRunnerOptions(argc, argv);
  murinex::Run run(options.dir);
  run.OutDir = options.OutputFolder();
  SilentSound silence;
  run.Sound = &silence;
  run.RecordLines = false;  // no chart records anything here
  run.ObserveEvery = options.observeEvery;
  run.ObserveColumns = options.observe;
  murinex::CatchStopSignals();
  murinex::RunManifest manifest(options);
  std::string error;
  int status = 0;
  try {
    status = Simulate(run, options, manifest);
  } catch (const murinex::ResumeRefused& e) {
    // Nothing was run and nothing changed: no manifest, as for any usage error.
    std::cerr << "murinex-run: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    // Input errors and anything else (memory, the file system): a message, never an abort.
    error = e.what();
  }
  manifest.Finish(run, error, status == murinex::InterruptedStatus);
  try {
    manifest.Write();
  } catch (const murinex::InputError& e) {
    std::cerr << "murinex-run: " << e.what() << "\n";
    return 1;
  }
  if (!error.empty()) {
    std::cerr << "murinex-run: " << error << "\n";
    return 1;
  }
  if (status != 0) return status;
  PrintSummary(run);
  return SummaryDelivered() ? 0 : 1;
} catch (const std::exception& error) {
  // Nothing may end the program with an abort: a message and a failure status.
  std::fprintf(stderr, "murinex-run: %s\n", error.what());
  return 1;
}

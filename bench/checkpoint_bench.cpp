// Writing and reading a checkpoint of 400 mice: the default run's world with
// the 400-mouse population of the golden tests, after some ticks so that the
// mice have places, routes and relations. Prints the times and the size of the
// checkpoint next to the size of a population dump of the same state.
//
// usage: murinex-bench-checkpoint [TICKS]   (default 200 ticks before measuring)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "agent/maus.h"
#include "model/run.h"
#include "sim/persistence/checkpoint.h"
#include "sim/persistence/population_files.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"

namespace {

using namespace murinex;
namespace fs = std::filesystem;

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The best of `repeats` timings of `work`, in ms.
template <class Work>
double Best(int repeats, Work work) {
  double best = 1e300;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, MillisecondsSince(start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 200;
  const fs::path folder = fs::temp_directory_path() / "murinex-bench-checkpoint";
  fs::remove_all(folder);
  fs::copy(MURINEX_DEFAULT_RUN, folder, fs::copy_options::recursive);
  fs::copy_file(MURINEX_CROWD_POPULATION, folder / "data/population.txt",
                fs::copy_options::overwrite_existing);
  Run run(folder);
  StartUp(run, "B");
  SetUpPopulation(run);
  LoadWorld(run);
  for (int t = 0; t < ticks; ++t)
    Tick(run);

  std::size_t places = 0;
  for (const auto& m : run.Mice)
    places += m->GoalLocations.size();
  std::string text;
  const double build = Best(5, [&] { text = CheckpointText(run); });
  const double write = Best(5, [&] { WriteCheckpoint(run); });
  const double read = Best(5, [&] {
    Run loaded(folder);
    ReadCheckpointText(loaded, text, "checkpoint");
  });
  const auto checkpointSize = fs::file_size(folder / CheckpointName("B"));
  DumpPopulation(run);
  const auto dumpSize = fs::file_size(folder / PopulationDumpName(run));

  std::printf("%zu mice with %zu places after %d ticks\n", run.Mice.size(), places, ticks);
  std::printf("checkpoint text built in   %8.1f ms\n", build);
  std::printf(
      "checkpoint written in      %8.1f ms (text, protocols synced, file synced, renamed)\n",
      write);
  std::printf("checkpoint read in         %8.1f ms\n", read);
  std::printf("checkpoint size %10llu bytes, population dump %10llu bytes (%.2f times)\n",
              static_cast<unsigned long long>(checkpointSize),
              static_cast<unsigned long long>(dumpSize),
              static_cast<double>(checkpointSize) / static_cast<double>(dumpSize));
  run.CloseProtocols();
  fs::remove_all(folder);
  return 0;
}

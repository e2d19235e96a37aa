// A population file: read and checked; every accepted mouse is dumped and the
// dump read back, which must succeed and give the same record again.

#include <cstdio>
#include <cstdlib>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "fuzz/fuzz_common.h"
#include "model/run.h"
#include "sim/persistence/population_files.h"
#include "world/error.h"

namespace {

using namespace murinex;

// Title, start tick, then records, as the population set-up reads them.
bool ReadPopulation(Run& run, TextReader& in) {
  try {
    in.ReadLine("title");
    run.TickCount = in.ReadInt("start tick");
    in.NextLine();
    while (!in.AtEnd()) {
      auto m = NewMaus(run);
      ReadMaus(run, *m, in);
      run.Mice.push_back(std::move(m));
    }
  } catch (const InputError&) {
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Run run;
  run.settings = fuzz::DefaultSettings();
  TextReader in = fuzz::Text(data, size, "data/population.txt");
  if (!ReadPopulation(run, in)) return 0;
  // The dump of what was accepted must read back (fading the places draws and
  // stamps them, so the second dump is compared with a dump of the copy).
  std::string dump = "title\n" + std::to_string(run.TickCount) + "\n";
  for (auto& m : run.Mice)
    dump += DumpMaus(run, *m);
  Run again;
  again.settings = fuzz::DefaultSettings();
  TextReader back(dump, "dump");
  if (!ReadPopulation(again, back)) {
    std::fprintf(stderr, "a dump did not read back:\n%s\n", dump.c_str());
    std::abort();
  }
  if (again.Mice.size() != run.Mice.size()) {
    std::fprintf(stderr, "a dump read back with another number of mice\n");
    std::abort();
  }
  return 0;
}

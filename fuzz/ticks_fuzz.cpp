// A population file that is accepted runs for 300 ticks on the default world
// with the default settings, protocols written into a scratch folder. An input
// error raised during the ticks (a value that turned into no number) is a
// clean stop; a crash, a hang or undefined behaviour is a finding.

#include <filesystem>
#include <string>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "fuzz/fuzz_common.h"
#include "model/run.h"
#include "sim/persistence/population_files.h"
#include "sim/tick/tick.h"
#include "world/error.h"
#include "world/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace murinex;
  Run run(fuzz::ScratchFolder("ticks"));
  run.TaskName = "F";
  run.RecordLines = false;
  run.settings = fuzz::DefaultSettings();
  TextReader in = fuzz::Text(data, size, "data/population.txt");
  try {
    in.ReadLine("title");
    run.TickCount = in.ReadInt("start tick");
    in.NextLine();
    while (!in.AtEnd() && run.Mice.size() < 50) {
      auto m = NewMaus(run);
      ReadMaus(run, *m, in);
      run.Mice.push_back(std::move(m));
    }
    run.World = TWorld::Load(MURINEX_DEFAULT_RUN "/data/world.txt", "data/world.txt");
  } catch (const InputError&) {
    return 0;
  }
  for (auto& m : run.Mice)
    for (TFrinEn& e : m->Relations)
      e.Other = HandleOf(MausById(run, e.OtherID));
  fuzz::OpenProtocols(run);
  // The check mouse is picked, so its decisions are logged as well.
  if (!run.Mice.empty()) run.SelectMaus(run.Mice.front()->Handle);
  try {
    for (int t = 0; t < 300 && !run.Mice.empty(); ++t)
      Tick(run);
  } catch (const InputError&) {
  }
  return 0;
}

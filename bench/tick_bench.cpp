// Ticks per second of the whole simulation, headless.
//
// Generated worlds: populations of about 25, 100, 400 and 2000 mice on worlds
// whose area grows with the population, built from fixed seeds, so a run is
// repeatable. The default run: its young population (ages up to about 6500)
// and an old one full of remembered places (the dump of a 60,000-tick run), on
// the default world, to compare the cost of a mouse-tick by age.
//
// usage: murinex-bench-ticks [TICKS] [--sizes N,N,...] [--no-default] [--out DIR]
//                            [--life-records] [--observe-every K]
//   TICKS         measured ticks per set-up (default 2000), after 100 unmeasured ones
//   --sizes       the generated populations (default 25,100,400,2000; "" for none)
//   --no-default  leaves out the two runs on the default world
//   --out DIR     keeps every output of every set-up in DIR/NAME/ (statistics,
//                 protocols and a closing population and genome dump) instead of
//                 discarding them; tests/golden/bench_runs.py hashes them
//   --life-records  the generated set-ups write the births, deaths and traits
//                 tables too (the default run always does), to measure their cost
//   --observe-every K  every set-up writes the table of every mouse every K ticks

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "model/run.h"
#include "model/settings.h"
#include "sim/persistence/population_files.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "world/error.h"
#include "world/inside.h"
#include "world/random.h"
#include "world/terrain.h"

namespace {

using namespace murinex;
namespace fs = std::filesystem;

// Cells of about 110 x 105 world units, kinds in a fixed pattern with sand between.
std::unique_ptr<TWorld> GeneratedWorld(int width, int height, Random& random) {
  static const TerraKind pattern[] = {KindSand,      KindFood, KindSand,         KindWater,
                                      KindSand,      KindSand, KindHealingHerbs, KindSand,
                                      KindStones,    KindSand, KindFood,         KindSand,
                                      KindVorarazav, KindSand, KindWater};
  auto world = std::make_unique<TWorld>();
  world->WorldWidth = width;
  world->WorldHeight = height;
  const int cols = std::max(1, width / 110), rows = std::max(1, height / 105);
  int n = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c, ++n) {
      auto t = std::make_unique<TTerra>();
      t->Name = "cell";
      t->Kind = pattern[n % std::size(pattern)];
      const int x0 = c * width / cols, x1 = (c + 1) * width / cols - 1;
      const int y0 = r * height / rows, y1 = (r + 1) * height / rows - 1;
      t->Points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
      t->Area = PolygonArea(t->Points);
      t->Centre = PolygonCentre(t->Points);
      t->Level = 0.5;
      t->Growth = 0.01;
      t->Decay = 0.01;
      const int start = static_cast<int>(random.Below(300));
      t->Seasons = {{start, start + 100}};
      t->Amount = t->Area * t->Level;
      world->TerraList.push_back(std::move(t));
    }
  }
  world->FirstTerra = world->TerraList.front().get();
  world->BuildLookup();
  return world;
}

double Between(Random& random, double lo, double hi) {
  return lo + random.Uniform() * (hi - lo);
}

void AddMice(Run& run, int count, Random& random) {
  static const double basMeta[8] = {0, 0.02, 0.025, 0.006, 0.006, 0.008, 0.01, 0.006};
  for (int i = 0; i < count; ++i) {
    auto m = NewMaus(run);
    m->Lineage = "Bench";
    m->Age = static_cast<std::int32_t>(random.Below(7000));
    m->Position = {static_cast<std::int32_t>(random.Below(run.World->WorldWidth)),
                   static_cast<std::int32_t>(random.Below(run.World->WorldHeight))};
    m->StuckAt = NoPoint;
    m->CurStrength() = 1;
    for (int n = 0; n < need::Count; ++n) {
      TMotiv& mo = m->Motives[n];
      mo.Soll = 1;
      mo.Ist = n == 0 ? 1 : Between(random, 0.6, 1.0);
      mo.BasMeta = basMeta[n];
      mo.Weight = n == 0 ? 0 : Between(random, 0.7, 1.6);
      mo.MaxReserve = mo.Reserve = n >= 1 && n <= 3 ? 600 : 0;
      m->SumWeights += mo.Weight;
    }
    for (int p = 0; p < param::Count; ++p) {
      const RangeRow& r = run.settings.PersonRanges[p];
      m->Params[p] = Between(random, r.minimum + 0.25 * (r.maximum - r.minimum),
                             r.maximum - 0.25 * (r.maximum - r.minimum));
    }
    run.Mice.push_back(std::move(m));
  }
}

struct Figures {
  double meanMice;
  double ticksPerSecond;
};

// Warms the run up, then times `ticks` ticks.
Figures TimeTicks(Run& run, int ticks) {
  for (int i = 0; i < 100; ++i)
    Tick(run);
  double mouseTicks = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < ticks; ++i) {
    mouseTicks += static_cast<double>(run.Mice.size());
    Tick(run);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {mouseTicks / ticks, ticks / seconds};
}

// The closing dumps of a kept run, so its whole state is part of the output.
void KeepFinalState(Run& run) {
  DumpPopulation(run);
  DumpGenomes(run);
  run.CloseProtocols();
}

struct Options {
  int ticks = 2000;
  std::vector<int> sizes{25, 100, 400, 2000};
  bool defaultRun = true;
  fs::path out;
  bool lifeRecords = false;
  long long observeEvery = 0;
};

Figures MeasureGenerated(int mice, const Options& o) {
  const int ticks = o.ticks;
  const fs::path& out = o.out;
  const bool keep = !out.empty();
  const fs::path dir = keep ? out / ("generated-" + std::to_string(mice)) : fs::path(".");
  if (keep) fs::create_directories(dir / "data");
  Run run(dir);
  run.settings = Settings::Read(MURINEX_BENCH_SETTINGS, "settings.txt");
  run.RecordLines = false;
  // No mouse is selected, so only the aggression protocol and the statistics are written.
  const char* names[] = {"stat.prt", "kofi.prt", "behaviour.prt", "agg.prt", "births.prt"};
  OutFile* files[] = {&run.StatProto, &run.KofiProt, &run.Behaviour, &run.AggProt, &run.BirthLog};
  for (int i = 0; i < 5; ++i) {
    const std::string path = keep ? (dir / names[i]).string() : "/dev/null";
    files[i]->Create(path, path);
  }
  const char* tables[] = {"Births.csv", "Deaths.csv", "Traits.csv", "Mice.csv.gz"};
  OutFile* tableFiles[] = {&run.BirthsTable, &run.DeathsTable, &run.TraitsTable, &run.MiceTable};
  for (int i = 0; i < 4; ++i) {
    if (i < 3 ? !o.lifeRecords : o.observeEvery == 0) continue;
    const std::string path = keep ? (dir / tables[i]).string() : "/dev/null";
    tableFiles[i]->Create(path, path);
  }
  run.ObserveEvery = o.observeEvery;
  Random inputs(static_cast<std::uint32_t>(mice));
  const double scale = std::sqrt(mice / 36.0);
  run.World = GeneratedWorld(static_cast<int>(900 * scale), static_cast<int>(640 * scale), inputs);
  AddMice(run, mice, inputs);
  run.random.SetSeed(1);
  run.TickCount = 1;  // no dump at tick 10000 within the measured ticks
  const Figures f = TimeTicks(run, ticks);
  if (keep) KeepFinalState(run);
  return f;
}

// The default run in a folder of its own, with `population` as its population file.
Figures MeasureDefaultRun(const std::string& name, const fs::path& population, const Options& o) {
  const int ticks = o.ticks;
  const fs::path& out = o.out;
  const bool keep = !out.empty();
  const fs::path dir = keep ? out / name : fs::temp_directory_path() / ("murinex-bench-" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(MURINEX_DEFAULT_RUN, dir, fs::copy_options::recursive);
  fs::copy_file(population, dir / "data" / "population.txt", fs::copy_options::overwrite_existing);
  Figures f{};
  {
    Run run(dir);
    run.RecordLines = false;
    run.ObserveEvery = o.observeEvery;
    StartUp(run, "B");
    SetUpPopulation(run);
    LoadWorld(run);
    f = TimeTicks(run, ticks);
    if (keep) KeepFinalState(run);
  }
  if (!keep) fs::remove_all(dir);
  return f;
}

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr,
               "murinex-bench-ticks: %s\n"
               "usage: murinex-bench-ticks [TICKS] [--sizes N,N,...] [--no-default] [--out DIR]\n"
               "                           [--life-records] [--observe-every K]\n",
               problem.c_str());
  std::exit(2);
}

int Positive(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value <= 0 || value > 1000000)
    Usage("expected a whole number from 1 to 1000000, found \"" + text + "\"");
  return static_cast<int>(value);
}

std::vector<int> Sizes(const std::string& list) {
  std::vector<int> sizes;
  if (list.empty()) return sizes;  // only the default world
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = list.find(',', from);
    sizes.push_back(Positive(list.substr(from, comma - from)));
    if (comma == std::string::npos) return sizes;
    from = comma + 1;
  }
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--no-default") {
      o.defaultRun = false;
    } else if (arg == "--life-records") {
      o.lifeRecords = true;
    } else if (arg == "--sizes" || arg == "--out" || arg == "--observe-every") {
      if (i + 1 >= argc) Usage("missing value after " + arg);
      if (arg == "--sizes")
        o.sizes = Sizes(argv[++i]);
      else if (arg == "--out")
        o.out = argv[++i];
      else
        o.observeEvery = Positive(argv[++i]);
    } else if (i == 1) {
      o.ticks = Positive(arg);
    } else {
      Usage("unknown argument " + arg);
    }
  }
  return o;
}

void PrintRow(const std::string& name, const Figures& f) {
  std::printf("%-14s %12.1f %12.1f %22.2f\n", name.c_str(), f.meanMice, f.ticksPerSecond,
              1e6 / (f.ticksPerSecond * f.meanMice));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = ParseOptions(argc, argv);
  std::printf("%-14s %12s %12s %22s\n", "set-up", "mean mice", "ticks/s", "us per mouse-tick");
  try {
    for (int mice : o.sizes)
      PrintRow("generated " + std::to_string(mice), MeasureGenerated(mice, o));
    if (o.defaultRun) {
      PrintRow(
          "default young",
          MeasureDefaultRun("young", fs::path(MURINEX_DEFAULT_RUN) / "data" / "population.txt", o));
      PrintRow("default old", MeasureDefaultRun("old", MURINEX_OLD_POPULATION, o));
    }
  } catch (const std::exception& error) {
    // Nothing may end the program with an abort: a message and a failure status.
    std::fprintf(stderr, "murinex-bench-ticks: %s\n", error.what());
    return 1;
  }
  return 0;
}

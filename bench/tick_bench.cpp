// Ticks per second of the whole simulation, headless, for populations of about
// 25, 100 and 400 mice on generated worlds whose area grows with the
// population. Inputs are generated from fixed seeds, so a run is repeatable.
//
// usage: murinex-bench-ticks [TICKS]   (default 2000 measured ticks per size)

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "model/run.h"
#include "model/settings.h"
#include "sim/tick.h"
#include "world/inside.h"
#include "world/random.h"
#include "world/terrain.h"

namespace {

using namespace murinex;

// Cells of about 110 x 105 world units, kinds in a fixed pattern with sand between.
std::unique_ptr<TWorld> GeneratedWorld(int width, int height, Random& random) {
  static const std::uint8_t pattern[] = {KindSand,      KindFood, KindSand,         KindWater,
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

Figures Measure(int mice, int ticks) {
  Run run(".");
  run.settings = Settings::Read(MURINEX_BENCH_SETTINGS, "settings.txt");
  run.RecordLines = false;
  // No mouse is selected, so only the aggression protocol and the statistics are written.
  for (OutFile* f : {&run.StatProto, &run.KofiProt, &run.Behaviour, &run.AggProt, &run.BirthLog})
    f->Create("/dev/null", "/dev/null");
  Random inputs(static_cast<std::uint32_t>(mice));
  const double scale = std::sqrt(mice / 36.0);
  run.World = GeneratedWorld(static_cast<int>(900 * scale), static_cast<int>(640 * scale), inputs);
  AddMice(run, mice, inputs);
  run.random.SetSeed(1);
  run.TickCount = 1;  // no dump at tick 10000 within the measured ticks
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

}  // namespace

int main(int argc, char** argv) try {
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 2000;
  std::printf("%8s %12s %12s %22s\n", "mice", "mean mice", "ticks/s", "us per mouse-tick");
  for (int mice : {25, 100, 400}) {
    const Figures f = Measure(mice, ticks);
    std::printf("%8d %12.1f %12.1f %22.2f\n", mice, f.meanMice, f.ticksPerSecond,
                1e6 / (f.ticksPerSecond * f.meanMice));
  }
  return 0;
} catch (const std::exception& error) {
  // Nothing may end the program with an abort: a message and a failure status.
  std::fprintf(stderr, "%s: %s\n", "murinex-bench-tick", error.what());
  return 1;
}

// The terrain lookup is asked many times per mouse and tick: it must cost a
// bounds test and one raster read, whatever the number of patches.

#include <benchmark/benchmark.h>

#include "world/inside.h"
#include "world/random.h"
#include "world/terrain.h"

namespace {

std::unique_ptr<murinex::TWorld> GridWorld(int cells) {
  auto world = std::make_unique<murinex::TWorld>();
  world->WorldWidth = 900;
  world->WorldHeight = 640;
  const int w = world->WorldWidth / cells, h = world->WorldHeight / cells;
  for (int i = 0; i < cells; ++i) {
    for (int j = 0; j < cells; ++j) {
      auto t = std::make_unique<murinex::TTerra>();
      t->Kind = murinex::KindFood;
      t->Points = {
          {i * w, j * h}, {(i + 1) * w, j * h}, {(i + 1) * w, (j + 1) * h}, {i * w, (j + 1) * h}};
      world->TerraList.push_back(std::move(t));
    }
  }
  world->FirstTerra = world->TerraList.front().get();
  world->BuildLookup();
  return world;
}

void BM_TerraAt(benchmark::State& state) {
  auto world = GridWorld(static_cast<int>(state.range(0)));
  murinex::Random random(1);
  for (auto _ : state) {
    const auto x = static_cast<std::int32_t>(random.Below(900));
    const auto y = static_cast<std::int32_t>(random.Below(640));
    benchmark::DoNotOptimize(world->Inside().TerraAt(x, y));
  }
}
BENCHMARK(BM_TerraAt)->Arg(4)->Arg(32);

void BM_Rebuild(benchmark::State& state) {
  auto world = GridWorld(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    world->BuildLookup();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Rebuild)->Arg(4)->Arg(32);

}  // namespace

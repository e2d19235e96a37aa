// What the model's draws cost at the least: the work that no faster build can
// skip, because every draw and its order is part of a run's output.
//
// BM_Draw is one uniform draw. BM_RecallInCache is the recall of a remembered
// place (two draws, the fading and, when recalled, the reinforcement) on 64
// places that stay in the first-level cache, in list order as the model visits
// them: the cheapest the commonest unit of a mouse's work can be.

#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "agent/maus.h"
#include "agent/memory.h"
#include "model/run.h"

namespace {

using namespace murinex;

void BM_Draw(benchmark::State& state) {
  Random random(1);
  double sum = 0;
  for (auto _ : state)
    sum += random.Uniform();
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_Draw);

void BM_RecallInCache(benchmark::State& state) {
  Run run;
  TMaus m(1);
  m.Params[param::RateForget] = 0.001;
  m.Params[param::RateReinforce] = 0.3;
  std::vector<std::unique_ptr<TGoalAvLoc>> places;
  for (int i = 0; i < 64; ++i) {
    places.push_back(std::make_unique<TGoalAvLoc>());
    places.back()->Retention = 0.5 + i / 200.0;
  }
  std::size_t next = 0;
  int recalled = 0;
  for (auto _ : state) {
    run.TickCount += (next == 0);
    recalled += Recall(run, m, *places[next]);
    next = (next + 1) % places.size();
  }
  benchmark::DoNotOptimize(recalled);
}
BENCHMARK(BM_RecallInCache);

}  // namespace

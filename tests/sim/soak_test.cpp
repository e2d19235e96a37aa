// A long run of the default population: the sanitizer build runs it too, and
// the lists the mice keep must stay bounded once the population is stable.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "model/run.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

struct ListSizes {
  double places = 0, track = 0, relations = 0, elements = 0, plan = 0;
  std::size_t largest = 0;  // the longest single list of any mouse
};

ListSizes Measure(const murinex::Run& run) {
  ListSizes s;
  for (const auto& m : run.Mice) {
    s.places += static_cast<double>(m->GoalLocations.size());
    s.track += static_cast<double>(m->Protocol.size());
    s.relations += static_cast<double>(m->Relations.size());
    s.elements += static_cast<double>(m->GoalMemory.size());
    s.plan += static_cast<double>(m->Plan.size());
    for (std::size_t n : {m->GoalLocations.size(), m->Protocol.size(), m->Relations.size(),
                          m->GoalMemory.size(), m->Plan.size()})
      s.largest = std::max(s.largest, n);
  }
  const double n = std::max<double>(1, static_cast<double>(run.Mice.size()));
  s.places /= n, s.track /= n, s.relations /= n, s.elements /= n, s.plan /= n;
  return s;
}

TEST(SoakTest, HundredThousandTicksOfTheDefaultRun) {
  test::TempDir dir;
  std::filesystem::copy(test::TestData() / ".." / ".." / "default-run", dir.path(),
                        std::filesystem::copy_options::recursive);
  murinex::Run run(dir.path());
  StartUp(run, "Soak");
  SetUpPopulation(run);
  LoadWorld(run);
  run.SelectMaus(HandleOf(MausById(run, 35)));  // the check mouse's protocols are written too
  ListSizes half;
  std::size_t largest = 0;
  for (int tick = 1; tick <= 100000; ++tick) {
    Tick(run);
    ASSERT_FALSE(run.Mice.empty()) << "the population died out at tick " << run.TickCount;
    // Relations name living mice only, each at most once: they grow with the
    // population, never beyond it.
    if (tick % 1000 == 0) {
      for (const auto& m : run.Mice) {
        std::set<const TMaus*> named;
        for (const TFrinEn& e : m->Relations) {
          if (e.Other == MouseHandle{}) continue;
          const TMaus* other = run.Mice.Find(e.Other);
          ASSERT_TRUE(other) << "mouse " << m->ID << " knows a dead mouse";
          ASSERT_TRUE(named.insert(other).second) << "mouse " << m->ID << " knows one twice";
        }
      }
    }
    // A track point fades by ProtMem a tick and goes when it has faded away.
    for (const auto& m : run.Mice)
      ASSERT_LE(static_cast<double>(m->Protocol.size()), 2 + 1 / m->P(param::ProtMem)) << m->ID;
    if (tick % 10000 == 0) {
      const ListSizes s = Measure(run);
      largest = std::max(largest, s.largest);
      std::printf("tick %6d: %3zu mice, per mouse %.1f places, %.1f track points, %.1f relations\n",
                  tick, run.Mice.size(), s.places, s.track, s.relations);
      if (tick == 50000) half = s;
      if (tick == 100000) {
        // Lists that grew without bound would have doubled since tick 50000.
        EXPECT_LT(s.places, 1.5 * half.places + 10);
        EXPECT_LE(s.elements, 11);  // at most one element per goal kind
      }
    }
  }
  EXPECT_LT(largest, 5000u);
  FinishRun(run);
}

}  // namespace
}  // namespace murinex
